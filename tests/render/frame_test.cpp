// frame_shape_at at and just past the raster's edges, where an off-by-one would read outside the
// frame or miss its last column and row.
#include "render/frame.h"

#include <gtest/gtest.h>

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

} // namespace
