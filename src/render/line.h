// line: the point and the DDA line, vertices given by value in view units.
#pragma once

#include "render/drawcontext.h"
#include "types/lineimage.h"
#include "types/vertex.h"

// Stores the vertex's colour at the pixel its mapped position truncates to.
void draw_point(Vertex vertex, const DrawContext* ctx);
// DDA over the major axis with all six fields interpolated, left to right (or bottom to top);
// |dx| == |dy| counts as x-major. Draws nothing when an end is not finite.
void draw_line(Vertex p, Vertex q, const DrawContext* ctx);
// Draws every line of image: the outline layer of a frame.
void draw_image_lines(const LineImage* image, const DrawContext* ctx);
