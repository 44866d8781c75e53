#include "render/drawcontext.h"

namespace {

// 2 * (longer - 1) / (shorter - 1), formed from the integers; a side below 2 pixels divides by
// zero or by -1 here, which the frame pass guards against.
float long_extent(int32_t longer, int32_t shorter) {
    return static_cast<float>(2.0 * (static_cast<double>(longer) - 1.0) /
                              (static_cast<double>(shorter) - 1.0));
}

} // namespace

void draw_context_init(DrawContext* ctx, Raster* raster, const LineImage* image) {
    static const LineImage none;
    ctx->raster = raster;
    ctx->image = image != nullptr ? image : &none;
    if (raster->width > raster->height) {
        ctx->extentX = long_extent(raster->width, raster->height);
        ctx->extentY = 2.0f;
    } else {
        ctx->extentX = 2.0f;
        ctx->extentY = long_extent(raster->height, raster->width);
    }
}

void map_to_raster(Vertex* vertex, const DrawContext* ctx) {
    const float w1 = static_cast<float>(ctx->raster->width - 1);
    const float h1 = static_cast<float>(ctx->raster->height - 1);
    vertex->x = (0.5f * vertex->x + ctx->extentX / 4.0f) / (ctx->extentX / 2.0f) * w1;
    vertex->y = (0.5f * vertex->y + ctx->extentY / 4.0f) / (ctx->extentY / 2.0f) * h1;
}

void map_from_raster(Vertex* vertex, const DrawContext* ctx) {
    const float w1 = static_cast<float>(ctx->raster->width - 1);
    const float h1 = static_cast<float>(ctx->raster->height - 1);
    vertex->x = ((vertex->x / w1) * (ctx->extentX / 2.0f) - ctx->extentX / 4.0f) * 2.0f;
    vertex->y = ((vertex->y / h1) * (ctx->extentY / 2.0f) - ctx->extentY / 4.0f) * 2.0f;
}
