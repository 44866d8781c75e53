// The web page's side of the core: the window's state, start-up, input rules and frame pass,
// called from page.js. The page keeps the data files in the in-memory file system's working
// directory under the names the program reads, so start-up is the program's own.
#include "files/filekind.h"
#include "files/imagefile.h"
#include "files/scenefile.h"
#include "render/check.h"
#include "render/frame.h"
#include "state/screen.h"
#include "state/state.h"
#include "web/check_json.h"
#include "web/json.h"
#include "web/steps_json.h"

#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <new>
#include <string>

namespace {

AppState state;
Config config;
// The last frame in 8 bits, rows top first, where the canvas reads it. Allocated without
// exceptions, which this build does not have: a frame too large for the memory is reported.
std::unique_ptr<uint8_t[]> canvasBytes;
size_t canvasSize = 0;
// The last scene text asked for, alive until the next.
std::string sceneText;
// The step view's shape, its steps as JSON for the page, and their pixels.
ShapeSteps steps;
std::string stepsJson;
// What the checks draw into, kept while the frame keeps its size, and their last answer.
Raster* scratch = nullptr;
std::string checkJson;

// The check of shape in a width x height frame, as JSON; null when there is no raster for it.
const char* check_shape(const ListVertex* shape, int32_t width, int32_t height) {
    if (scratch == nullptr || scratch->width != width || scratch->height != height) {
        scratch = raster_free(scratch);
        scratch = raster_new(width, height);
    }
    if (scratch->width < 2 || scratch->height < 2) {
        return nullptr;
    }
    DrawContext ctx;
    draw_context_init(&ctx, scratch, &state.clipImage);
    checkJson = shape_check_json(shape_check(shape, &ctx));
    return checkJson.c_str();
}

const ListVertex* committed_shape(int32_t index) {
    const int32_t count = state.shapes->nmembers;
    const int32_t shape = index < 0 ? count - 1 : index;
    if (shape < 0 || shape >= count) {
        return nullptr;
    }
    const ObjectNode* node = state.shapes->head;
    for (int32_t i = 0; i < shape; ++i) {
        node = node->next;
    }
    return node->shape;
}

} // namespace

