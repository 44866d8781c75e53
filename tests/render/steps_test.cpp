// shape_steps at the edges of what it can record: the smallest frames, and what it leaves behind.
#include "files/imagefile.h"
#include "files/scenefile.h"
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

// The lesson's square and its one clip line, through the corner (12,4) and the left side at (4,8):
// walking from the closing edge, the line leaves on edge 0 (a cut point half way), enters on edge
// 1 exactly at its second end (one cut point stands for it, s = 1), and keeps both ends of edges
// 2 and 3, as the lesson's remark works out.
TEST(ShapeSteps, NameTheEdgeAndCaseOfEveryVertexACutMakes) {
    const char* lesson = CLIPDRAW_LESSONS "/square-cut.txt";
    LineImage image;
    read_image_file(lesson, &image);
    ListObject* shapes = listobject_new(nullptr);
    ASSERT_TRUE(scenefile_read(lesson, shapes));
    ShapeSteps steps;
    ASSERT_TRUE(shape_steps(&steps, shapes->head->shape, &image, 17, 17));
    listobject_free(shapes);
    ASSERT_EQ(steps.stages.size(), 2u);
    struct Made {
        int32_t edge;
        ClipCase clipCase;
        bool cut;
        float s;
        float x, y; // in pixels
    };
    const Made wanted[] = {{0, ClipCase::Leaving, true, 0.5f, 4, 8},
                           {1, ClipCase::Entering, true, 1, 12, 4},
                           {2, ClipCase::BothInside, false, 0, 12, 12},
                           {3, ClipCase::BothInside, false, 0, 4, 12}};
    const std::vector<StepVertex>& polygon = steps.stages[1].polygon;
    ASSERT_EQ(polygon.size(), std::size(wanted));
    for (size_t i = 0; i < polygon.size(); ++i) {
        const StepVertex& v = polygon[i];
        const Made& w = wanted[i];
        EXPECT_EQ(v.edge, w.edge) << "vertex " << i;
        EXPECT_EQ(v.clipCase, w.clipCase) << "vertex " << i;
        EXPECT_EQ(v.cut, w.cut) << "vertex " << i;
        EXPECT_EQ(v.s, w.s) << "vertex " << i;
        EXPECT_EQ(v.pixel.x, w.x) << "vertex " << i;
        EXPECT_EQ(v.pixel.y, w.y) << "vertex " << i;
    }
    const std::vector<StepEdge>& edges = steps.stages[1].edges;
    ASSERT_EQ(edges.size(), 4u);
    for (size_t k = 0; k < edges.size(); ++k) {
        EXPECT_EQ(edges[k].clipCase, wanted[k].clipCase) << "edge " << k;
        EXPECT_EQ(edges[k].made, 1) << "edge " << k;
    }
    // Stage 0 is the shape as committed: no line walked it.
    for (const StepVertex& v : steps.stages[0].polygon) {
        EXPECT_EQ(v.edge, -1);
    }
}
