// state: the application state that the window's callbacks and the web page share, and what a key
// or a click does to it. Nothing here touches GL, so the rules of the input can be checked
// without a window; each front end adds its window's height and the redisplay.
#pragma once

#include "files/config.h"
#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/raster.h"
#include "types/colour.h"
#include "types/lineimage.h"

#include <cstdint>
#include <vector>

struct AppState {
    // The colours the digit keys pick from, as read from "config.txt".
    std::vector<Colour> palette;
    // The clip polygon and outline, as read from "clippoly.txt".
    LineImage clipImage;
    // The colour of new vertices and of the texts.
    Colour currentColour{0.0f, 0.0f, 0.0f, 0.0f};
    // The committed shapes; never null once init_scene_state has run.
    ListObject* shapes = nullptr;
    // The shape being entered: null (none), or the vertices clicked since the last commit.
    ListVertex* pendingShape = nullptr;
    // The last frame shown, kept until the next one because clicks are mapped through its size;
    // null until the first frame.
    Raster* frameRaster = nullptr;
};

// An empty shape list and the current colour (0, 0, 0, 0).
void init_scene_state(AppState* state);
// Start-up, before anything is shown: reads "config.txt" and then "clippoly.txt" from the
// working directory, reporting on the console, into a state that holds nothing, and makes the
// scene. Returns the configuration, whose window size the front end opens at.
Config state_start(AppState* state);
// Releases what the state holds and leaves it as it was before state_start.
void state_release(AppState* state);
// Space commits the pending shape, ',' and '.' darken and lighten, '0' to '9' pick a palette
// entry, 'n' clears the shapes. Every other key changes nothing.
void state_key(AppState* state, unsigned char key);
// A left click at window position (x, y), y counted down from the top of a window windowHeight
// high: appends a vertex in the current colour, mapped through the last frame's raster.
// Ignored before the first frame and on a frame too small to have a view mapping.
void state_left_click(AppState* state, int32_t x, int32_t y, int32_t windowHeight);
// Where that click puts a corner's position in a width x height frame, in view units in v->x
// and v->y: false, and v unchanged, when the frame is too small to have a view mapping.
bool state_click_to_view(int32_t width, int32_t height, int32_t x, int32_t y, int32_t windowHeight,
                         Vertex* v);
// A right click: drops the vertices entered since the last commit.
void state_right_click(AppState* state);
// Says on the console that a frame of width x height found no memory, as every front end that
// shows the frame says it.
void state_report_no_frame_memory(int32_t width, int32_t height);