extern "C" {

// Start-up afresh, as the program starts: both data files, an empty scene, no frame.
EMSCRIPTEN_KEEPALIVE void page_start() {
    state_release(&state);
    config = state_start(&state);
}

EMSCRIPTEN_KEEPALIVE int32_t page_window_width() {
    return config.windowWidth;
}
EMSCRIPTEN_KEEPALIVE int32_t page_window_height() {
    return config.windowHeight;
}

EMSCRIPTEN_KEEPALIVE void page_key(int32_t key) {
    state_key(&state, static_cast<uint8_t>(key));
}

EMSCRIPTEN_KEEPALIVE void page_left_click(int32_t x, int32_t y, int32_t height) {
    state_left_click(&state, x, y, height);
}

EMSCRIPTEN_KEEPALIVE void page_right_click() {
    state_right_click(&state);
}

// The frame pass at width x height, as the window's; false (reported) when there is no memory
// for it.
EMSCRIPTEN_KEEPALIVE bool page_render(int32_t width, int32_t height) {
    state.frameRaster =
        frame_draw(state.frameRaster, width, height, state.shapes, &state.clipImage);
    if (state.frameRaster->width == 0 && width > 0 && height > 0) {
        state_report_no_frame_memory(width, height);
        return false;
    }
    return true;
}

// The last frame as the canvas's RGBA bytes, or null when there is none.
EMSCRIPTEN_KEEPALIVE const uint8_t* page_convert() {
    const Raster* frame = state.frameRaster;
    if (frame == nullptr || frame->width == 0) {
        return nullptr;
    }
    const size_t size = 4 * static_cast<size_t>(frame->width) * static_cast<size_t>(frame->height);
    if (size != canvasSize) {
        canvasBytes.reset(new (std::nothrow) uint8_t[size]);
        canvasSize = canvasBytes ? size : 0;
    }
    if (!canvasBytes) {
        state_report_no_frame_memory(frame->width, frame->height);
        return nullptr;
    }
    raster_to_rgba8(frame, canvasBytes.get());
    return canvasBytes.get();
}

// The current colour as the texts show it: 0xRRGGBB, each channel as the frame's.
EMSCRIPTEN_KEEPALIVE int32_t page_text_colour() {
    const Colour& c = state.currentColour;
    return colour_byte(c.r) << 16 | colour_byte(c.g) << 8 | colour_byte(c.b);
}

EMSCRIPTEN_KEEPALIVE const char* page_title() {
    return windowTitle;
}
EMSCRIPTEN_KEEPALIVE int32_t page_text_count() {
    return std::size(screenTexts);
}
EMSCRIPTEN_KEEPALIVE const char* page_text(int32_t i) {
    return screenTexts[i].text;
}
EMSCRIPTEN_KEEPALIVE float page_text_x(int32_t i) {
    return screenTexts[i].x;
}
EMSCRIPTEN_KEEPALIVE float page_text_y(int32_t i) {
    return screenTexts[i].y;
}

// The committed shapes as a scene file.
EMSCRIPTEN_KEEPALIVE const char* page_scene_text() {
    sceneText = scenefile_text(state.shapes);
    return sceneText.c_str();
}

// Replaces the committed shapes by those of the scene file at path; the shape being entered
// stays. A file that cannot be read changes nothing.
EMSCRIPTEN_KEEPALIVE bool page_load_scene(const char* path) {
    ListObject* loaded = listobject_new(nullptr);
    if (!scenefile_read(path, loaded)) {
        listobject_free(loaded);
        return false;
    }
    state.shapes = listobject_free(state.shapes);
    state.shapes = loaded;
    return true;
}

// Which committed shape shows at canvas pixel (x, y), y counted down from the top, in a frame
// of width x height: its index, or -1 for none.
EMSCRIPTEN_KEEPALIVE int32_t page_shape_at(int32_t x, int32_t y, int32_t width, int32_t height) {
    return frame_shape_at(width, height, state.shapes, &state.clipImage, x, height - 1 - y);
}

// The steps of committed shape index (-1: the last) through a width x height frame, as JSON, or
// null when there is no such shape or no frame to draw it in. Their pixels stay at
// page_steps_row_bytes and page_steps_picture until the next call.
EMSCRIPTEN_KEEPALIVE const char* page_steps(int32_t index, int32_t width, int32_t height) {
    const ListVertex* chosen = committed_shape(index);
    if (chosen == nullptr) {
        return nullptr;
    }
    const int32_t shape = index < 0 ? state.shapes->nmembers - 1 : index;
    if (!shape_steps(&steps, chosen, &state.clipImage, width, height)) {
        if (width >= 2 && height >= 2) {
            state_report_no_frame_memory(width, height);
        }
        return nullptr;
    }
    stepsJson = "{\"shape\":" + std::to_string(shape) + ',' + steps_json(steps).substr(1);
    return stepsJson.c_str();
}

// Each fill row's span as RGBA bytes, at the offsets the rows give.
EMSCRIPTEN_KEEPALIVE const uint8_t* page_steps_row_bytes() {
    return steps.rowBytes.data();
}

// The shape drawn alone: RGBA bytes, rows top first, transparent where it writes nothing.
EMSCRIPTEN_KEEPALIVE const uint8_t* page_steps_picture() {
    return steps.picture.data();
}

// Which of the program's files the file at path is, by what it holds: 0 none, 1 a config, 2 a
// clip polygon, 3 a scene; preferred (the picker's) when it holds lines of that kind.
EMSCRIPTEN_KEEPALIVE int32_t page_file_kind(const char* path, int32_t preferred) {
    if (preferred < 0 || preferred > 3) {
        preferred = 0;
    }
    return static_cast<int32_t>(file_kind(path, static_cast<FileKind>(preferred)));
}

// Reads the clip polygon at path, as start-up reads clippoly.txt, in place of the one there is;
// the shapes and the colours stay, so the new lines clip the same drawing.
EMSCRIPTEN_KEEPALIVE void page_load_clip(const char* path) {
    LineImage image;
    read_image_file(path, &image);
    state.clipImage = std::move(image);
}

// The check of the shape being entered (none: empty) and of committed shape index (-1: the
// last) in a width x height frame, as JSON; null when the frame is too small to map.
EMSCRIPTEN_KEEPALIVE const char* page_check_pending(int32_t width, int32_t height) {
    return check_shape(state.pendingShape, width, height);
}
EMSCRIPTEN_KEEPALIVE const char* page_check_shape(int32_t index, int32_t width, int32_t height) {
    const ListVertex* shape = committed_shape(index);
    return shape == nullptr ? nullptr : check_shape(shape, width, height);
}

// The clip polygon's check as JSON, with "ends": each line's two ends mapped to a width x
// height frame, [ax, ay, bx, by] in raster units (empty when it has no mapping).
EMSCRIPTEN_KEEPALIVE const char* page_check_clip(int32_t width, int32_t height) {
    checkJson = clip_check_json(clip_check(&state.clipImage), state.clipImage.lineCount);
    checkJson.back() = ',';
    checkJson += "\"ends\":[";
    Raster frame{nullptr, width, height};
    DrawContext ctx;
    draw_context_init(&ctx, &frame, &state.clipImage);
    for (int32_t i = 0; width >= 2 && height >= 2 && i < state.clipImage.lineCount; ++i) {
        const LineEnds ends = lineimage_line_ends(&state.clipImage, i);
        Vertex a = ends.a;
        Vertex b = ends.b;
        map_to_raster(&a, &ctx);
        map_to_raster(&b, &ctx);
        checkJson += '[';
        for (const float value : {a.x, a.y, b.x, b.y}) {
            put_float(&checkJson, value);
        }
        close(&checkJson, ']');
    }
    close(&checkJson, ']');
    checkJson.back() = '}';
    return checkJson.c_str();
}

// Makes the first shape of the scene file at path the shape being entered, or none when it
// holds none: how undo gives back corners a right click dropped.
EMSCRIPTEN_KEEPALIVE void page_set_pending(const char* path) {
    ListObject* loaded = listobject_new(nullptr);
    scenefile_read(path, loaded);
    state.pendingShape = listvertex_free(state.pendingShape);
    if (loaded->head != nullptr && loaded->head->shape->nmembers > 0) {
        state.pendingShape = listvertex_copy(loaded->head->shape);
    }
    listobject_free(loaded);
}

// The shape being entered as a scene file of one shape (of none when there is none).
EMSCRIPTEN_KEEPALIVE const char* page_pending_text() {
    ListObject* one = listobject_new(nullptr);
    if (state.pendingShape != nullptr) {
        listobject_append(one, listobject_node_new(listvertex_copy(state.pendingShape)));
    }
    sceneText = scenefile_text(one);
    listobject_free(one);
    return sceneText.c_str();
}

// The colours as JSON: {"current": [r, g, b, a], "palette": [[r, g, b, a], ...], "shapes": the
// committed shapes' count, "pending": the corners being entered}.
EMSCRIPTEN_KEEPALIVE const char* page_colours() {
    const auto put = [](std::string* out, const Colour& c) {
        *out += '[';
        for (const float value : {c.r, c.g, c.b, c.a}) {
            put_float(out, value);
        }
        close(out, ']');
    };
    checkJson = "{\"current\":";
    put(&checkJson, state.currentColour);
    checkJson += "\"palette\":[";
    for (const Colour& c : state.palette) {
        put(&checkJson, c);
    }
    close(&checkJson, ']');
    const int32_t pending = state.pendingShape == nullptr ? 0 : state.pendingShape->nmembers;
    checkJson += "\"shapes\":" + std::to_string(state.shapes->nmembers) +
                 ",\"pending\":" + std::to_string(pending) + '}';
    return checkJson.c_str();
}

// Canvas pixel (x, y), y counted down from the top, in a width x height frame: [view x, view
// y, raster column, raster row] as a click there would place a corner; null without a mapping.
EMSCRIPTEN_KEEPALIVE const char* page_point_at(int32_t x, int32_t y, int32_t width,
                                               int32_t height) {
    Vertex v{};
    if (!state_click_to_view(width, height, x, y, height, &v)) {
        return nullptr;
    }
    checkJson = "[";
    for (const float value : {v.x, v.y, static_cast<float>(x), static_cast<float>(height - y)}) {
        put_float(&checkJson, value);
    }
    checkJson.back() = ']';
    return checkJson.c_str();
}

} // extern "C"
