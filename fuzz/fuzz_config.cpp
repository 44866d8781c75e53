// Arbitrary bytes as the configuration file, then a frame at the size read (capped small) with
// one triangle in each palette colour.
#include "files/config.h"
#include "fuzz_support.h"
#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/frame.h"

#include <algorithm>
#include <iterator>

namespace {

const char* scratch = nullptr;

ListVertex* palette_triangle(const Colour& colour, int index) {
    const float shift = 0.1f * static_cast<float>(index % 8);
    const Vertex corners[3] = {
        {-0.9f + shift, -0.9f, colour.r, colour.g, colour.b, colour.a},
        {0.9f, -0.8f + shift, colour.r, colour.g, colour.b, colour.a},
        {0.0f, 0.9f - shift, colour.r, colour.g, colour.b, colour.a},
    };
    ListVertex* shape = listvertex_new(nullptr);
    for (const Vertex& corner : corners) {
        listvertex_append(shape, listvertex_node_new(&corner));
    }
    return shape;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scratch = fuzz_scratch_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_scratch_write(scratch, data, size);
    Config config;
    read_config_file(scratch, &config);

    // The keyboard indexes the palette with any digit below colourCount, and the window is
    // created at the size read.
    FUZZ_CHECK(config.colourCount >= 0);
    FUZZ_CHECK(config.colourCount == std::ssize(config.palette));
    FUZZ_CHECK(config.windowWidth > 0 && config.windowHeight > 0);

    ListObject* shapes = listobject_new(nullptr);
    const int drawn = std::min(config.colourCount, 16);
    for (int i = 0; i < drawn; ++i) {
        listobject_append(shapes, listobject_node_new(palette_triangle(config.palette[i], i)));
    }
    const LineImage noImage;
    Raster* frame = frame_render(nullptr, std::min(config.windowWidth, 64),
                                 std::min(config.windowHeight, 48), shapes, &noImage);
    raster_free(frame);
    listobject_free(shapes);
    return 0;
}
