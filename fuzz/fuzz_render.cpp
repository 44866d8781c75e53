// Bytes decoded into a raster size, a clip image and shapes, every coordinate and colour any
// float at all, rendered twice: the shapes must stay as entered and the frames be equal.
#include "files/scenefile.h"
#include "render/frame.h"

#include <bit>
#include <cassert> // on in every build (-UNDEBUG): a failed assert is a finding
#include <cstring>

// The input read front to back, zeros once it runs out, so that seeds can be made by hand.
struct Input {
    const uint8_t* at;
    const uint8_t* end;
    uint8_t byte() { return at < end ? *at++ : 0; }
    // An odd byte: the next four are any float, little-endian. An even one is an eighth from -8
    // to 7.875 (as a signed byte, over 16), so that points land exactly on lines and pixel edges.
    float number() {
        const uint8_t tag = byte();
        if (tag % 2 == 0) {
            return static_cast<int8_t>(tag) / 16.0f;
        }
        const uint8_t raw[4] = {byte(), byte(), byte(), byte()};
        return std::bit_cast<float>(raw);
    }
    Vertex vertex() { return {number(), number(), number(), number(), number(), number()}; }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, data + size};
    // Byte 0 gives 64 x 48; the sizes below 2, which have no view mapping, are near.
    const int32_t width = 64 - in.byte() % 67;
    const int32_t height = 48 - in.byte() % 51;
    LineImage image;
    image.vertexCount = in.byte() % 9;
    while (std::ssize(image.vertices) < image.vertexCount) {
        image.vertices.push_back(in.vertex());
    }
    // Only indices of stored vertices, as the reader guarantees.
    image.lineCount = image.vertexCount > 0 ? in.byte() % 9 : 0;
    while (std::ssize(image.lines) < image.lineCount) {
        const int32_t first = in.byte() % image.vertexCount;
        const int32_t second = in.byte() % image.vertexCount;
        image.lines.push_back({first, second});
    }
    ListObject* shapes = listobject_new(nullptr);
    for (int s = in.byte() % 5; s > 0; --s) {
        ListVertex* shape = listvertex_new(nullptr);
        for (int m = in.byte() % 11; m > 0; --m) {
            const Vertex corner = in.vertex();
            listvertex_append(shape, listvertex_node_new(&corner));
        }
        listobject_append(shapes, listobject_node_new(shape));
    }
    const std::string entered = scenefile_text(shapes); // every float, exactly
    // Drawn twice, into separate pixels: nothing may carry over from one frame to the next.
    Raster* one = frame_draw(nullptr, width, height, shapes, &image);
    Raster* two = frame_draw(nullptr, width, height, shapes, &image);
    assert(std::memcmp(one->pixels, two->pixels, sizeof(Colour) * one->width * one->height) == 0);
    assert(scenefile_text(shapes) == entered);
    raster_free(one);
    raster_free(two);
    listobject_free(shapes);
    return 0;
}
