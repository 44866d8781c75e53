// Bytes decoded into a raster size, a clip image and shapes, every coordinate and colour any
// float at all, rendered as one whole frame, twice.
#include "files/lineimage.h"
#include "fuzz_support.h"
#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/frame.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

LineImage image_from(FuzzInput* input) {
    LineImage image;
    image.vertexCount = fuzz_index(input, 9);
    for (int32_t i = 0; i < image.vertexCount; ++i) {
        image.vertices.push_back(fuzz_vertex(input));
    }
    // The reader guarantees indices inside the vertex table, so only those are made here.
    image.lineCount = image.vertexCount > 0 ? fuzz_index(input, 9) : 0;
    for (int32_t i = 0; i < image.lineCount; ++i) {
        const int32_t first = fuzz_index(input, image.vertexCount);
        const int32_t second = fuzz_index(input, image.vertexCount);
        image.lines.push_back({first, second});
    }
    return image;
}

ListObject* shapes_from(FuzzInput* input) {
    ListObject* shapes = listobject_new(nullptr);
    const int count = fuzz_index(input, 5);
    for (int s = 0; s < count; ++s) {
        ListVertex* shape = listvertex_new(nullptr);
        const int members = fuzz_index(input, 11);
        for (int m = 0; m < members; ++m) {
            const Vertex v = fuzz_vertex(input);
            listvertex_append(shape, listvertex_node_new(&v));
        }
        listobject_append(shapes, listobject_node_new(shape));
    }
    return shapes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    // Byte 0 gives 64 x 48; the smallest sizes, where the view mapping breaks down, are near.
    const int32_t width = 64 - fuzz_index(&input, 67);
    const int32_t height = 48 - fuzz_index(&input, 51);
    const LineImage image = image_from(&input);
    ListObject* shapes = shapes_from(&input);
    ListObject* entered = listobject_copy(shapes);

    Raster* frame = frame_render(nullptr, width, height, shapes, &image);
    FUZZ_CHECK(frame != nullptr);
    FUZZ_CHECK(frame->width == std::max(width, 0) && frame->height == std::max(height, 0));
    const size_t bytes = sizeof(Colour) * static_cast<size_t>(frame->width) * frame->height;
    std::vector<unsigned char> first(bytes);
    if (bytes > 0) {
        std::memcpy(first.data(), frame->pixels, bytes);
    }
    // The pass clips copies: the shapes stay as entered, and the next frame is the same picture.
    FUZZ_CHECK(fuzz_same_shapes(shapes, entered));
    frame = frame_render(frame, width, height, shapes, &image);
    FUZZ_CHECK(bytes == 0 || std::memcmp(first.data(), frame->pixels, bytes) == 0);

    raster_free(frame);
    listobject_free(entered);
    listobject_free(shapes);
    return 0;
}
