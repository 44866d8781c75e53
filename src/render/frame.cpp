#include "render/frame.h"

#include "render/clip.h"
#include "render/drawcontext.h"
#include "render/line.h"

Raster* frame_render(Raster* previous, int32_t width, int32_t height, const ListObject* shapes,
                     const LineImage* image) {
    raster_free(previous);
    Raster* raster = raster_new(width, height);
    Colour white;
    raster_fill(raster, *colour_set(&white, 1.0f, 1.0f, 1.0f, 1.0f));
    DrawContext ctx;
    draw_context_init(&ctx, raster, image);
    // Below 2 pixels a side has no view mapping (its extent divides by zero).
    if (raster->width < 2 || raster->height < 2) {
        return raster;
    }
    if (shapes != nullptr) {
        clip_and_draw_shapes(shapes, &ctx);
    }
    if (image != nullptr) {
        draw_image_lines(image, &ctx);
    }
    return raster;
}
