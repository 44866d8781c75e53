// frame_shape_at at and just past the raster's edges, where an off-by-one would read outside the
// frame or miss its last column and row; the shape pass against drawing the list as it is.
#include "render/clip.h"
#include "render/fill.h"
#include "render/frame.h"

#include "live_blocks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// One square far larger than the view, so that it writes every pixel of any frame.
ListObject* covering_square() {
    const Vertex corners[] = {
        {-9, -9, 0, 0, 1, 1}, {9, -9, 0, 0, 1, 1}, {9, 9, 0, 0, 1, 1}, {-9, 9, 0, 0, 1, 1}};
    ListVertex* shape = listvertex_new(nullptr);
    for (const Vertex& corner : corners) {
        listvertex_append(shape, listvertex_node_new(&corner));
    }
    return listobject_new(listobject_node_new(shape));
}

struct Probe {
    int32_t column;
    int32_t row;
    int32_t shape;
};

TEST(FrameShapeAt, FindsTheShapeOnEveryEdgePixelAndNothingPastThem) {
    constexpr int32_t w = 7;
    constexpr int32_t h = 5;
    const Probe probes[] = {
        {0, 0, 0},      {w - 1, 0, 0},  {0, h - 1, 0},      {w - 1, h - 1, 0},  {w, 0, -1},
        {0, h, -1},     {w, h, -1},     {-1, 0, -1},        {0, -1, -1},        {-1, -1, -1},
        {w - 1, h, -1}, {w, h - 1, -1}, {INT32_MIN, 0, -1}, {0, INT32_MAX, -1},
    };
    ListObject* shapes = covering_square();
    const LineImage none;
    for (const Probe& p : probes) {
        EXPECT_EQ(frame_shape_at(w, h, shapes, &none, p.column, p.row), p.shape)
            << "column " << p.column << ", row " << p.row;
    }
    listobject_free(shapes);
}

TEST(FrameShapeAt, FindsNothingWithoutShapesOrAViewMapping) {
    ListObject* shapes = covering_square();
    const LineImage none;
    EXPECT_EQ(frame_shape_at(7, 5, nullptr, &none, 3, 2), -1);
    EXPECT_EQ(frame_shape_at(1, 5, shapes, &none, 0, 2), -1);
    EXPECT_EQ(frame_shape_at(7, 1, shapes, &none, 3, 0), -1);
    EXPECT_EQ(frame_shape_at(2, 2, shapes, &none, 1, 1), 0);
    listobject_free(shapes);
}

// With no clip lines the shape pass draws the list as draw_shapes draws it: every shape in list
// order, later ones covering earlier ones.
TEST(ShapePass, WithoutLinesDrawsAsDrawShapes) {
    const Vertex corners[][3] = {
        {{-0.9f, -0.9f, 1, 0, 0, 1}, {0.5f, -0.8f, 0, 1, 0, 1}, {0, 0.7f, 0, 0, 1, 1}},
        {{-0.2f, -0.5f, 1, 1, 0, 1}, {0.9f, 0.1f, 0, 1, 1, 1}, {-0.6f, 0.8f, 1, 0, 1, 1}}};
    ListObject* shapes = listobject_new(nullptr);
    for (const auto& triangle : corners) {
        ListVertex* shape = listvertex_new(nullptr);
        for (const Vertex& corner : triangle) {
            listvertex_append(shape, listvertex_node_new(&corner));
        }
        listobject_append(shapes, listobject_node_new(shape));
    }
    const LineImage none;
    Raster* byPass = raster_new(40, 30);
    Raster* byList = raster_new(40, 30);
    raster_fill(byPass, raster_unwritten());
    raster_fill(byList, raster_unwritten());
    DrawContext passCtx;
    DrawContext listCtx;
    draw_context_init(&passCtx, byPass, &none);
    draw_context_init(&listCtx, byList, &none);
    clip_and_draw_shapes(shapes, &passCtx);
    draw_shapes(shapes, &listCtx);
    int32_t written = 0;
    for (int32_t i = 0; i < 40 * 30; ++i) {
        written += raster_written(byList->pixels[i]) ? 1 : 0;
        EXPECT_EQ(std::memcmp(&byPass->pixels[i], &byList->pixels[i], sizeof(Colour)), 0)
            << "pixel " << i;
    }
    EXPECT_GT(written, 100);
    raster_free(byPass);
    raster_free(byList);
    listobject_free(shapes);
}

// A frame of another size than the previous one releases the previous raster; one of the same
// size reuses it. Resizing a window back and forth must not leave rasters behind.
TEST(FrameDraw, ReleasesThePreviousRasterWhenTheSizeChanges) {
    ListObject* shapes = covering_square();
    const LineImage none;
    Raster* frame = frame_draw(nullptr, 8, 6, shapes, &none);
    const long live = liveBlocks;
    for (int32_t i = 0; i < 10; ++i) {
        frame = frame_draw(frame, 8 + i % 2, 6, shapes, &none);
    }
    const long after = liveBlocks;
    Raster* same = frame_draw(frame, frame->width, frame->height, shapes, &none);
    EXPECT_EQ(same, frame) << "a frame of the same size makes a new raster";
    raster_free(same);
    listobject_free(shapes);
    EXPECT_EQ(after, live) << "rasters left behind";
}

} // namespace
