#include "state/state.h"

#include "files/imagefile.h"
#include "render/drawcontext.h"
#include "types/vertex.h"

#include <cstdio>

namespace {

constexpr float colourStep = 0.05f;

void commit_pending_shape(AppState* state) {
    // A null pendingShape gives no node, so nothing is committed before the first click.
    listobject_append(state->shapes, listobject_node_new(state->pendingShape));
    state->pendingShape = listvertex_new(nullptr);
}

void select_palette_entry(AppState* state, size_t index) {
    if (index >= state->palette.size()) {
        return;
    }
    const Colour& entry = state->palette[index];
    colour_set(&state->currentColour, entry.r, entry.g, entry.b, entry.a);
}

} // namespace

void init_scene_state(AppState* state) {
    state->shapes = listobject_new(nullptr);
    colour_set(&state->currentColour, 0.0f, 0.0f, 0.0f, 0.0f);
}

Config state_start(AppState* state) {
    Config config;
    read_config(&config);
    state->palette = config.palette;
    read_image_file("clippoly.txt", &state->clipImage);
    init_scene_state(state);
    return config;
}

void state_release(AppState* state) {
    listobject_free(state->shapes);
    listvertex_free(state->pendingShape);
    raster_free(state->frameRaster);
    *state = AppState{};
}

void state_key(AppState* state, unsigned char key) {
    switch (key) {
    case ' ':
        commit_pending_shape(state);
        break;
    case ',':
        colour_add_rgb(&state->currentColour, -colourStep);
        break;
    case '.':
        colour_add_rgb(&state->currentColour, colourStep);
        break;
    case 'n':
        state->shapes = listobject_free(state->shapes);
        state->shapes = listobject_new(nullptr);
        break;
    default:
        if (key >= '0' && key <= '9') {
            select_palette_entry(state, static_cast<size_t>(key - '0'));
        }
        break;
    }
}

bool state_click_to_view(int32_t width, int32_t height, int32_t x, int32_t y, int32_t windowHeight,
                         Vertex* v) {
    // A frame too small (or too large to allocate) to have a view mapping has nothing to map
    // the click through.
    if (width < 2 || height < 2) {
        return false;
    }
    // The flip subtracts from the height itself, not height - 1: a click on the bottom pixel
    // row lands on raster row 1.
    v->x = static_cast<float>(x);
    v->y = static_cast<float>(windowHeight - y);
    Raster frame{nullptr, width, height};
    DrawContext ctx;
    draw_context_init(&ctx, &frame, nullptr);
    map_from_raster(v, &ctx);
    return true;
}

void state_left_click(AppState* state, int32_t x, int32_t y, int32_t windowHeight) {
    const Raster* frame = state->frameRaster;
    const Colour& c = state->currentColour;
    Vertex v{0.0f, 0.0f, c.r, c.g, c.b, c.a};
    // Before the first frame there is nothing to map the click through.
    if (frame == nullptr ||
        !state_click_to_view(frame->width, frame->height, x, y, windowHeight, &v)) {
        return;
    }
    VertexNode* node = listvertex_node_new(&v);
    if (state->pendingShape == nullptr) {
        state->pendingShape = listvertex_new(node);
    } else {
        listvertex_append(state->pendingShape, node);
    }
}

void state_right_click(AppState* state) {
    state->pendingShape = listvertex_free(state->pendingShape);
}

void state_report_no_frame_memory(int32_t width, int32_t height) {
    std::printf("ERROR: No memory for a %d x %d frame.\n", width, height);
}
