#include "render/frame.h"

#include "render/clip.h"
#include "render/drawcontext.h"
#include "render/line.h"

#include <cstddef>

namespace {

// The previous frame's raster when it has the size asked for, so that its pixels are reused: a
// fresh block of a whole window costs a page fault per page when it is first written, every
// frame. Otherwise the previous raster is released and a new one made.
Raster* raster_of_size(Raster* previous, int32_t width, int32_t height) {
    if (previous != nullptr && previous->width == width && previous->height == height) {
        return previous;
    }
    raster_free(previous);
    return raster_new(width, height);
}

} // namespace

Raster* frame_draw(Raster* previous, int32_t width, int32_t height, const ListObject* shapes,
                   const LineImage* image) {
    Raster* raster = raster_of_size(previous, width, height);
    Colour white;
    raster_fill(raster, *colour_set(&white, 1.0f, 1.0f, 1.0f, 1.0f));
    // Below 2 pixels a side has no view mapping (its extent divides by zero).
    if (raster->width < 2 || raster->height < 2) {
        return raster;
    }
    DrawContext ctx;
    draw_context_init(&ctx, raster, image);
    if (shapes != nullptr) {
        clip_and_draw_shapes(shapes, &ctx);
    }
    // The outline lies over the shapes.
    draw_image_lines(ctx.image, &ctx);
    return raster;
}

int32_t frame_shape_at(int32_t width, int32_t height, const ListObject* shapes,
                       const LineImage* image, int32_t column, int32_t row) {
    if (shapes == nullptr || column < 0 || row < 0 || column >= width || row >= height ||
        width < 2 || height < 2) {
        return -1;
    }
    Raster* raster = raster_new(width, height);
    if (raster->width == 0) {
        raster_free(raster);
        return -1;
    }
    DrawContext ctx;
    draw_context_init(&ctx, raster, image);
    Colour* pixel = &raster->pixels[column + static_cast<std::ptrdiff_t>(row) * width];
    int32_t found = -1;
    int32_t index = 0;
    for (const ObjectNode* node = shapes->head; node != nullptr; node = node->next) {
        *pixel = raster_unwritten();
        clip_and_draw_shape(node->shape, &ctx);
        if (raster_written(*pixel)) {
            found = index;
        }
        ++index;
    }
    raster_free(raster);
    return found;
}
