// shape_steps at the edges of what it can record: the smallest frames, and what it leaves behind.
#include "live_blocks.h"
#include "render/steps.h"

#include <gtest/gtest.h>

namespace {

ListVertex* triangle() {
    const Vertex corners[] = {
        {-0.5f, -0.5f, 1, 0, 0, 1}, {0.5f, -0.5f, 0, 1, 0, 1}, {0, 0.5f, 0, 0, 1, 1}};
    ListVertex* shape = listvertex_new(nullptr);
    for (const Vertex& corner : corners) {
        listvertex_append(shape, listvertex_node_new(&corner));
    }
    return shape;
}

struct Size {
    int32_t width;
    int32_t height;
    bool recorded;
};

// A frame needs two pixels a side for its view mapping; without it nothing is recorded and the
// steps are left empty, as a fresh ShapeSteps.
TEST(ShapeSteps, AreRecordedFromTwoPixelsASide) {
    const Size sizes[] = {{2, 2, true},  {2, 9, true},  {9, 2, true},  {1, 9, false},
                          {9, 1, false}, {0, 0, false}, {-3, 5, false}};
    ListVertex* shape = triangle();
    const LineImage none;
    for (const Size& size : sizes) {
        ShapeSteps steps;
        steps.width = 77;
        const bool recorded = shape_steps(&steps, shape, &none, size.width, size.height);
        EXPECT_EQ(recorded, size.recorded) << size.width << " x " << size.height;
        EXPECT_EQ(steps.width, recorded ? size.width : 0);
        EXPECT_EQ(steps.height, recorded ? size.height : 0);
        EXPECT_EQ(steps.stages.size(), recorded ? 1u : 0u);
        EXPECT_EQ(steps.picture.size(),
                  recorded ? 4u * static_cast<size_t>(size.width * size.height) : 0u);
    }
    listvertex_free(shape);
}

// The raster it draws on and every list it clips are released: only the steps remain.
TEST(ShapeSteps, LeaveNothingBehindButTheSteps) {
    ListVertex* shape = triangle();
    LineImage image;
    image.vertices = {{0, -1, 0, 0, 0, 1}, {0, 1, 0, 0, 0, 1}};
    image.vertexCount = 2;
    image.lines = {{0, 1}};
    image.lineCount = 1;
    const long before = liveBlocks;
    {
        ShapeSteps steps;
        ASSERT_TRUE(shape_steps(&steps, shape, &image, 40, 30));
        ASSERT_EQ(steps.stages.size(), 2u);
    }
    EXPECT_EQ(liveBlocks, before);
    listvertex_free(shape);
}

} // namespace
