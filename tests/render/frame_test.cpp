#include "rendertest.h"

#include "lists/listobject.h"
#include "render/frame.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr Colour kWhite{1, 1, 1, 1};

// The image file's square, anticlockwise: red along the bottom, blue along the top.
LineImage square_image() {
    LineImage image;
    image.vertices = {{-0.5f, -0.5f, 1, 0, 0, 1},
                      {0.5f, -0.5f, 1, 0, 0, 1},
                      {0.5f, 0.5f, 0, 0, 1, 1},
                      {-0.5f, 0.5f, 0, 0, 1, 1}};
    image.vertexCount = 4;
    image.lines = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
    image.lineCount = 4;
    return image;
}

ListObject* committed_shapes() {
    ListObject* shapes = listobject_new(nullptr);
    const std::vector<std::vector<Vertex>> triangles{
        {{0.2f, -0.2f, 0, 1, 0, 1}, {0.8f, -0.2f, 0, 1, 0, 1}, {0.2f, 0.3f, 0, 1, 0, 1}},
        {{-0.2f, -0.7f, 1, 1, 0, 1}, {0.1f, -0.2f, 1, 1, 0, 1}, {-0.2f, -0.2f, 1, 1, 0, 1}},
        {{-0.4f, -0.4f, 1, 0, 0, 1}, {-0.1f, -0.4f, 0, 1, 0, 1}, {-0.4f, -0.1f, 0, 0, 1, 1}},
        {{-0.9f, 0.6f, 0, 0, 0, 1}, {-0.6f, 0.6f, 0, 0, 0, 1}, {-0.9f, 0.9f, 0, 0, 0, 1}}};
    for (const auto& t : triangles) {
        listobject_append(shapes, listobject_node_new(shape_of(t)));
    }
    return shapes;
}

std::vector<float> fields_of(const ListObject* shapes) {
    std::vector<float> fields;
    for (const ObjectNode* n = shapes->head; n != nullptr; n = n->next) {
        for (const VertexNode* v = n->shape->head; v != nullptr; v = v->next) {
            const Vertex& x = v->vertex;
            fields.insert(fields.end(), {x.x, x.y, x.r, x.g, x.b, x.a});
        }
    }
    return fields;
}

// In 500 x 550 view (x, y) maps to (249.5 + 249.5 x, 274.5 + 249.5 y): the square spans
// columns 124.75 to 374.25 and rows 149.75 to 399.25.
TEST(FrameRender, ClipsShapesToTheSquareUnderItsOutline) {
    const LineImage image = square_image();
    ListObject* shapes = committed_shapes();
    const std::vector<float> before = fields_of(shapes);
    Raster* frame = frame_render(nullptr, 500, 550, shapes, &image);
    ASSERT_EQ(frame->width, 500);
    ASSERT_EQ(frame->height, 550);

    int outside = 0;
    for (int32_t row = 0; row < 550; ++row) {
        for (int32_t col = 0; col < 500; ++col) {
            const bool inBox = col >= 124 && col <= 374 && row >= 149 && row <= 399;
            outside += !inBox && !same_bits(pixel_at(frame, col, row), kWhite);
        }
    }
    EXPECT_EQ(outside, 0) << "pixels drawn outside the square";

    const struct {
        const char* name;
        int32_t column, row;
        Colour expected;
        float tolerance;
    } pixels[] = {
        {"bottom edge", 249, 149, {1, 0, 0, 1}, 0},
        {"top edge", 249, 399, {0, 0, 1, 1}, 0},
        {"bottom edge over a shape", 210, 149, {1, 0, 0, 1}, 0},
        {"shape above the bottom edge", 210, 150, {1, 1, 0, 1}, 0},
        {"left edge halfway", 124, 274, {0.5f, 0, 0.5f, 1}, 0.01f},
        {"inner triangle, centroid", 174, 199, {1 / 3.0f, 1 / 3.0f, 1 / 3.0f, 1}, 0.01f},
        {"inner triangle, near red", 151, 176, {0.9466f, 0.0267f, 0.0267f, 1}, 0.001f},
        {"crossing triangle, inside", 324, 249, {0, 1, 0, 1}, 0},
        {"crossing triangle, at the cut", 373, 249, {0, 1, 0, 1}, 0},
        {"crossing triangle, cut away", 399, 237, kWhite, 0},
        {"nothing drawn here", 324, 374, kWhite, 0},
    };
    for (const auto& p : pixels) {
        SCOPED_TRACE(p.name);
        const Colour& c = pixel_at(frame, p.column, p.row);
        EXPECT_NEAR(c.r, p.expected.r, p.tolerance);
        EXPECT_NEAR(c.g, p.expected.g, p.tolerance);
        EXPECT_NEAR(c.b, p.expected.b, p.tolerance);
        EXPECT_NEAR(c.a, p.expected.a, p.tolerance);
    }

    // The pass clips copies: the shapes stay as entered, and the next frame is the same.
    EXPECT_EQ(fields_of(shapes), before);
    const std::vector<Colour> first(frame->pixels, frame->pixels + 500 * 550);
    frame = frame_render(frame, 500, 550, shapes, &image);
    EXPECT_EQ(std::memcmp(frame->pixels, first.data(), first.size() * sizeof(Colour)), 0);
    raster_free(frame);
    listobject_free(shapes);
}

// A side below 2 pixels divided by zero in the extents; such a frame is only the white fill.
TEST(FrameRender, Fault7NarrowOrLowFrameIsAllWhite) {
    const LineImage image = square_image();
    ListObject* shapes = committed_shapes();
    const struct { int32_t width, height; } sizes[] = {{1, 40}, {40, 1}, {1, 1}, {0, 5}};
    for (const auto& s : sizes) {
        Raster* frame = frame_render(nullptr, s.width, s.height, shapes, &image);
        ASSERT_EQ(frame->width, s.width);
        ASSERT_EQ(frame->height, s.height);
        EXPECT_EQ(written_spans(frame, kWhite), "") << s.width << " x " << s.height;
        raster_free(frame);
    }
    listobject_free(shapes);
}

// A window too large for memory used to end the program with an allocation failure; its frame
// is now an empty raster, and the next frame of a size that fits is drawn as usual.
TEST(FrameRender, FrameTooLargeToAllocateIsEmpty) {
    const LineImage image = square_image();
    ListObject* shapes = committed_shapes();
    Raster* frame = frame_render(nullptr, INT32_MAX, INT32_MAX, shapes, &image);
    EXPECT_EQ(frame->width, 0);
    EXPECT_EQ(frame->height, 0);
    EXPECT_EQ(frame->pixels, nullptr);
    frame = frame_render(frame, 40, 30, shapes, &image);
    EXPECT_EQ(frame->width, 40);
    EXPECT_EQ(frame->pixels[0].r, 1.0f);
    raster_free(frame);
    listobject_free(shapes);
}

} // namespace
