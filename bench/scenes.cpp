#include "scenes.h"

#include "render/drawcontext.h"
#include "render/raster.h"

#include <cmath>
#include <numbers>

LineImage scene_octagon() {
    LineImage image;
    for (int32_t k = 0; k < 8; ++k) {
        const double angle = (22.5 + 45.0 * k) * std::numbers::pi / 180.0;
        const float blue = static_cast<float>(k % 2);
        image.vertices.push_back({static_cast<float>(0.9 * std::cos(angle)),
                                  static_cast<float>(0.9 * std::sin(angle)), 1.0f - blue, 0.0f,
                                  blue, 1.0f});
        image.lines.push_back({k, (k + 1) % 8});
    }
    image.vertexCount = 8;
    image.lineCount = 8;
    return image;
}

namespace {

Vertex grid_vertex(float x, float y) {
    const float u = (x + 1.0f) / 2.0f;
    return Vertex{x, y, u, (y + 1.0f) / 2.0f, 1.0f - u, 1.0f};
}

float grid_line(int32_t i, int32_t g) {
    return -1.0f + 2.0f * static_cast<float>(i) / static_cast<float>(g);
}

} // namespace

ListObject* scene_grid(int32_t g) {
    ListObject* shapes = listobject_new(nullptr);
    ObjectNode* last = nullptr;
    for (int32_t j = 0; j < g; ++j) {
        for (int32_t i = 0; i < g; ++i) {
            const float x0 = grid_line(i, g);
            const float x1 = grid_line(i + 1, g);
            const float y0 = grid_line(j, g);
            const float y1 = grid_line(j + 1, g);
            const Vertex corners[4] = {grid_vertex(x0, y0), grid_vertex(x1, y0),
                                       grid_vertex(x1, y1), grid_vertex(x0, y1)};
            ListVertex* quad = listvertex_new(nullptr);
            VertexNode* tail = nullptr;
            for (const Vertex& corner : corners) {
                tail = listvertex_append_after(quad, tail, listvertex_node_new(&corner));
            }
            last = listobject_append_after(shapes, last, listobject_node_new(quad));
        }
    }
    return shapes;
}

void scene_extents(int32_t width, int32_t height, float* extentX, float* extentY) {
    Raster raster{nullptr, width, height};
    DrawContext ctx;
    draw_context_init(&ctx, &raster, nullptr);
    *extentX = ctx.extentX;
    *extentY = ctx.extentY;
}
