// drawcontext: what every drawing routine receives, and the mapping between normalized view
// units (centred on (0, 0), the shorter side spanning -1 to +1) and raster units (pixel
// columns and rows from the lower-left corner).
#pragma once

#include "render/raster.h"
#include "types/lineimage.h"
#include "types/vertex.h"

struct DrawContext {
    Raster* raster;
    const LineImage* image;
    float extentX; // width of the view in normalized units
    float extentY; // height of the view in normalized units
};

// Stores raster and image (null for none: an image without lines) and sets the extents from the
// raster's size: the longer side spans 2 * (long - 1) / (short - 1) units. A raster narrower or
// lower than 2 pixels has no mapping; the extents are then infinite or NaN, and the frame draws
// nothing on it.
void draw_context_init(DrawContext* ctx, Raster* raster, const LineImage* image);
// View units to raster units, in place on x and y; x = -extentX / 2 maps to column 0 and
// x = +extentX / 2 to column width - 1.
void map_to_raster(Vertex* vertex, const DrawContext* ctx);
// The inverse of map_to_raster, up to float rounding.
void map_from_raster(Vertex* vertex, const DrawContext* ctx);
