#include "rendertest.h"

#include "render/clip.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace {

// Crossing points are interpolated in float: positions and colours within this of the exact.
constexpr float kTolerance = 1e-6f;

Vertex v(float x, float y, float r = 1, float g = 1, float b = 1) {
    return Vertex{x, y, r, g, b, 1};
}

void expect_vertices(const ListVertex* list, const std::vector<Vertex>& expected) {
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->nmembers, std::ssize(expected));
    const VertexNode* node = list->head;
    for (size_t i = 0; i < expected.size(); ++i, node = node->next) {
        ASSERT_NE(node, nullptr);
        const Vertex& got = node->vertex;
        const Vertex& want = expected[i];
        SCOPED_TRACE("vertex " + std::to_string(i));
        EXPECT_NEAR(got.x, want.x, kTolerance);
        EXPECT_NEAR(got.y, want.y, kTolerance);
        EXPECT_NEAR(got.r, want.r, kTolerance);
        EXPECT_NEAR(got.g, want.g, kTolerance);
        EXPECT_NEAR(got.b, want.b, kTolerance);
        EXPECT_NEAR(got.a, want.a, kTolerance);
    }
    EXPECT_EQ(node, nullptr);
}

struct ClipCase {
    const char* name;
    std::vector<Vertex> shape;
    Vertex a, b; // the clip line, which keeps its left side
    std::vector<Vertex> expected;
};

void PrintTo(const ClipCase& c, std::ostream* os) {
    *os << c.name;
}

class ClipExamples : public testing::TestWithParam<ClipCase> {};

TEST_P(ClipExamples, KeepTheLeftOfTheLine) {
    const ClipCase& c = GetParam();
    ListVertex* clipped = clip_shape(shape_of(c.shape), c.a, c.b);
    expect_vertices(clipped, c.expected);
    listvertex_free(clipped);
}

// Upward through x = 0, keeping x <= 0.
const Vertex kUp0 = v(0, -1);
const Vertex kUp1 = v(0, 1);
const std::vector<Vertex> kSquare{v(-0.5f, -0.5f, 1, 0, 0), v(0.5f, -0.5f, 0, 1, 0),
                                  v(0.5f, 0.5f, 0, 0, 1), v(-0.5f, 0.5f, 1, 1, 1)};

const Vertex kNaN = v(std::nanf(""), 0.2f);

// Colours are (r, g, b) with a = 1; the line is kUp0 to kUp1 unless another is named.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Shapes, ClipExamples, testing::Values(
    ClipCase{"SquareKeepsItsLeftHalf", kSquare, kUp0, kUp1,
             {v(-0.5f, -0.5f, 1, 0, 0), v(0, -0.5f, 0.5f, 0.5f, 0), v(0, 0.5f, 0.5f, 0.5f, 1),
              v(-0.5f, 0.5f, 1, 1, 1)}},
    ClipCase{"ReversedLineKeepsTheRightHalf", kSquare, kUp1, kUp0,
             {v(0, -0.5f, 0.5f, 0.5f, 0), v(0.5f, -0.5f, 0, 1, 0), v(0.5f, 0.5f, 0, 0, 1),
              v(0, 0.5f, 0.5f, 0.5f, 1)}},
    ClipCase{"OffCentreLine", kSquare, v(0.25f, -1), v(0.25f, 1),
             {v(-0.5f, -0.5f, 1, 0, 0), v(0.25f, -0.5f, 0.25f, 0.75f, 0),
              v(0.25f, 0.5f, 0.25f, 0.25f, 1), v(-0.5f, 0.5f, 1, 1, 1)}},
    ClipCase{"WhollyOutside", {v(0.1f, 0), v(0.5f, 0), v(0.3f, 0.4f)}, kUp0, kUp1, {}},
    ClipCase{"LeavingFromAVertexOnTheLine", {v(-0.5f, -0.5f), v(0, -0.5f), v(0.5f, 0.5f)},
             kUp0, kUp1, {v(0, 0), v(-0.5f, -0.5f), v(0, -0.5f)}},
    ClipCase{"TouchingAtOneVertex", {v(0, 0, 1, 0, 0), v(0.5f, -0.5f), v(0.5f, 0.5f)},
             kUp0, kUp1, {v(0, 0, 1, 0, 0)}},
    ClipCase{"TouchingAlongAnEdge", {v(0, -0.5f, 1, 0, 0), v(0.5f, 0), v(0, 0.5f, 0, 0, 1)},
             kUp0, kUp1, {v(0, -0.5f, 1, 0, 0), v(0, 0.5f, 0, 0, 1)}},
    ClipCase{"MiddleVertexOnTheLine", {v(-0.5f, -0.5f), v(0, 0), v(-0.5f, 0.5f)},
             kUp0, kUp1, {v(-0.5f, -0.5f), v(0, 0), v(-0.5f, 0.5f)}},
    ClipCase{"OnePointInside",     {v(-0.3f, 0.2f)}, kUp0, kUp1, {v(-0.3f, 0.2f)}},
    ClipCase{"OnePointOnTheLine",  {v(0, 0.2f)},     kUp0, kUp1, {v(0, 0.2f)}},
    ClipCase{"OnePointOutside",    {v(0.3f, 0.2f)},  kUp0, kUp1, {}},
    ClipCase{"OnePointNotANumber", {kNaN},           kUp0, kUp1, {}},
    ClipCase{"SegmentKeepsItsOrder", {v(-0.5f, 0, 1, 0, 0), v(0.5f, 0, 0, 0, 1)},
             kUp0, kUp1, {v(-0.5f, 0, 1, 0, 0), v(0, 0, 0.5f, 0, 0.5f)}},
    ClipCase{"SegmentReversed", {v(0.5f, 0, 0, 0, 1), v(-0.5f, 0, 1, 0, 0)},
             kUp0, kUp1, {v(0, 0, 0.5f, 0, 0.5f), v(-0.5f, 0, 1, 0, 0)}},
    ClipCase{"VerticalSegmentFallsBackToY", {v(0, -0.5f, 1, 0, 0), v(0, 0.5f, 0, 0, 1)},
             v(1, 0), v(-1, 0), {v(0, -0.5f, 1, 0, 0), v(0, 0, 0.5f, 0, 0.5f)}},
    ClipCase{"SegmentFromTheLineKeepsBothEnds", {v(0, 0.3f), v(0.5f, 0.3f)},
             kUp0, kUp1, {v(0, 0.3f), v(0, 0.3f)}},
    ClipCase{"ZeroNormalLetsEverythingThrough", kSquare, v(0.2f, 0.2f, 0, 0, 0), v(0.2f, 0.2f),
             kSquare}),
    [](const testing::TestParamInfo<ClipCase>& info) { return info.param.name; });
