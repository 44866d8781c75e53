// display: the frame pass, the software frame copied to the window and the texts drawn over it.
#pragma once

#include "lists/listobject.h"
#include "render/raster.h"
#include "types/colour.h"
#include "types/lineimage.h"

// The GLUT display callback: renders a frame at the window's size, copies it to the window in
// one glDrawPixels, draws the five instruction texts in the current colour and flushes.
// A window of width 0 (minimized) skips the frame. The state is the window's data.
void display();
// Releases or reuses previous (may be null) and returns the raster of the window's current size
// holding the white fill, the shapes clipped by image's lines and the outline.
Raster* render_frame(Raster* previous, const ListObject* shapes, const LineImage* image);
// Draws printf-formatted text at (x, y) in normalized device coordinates (-1 to +1, origin at
// the centre) in colour, whose alpha is not used. Output longer than 255 characters is cut.
// Leaves the raster position at the lower-left corner for the next frame's copy.
[[gnu::format(printf, 4, 5)]] void draw_text(float x, float y, Colour colour, const char* format,
                                             ...);
