// The web page's side of the core: the window's state, start-up, input rules and frame pass,
// called from page.js. The page keeps the data files in the in-memory file system's working
// directory under the names the program reads, so start-up is the program's own.
#include "files/scenefile.h"
#include "render/frame.h"
#include "state/screen.h"
#include "state/state.h"
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
    const int32_t count = state.shapes->nmembers;
    const int32_t shape = index < 0 ? count - 1 : index;
    if (shape < 0 || shape >= count) {
        return nullptr;
    }
    const ObjectNode* node = state.shapes->head;
    for (int32_t i = 0; i < shape; ++i) {
        node = node->next;
    }
    if (!shape_steps(&steps, node->shape, &state.clipImage, width, height)) {
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

} // extern "C"