// clang-format on

// The three lines of a triangle around the square: anticlockwise they cut its upper corners,
// clockwise they keep nothing.
TEST(ClipShape, TriangleOfLinesCutsTheSquareOrLosesIt) {
    const std::vector<Vertex> plain{v(-0.5f, -0.5f), v(0.5f, -0.5f), v(0.5f, 0.5f), v(-0.5f, 0.5f)};
    const Vertex t[3] = {v(-0.8f, -0.8f), v(0.8f, -0.8f), v(0, 0.8f)};
    ListVertex* anticlockwise = shape_of(plain);
    ListVertex* clockwise = shape_of(plain);
    for (int i = 0; i < 3; ++i) {
        anticlockwise = clip_shape(anticlockwise, t[i], t[(i + 1) % 3]);
        clockwise = clip_shape(clockwise, t[(i + 1) % 3], t[i]);
    }
    expect_vertices(anticlockwise, {v(-0.5f, -0.2f), v(-0.5f, -0.5f), v(0.5f, -0.5f),
                                    v(0.5f, -0.2f), v(0.15f, 0.5f), v(-0.15f, 0.5f)});
    EXPECT_EQ(clockwise, nullptr); // empty after the first line, released at the second
    // Empty shapes become null at the next line, and null stays null.
    ListVertex* empty = clip_shape(shape_of({v(0.5f, 0)}), kUp0, kUp1);
    EXPECT_EQ(empty->nmembers, 0);
    EXPECT_EQ(clip_shape(empty, kUp0, kUp1), nullptr);
    EXPECT_EQ(clip_shape(nullptr, kUp0, kUp1), nullptr);
    listvertex_free(anticlockwise);
    listvertex_free(clockwise);
}

// A NaN side value counts as outside, and a NaN in the equality tests counts as equal: the
// crossing of an edge that leaves towards a NaN vertex is dropped, and one that enters from it
// stands for the vertex it enters at.
TEST(ClipEdge, NotANumberIsOutsideAndEqual) {
    const Vertex in = v(-0.5f, 0);
    const Vertex nan = v(std::nanf(""), 0);
    ListVertex* ends = shape_of({in, nan});
    const VertexNode* inside = ends->head;
    const VertexNode* outside = ends->head->next;
    EXPECT_EQ(clip_edge(inside, outside, &kUp0, &kUp1), nullptr);
    ListVertex* entering = listvertex_new(clip_edge(outside, inside, &kUp0, &kUp1));
    ASSERT_EQ(entering->nmembers, 1);
    EXPECT_EQ(entering->head->next, nullptr);
    EXPECT_TRUE(std::isnan(entering->head->vertex.x));
    listvertex_free(entering);
    listvertex_free(ends);
}

TEST(ClipShape, BuildsItsResultInLinearTime) {
    const int n = 200000;
    std::vector<Vertex> ring;
    for (int i = 0; i < n; ++i) {
        const float angle = 6.2831853f * static_cast<float>(i) / n;
        ring.push_back(v(-0.5f + 0.4f * std::cos(angle), 0.4f * std::sin(angle)));
    }
    ListVertex* shape = shape_of(ring);
    const auto start = std::chrono::steady_clock::now();
    shape = clip_shape(shape, kUp0, kUp1);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(shape->nmembers, n);
    EXPECT_LT(seconds, 1.0) << "appending by walking from the head is quadratic";
    listvertex_free(shape);
}

} // namespace
