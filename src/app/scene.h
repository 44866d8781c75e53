// scene: the application state that the GLUT callbacks share, and what a key or a click does to
// it. Nothing here touches GL, so the rules of the input can be checked without a window; the
// callbacks add the window's height and the redisplay.
#pragma once

#include "files/config.h"
#include "files/lineimage.h"
#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/colour.h"
#include "render/raster.h"

#include <cstdint>

// Window size and palette, as read from "config.txt" at start-up.
extern Config config;
// The clip polygon and outline, as read from "clippoly.txt" at start-up.
extern LineImage clipImage;
// The colour of new vertices and of the texts.
extern Colour currentColour;
// The committed shapes; never null once init_scene_state has run.
extern ListObject* shapes;
// The shape being entered: null (none), or a list of the vertices clicked since the last commit.
extern ListVertex* pendingShape;
// The last frame shown, kept until the next one because clicks are mapped through its size;
// null until the first frame.
extern Raster* frameRaster;

// An empty shape list and the current colour (0, 0, 0, 0).
void init_scene_state();
// Space commits the pending shape, ',' and '.' darken and lighten, '0' to '9' pick a palette
// entry below colourCount, 'n' clears the shapes. Every other key changes nothing.
void scene_key(unsigned char key);
// A left click at window position (x, y), y counted down from the top of a window windowHeight
// high: appends a vertex in the current colour, mapped through the last frame's raster.
// Ignored before the first frame.
void scene_left_click(int32_t x, int32_t y, int32_t windowHeight);
// A right click: drops the vertices entered since the last commit.
void scene_right_click();
