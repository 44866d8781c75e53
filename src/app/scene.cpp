#include "app/scene.h"

#include "render/drawcontext.h"
#include "render/vertex.h"

Config config;
LineImage clipImage;
Colour currentColour;
ListObject* shapes = nullptr;
ListVertex* pendingShape = nullptr;
Raster* frameRaster = nullptr;

namespace {

constexpr float colourStep = 0.05f;

void commit_pending_shape() {
    // A null pendingShape gives no node, so nothing is committed before the first click.
    listobject_append(shapes, listobject_node_new(pendingShape));
    pendingShape = listvertex_new(nullptr);
}

void select_palette_entry(int32_t index) {
    if (index >= config.colourCount) {
        return;
    }
    const Colour& entry = config.palette[static_cast<size_t>(index)];
    colour_set(&currentColour, entry.r, entry.g, entry.b, entry.a);
}

} // namespace

void init_scene_state() {
    shapes = listobject_new(nullptr);
    colour_set(&currentColour, 0.0f, 0.0f, 0.0f, 0.0f);
}

void scene_key(unsigned char key) {
    switch (key) {
    case ' ':
        commit_pending_shape();
        break;
    case ',':
        colour_add_rgb(&currentColour, -colourStep);
        break;
    case '.':
        colour_add_rgb(&currentColour, colourStep);
        break;
    case 'n':
        shapes = listobject_free(shapes);
        shapes = listobject_new(nullptr);
        break;
    default:
        if (key >= '0' && key <= '9') {
            select_palette_entry(key - '0');
        }
        break;
    }
}

void scene_left_click(int32_t x, int32_t y, int32_t windowHeight) {
    // Before the first frame, and on a frame too small (or too large to allocate) to have a
    // view mapping, there is nothing to map the click through.
    if (frameRaster == nullptr || frameRaster->width < 2 || frameRaster->height < 2) {
        return;
    }
    // The flip subtracts from the height itself, not height - 1: a click on the bottom pixel
    // row lands on raster row 1.
    Vertex v{static_cast<float>(x), static_cast<float>(windowHeight - y),
             currentColour.r,       currentColour.g,
             currentColour.b,       currentColour.a};
    DrawContext ctx;
    draw_context_init(&ctx, frameRaster, &clipImage);
    map_from_raster(&v, &ctx);
    VertexNode* node = listvertex_node_new(&v);
    if (pendingShape == nullptr) {
        pendingShape = listvertex_new(node);
    } else {
        listvertex_append(pendingShape, node);
    }
}

void scene_right_click() {
    pendingShape = listvertex_free(pendingShape);
}
