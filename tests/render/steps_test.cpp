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

// A shape committed with no corners (space pressed twice) still has a stage for every clip line,
// each with nothing left, so that the step view can step through it.
TEST(ShapeSteps, OfAnEmptyShapeHaveAStageForEveryLine) {
    ListVertex* shape = listvertex_new(nullptr);
    LineImage image;
    image.vertices = {{0, -1, 0, 0, 0, 1}, {0, 1, 0, 0, 0, 1}, {-1, 0, 0, 0, 0, 1}};
    image.vertexCount = 3;
    image.lines = {{0, 1}, {1, 2}};
    image.lineCount = 2;
    ShapeSteps steps;
    ASSERT_TRUE(shape_steps(&steps, shape, &image, 17, 17));
    ASSERT_EQ(steps.stages.size(), 3u);
    for (size_t i = 1; i < steps.stages.size(); ++i) {
        EXPECT_EQ(steps.stages[i].line, static_cast<int32_t>(i) - 1);
        EXPECT_EQ(steps.stages[i].verdict, ClipVerdict::NothingLeft);
        EXPECT_TRUE(steps.stages[i].polygon.empty());
    }
    EXPECT_TRUE(steps.rows.empty());
    listvertex_free(shape);
}

} // namespace
