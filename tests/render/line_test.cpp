#include "rendertest.h"

#include "render/line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Mapping and points on the default 500 x 550 window.
class Window : public testing::Test {
  protected:
    void SetUp() override {
        raster = raster_new(500, 550);
        raster_fill(raster, kUnwritten);
        draw_context_init(&ctx, raster, nullptr);
    }
    void TearDown() override { raster_free(raster); }

    Raster* raster = nullptr;
    DrawContext ctx{};
};

TEST_F(Window, ExtentsKeepOneUnitSquare) {
    EXPECT_EQ(ctx.extentX, 2.0f);
    EXPECT_EQ(ctx.extentY, 1098.0f / 499.0f);
    const struct {
        int32_t width, height;
        float extentX, extentY;
    } cases[] = {{600, 400, 2.0f * 599 / 399, 2.0f}, {300, 300, 2.0f, 2.0f}};
    for (const auto& c : cases) {
        Raster* other = raster_new(c.width, c.height);
        DrawContext wide;
        draw_context_init(&wide, other, nullptr);
        EXPECT_EQ(wide.extentX, c.extentX) << c.width << " x " << c.height;
        EXPECT_EQ(wide.extentY, c.extentY) << c.width << " x " << c.height;
        raster_free(other);
    }
}

TEST_F(Window, MapsTheCentreAndTheShorterSidesEnds) {
    const struct {
        float x, y, column, row;
    } cases[] = {{0, 0, 249.5f, 274.5f}, {-1, 0, 0, 274.5f}, {1, 0, 499, 274.5f}};
    for (const auto& c : cases) {
        Vertex v{c.x, c.y, 0, 0, 0, 1};
        map_to_raster(&v, &ctx);
        EXPECT_EQ(v.x, c.column) << "x = " << c.x;
        EXPECT_EQ(v.y, c.row) << "x = " << c.x;
        map_from_raster(&v, &ctx);
        EXPECT_NEAR(v.x, c.x, 1e-6f);
        EXPECT_NEAR(v.y, c.y, 1e-6f);
    }
    draw_point(Vertex{0, 0, 1, 0, 0, 1}, &ctx);
    EXPECT_EQ(written_spans(raster), "row 274: 249");
}

TEST_F(Window, PointsOutsideTheRasterChangeNothing) {
    const float inf = std::numeric_limits<float>::infinity();
    for (const float x : {-1.2f, 1.2f, 1e30f, -1e30f, inf, std::nanf("")}) {
        draw_point(Vertex{x, 0, 1, 0, 0, 1}, &ctx);
        draw_point(Vertex{0, x, 1, 0, 0, 1}, &ctx);
    }
    EXPECT_EQ(written_spans(raster), "");
}

TEST_F(Window, HorizontalLineCoversTheWidthWithInterpolatedColour) {
    draw_line(Vertex{-1, 0, 1, 0, 0, 1}, Vertex{1, 0, 0, 0, 1, 1}, &ctx);
    EXPECT_EQ(written_spans(raster), "row 274: 0-499");
    for (int32_t col = 0; col < 500; col += 83) {
        const float t = static_cast<float>(col) / 499;
        EXPECT_NEAR(pixel_at(raster, col, 274).r, 1 - t, 1e-5f) << col;
        EXPECT_NEAR(pixel_at(raster, col, 274).b, t, 1e-5f) << col;
    }
}

struct LineCase {
    const char* name;
    float px, py, qx, qy; // raster units of the 17 x 17 raster
    std::vector<Span> expected;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class LineExamples : public testing::TestWithParam<LineCase> {};

// Colours step by thirds and quarters, which floats do not hold: only the walk's first pixel
// has its vertex's colour exactly, and that shows which end the walk started from.
TEST_P(LineExamples, DrawThesePixelsFromTheLeftOrLowerEnd) {
    const LineCase& c = GetParam();
    Raster17 r;
    const Colour pc{0.1f, 0.7f, 0.3f, 1};
    const Colour qc{0.8f, 0.2f, 0.9f, 1};
    draw_line(r.at(c.px, c.py, pc), r.at(c.qx, c.qy, qc), &r.ctx);
    EXPECT_EQ(written_spans(r.raster), spans_text(c.expected));
    const bool alongX = std::fabs(c.qx - c.px) >= std::fabs(c.qy - c.py);
    const bool fromP = alongX ? c.px <= c.qx : c.py <= c.qy;
    const int32_t column = static_cast<int32_t>(fromP ? c.px : c.qx);
    const int32_t row = static_cast<int32_t>(fromP ? c.py : c.qy);
    EXPECT_EQ(colours_text(r.raster, row, column, column), colour_text(fromP ? pc : qc));
}

const std::vector<Span> kSteep{{1, 2, 2}, {2, 2, 2}, {3, 2, 2}, {4, 2, 2}, {5, 3, 3},
                               {6, 3, 3}, {7, 3, 3}, {8, 3, 3}, {9, 4, 4}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Grid17, LineExamples, testing::Values(
    LineCase{"LengthThreeDrawsFour",         2, 4, 5,    4, {{4, 2, 5}}},
    LineCase{"LengthTwoPointFourDrawsThree", 2, 4, 4.4f, 4, {{4, 2, 4}}},
    LineCase{"LengthTwoAndAHalfDrawsThree",  2, 4, 4.5f, 4, {{4, 2, 4}}},
    LineCase{"LengthZeroDrawsOne",           3, 3, 3,    3, {{3, 3, 3}}},
    LineCase{"RightToLeft",                  5, 4, 2,    4, {{4, 2, 5}}},
    LineCase{"Steep",                        2, 1, 4,    9, kSteep},
    LineCase{"SteepTopDown",                 4, 9, 2,    1, kSteep},
    LineCase{"DiagonalIsWalkedAlongX",       6, 2, 2,    6,
             {{2, 6, 6}, {3, 5, 5}, {4, 4, 4}, {5, 3, 3}, {6, 2, 2}}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });
// clang-format on

// An outline vertex at 1e30 once meant one step per raster unit of the line: the program hung.
// Only the steps that can land in the raster are walked now; ends that are not finite draw
// nothing.
TEST_F(Window, Fault6FarOutlineVertexDrawsTheInRasterPart) {
    const float far = 1e30f;
    const float inf = std::numeric_limits<float>::infinity();
    const Colour red{1, 0, 0, 1};
    const struct {
        const char* name;
        Vertex p, q;
        std::vector<Span> expected;
    } cases[] = {
        {"ToFarRight", {0, 0, 1, 0, 0, 1}, {far, 0, 0, 0, 1, 1}, rectangle(274, 274, 249, 499)},
        {"FromFarLeft", {-far, 0, 0, 0, 1, 1}, {0, 0, 1, 0, 0, 1}, rectangle(274, 274, 0, 249)},
        {"FromFarBelow", {0, -far, 0, 0, 1, 1}, {0, 0, 1, 0, 0, 1}, rectangle(0, 274, 249, 249)},
        {"ToInfinity", {0, 0, 1, 0, 0, 1}, {inf, 0, 0, 0, 1, 1}, {}},
        {"ToNaN", {0, 0, 1, 0, 0, 1}, {0, std::nanf(""), 0, 0, 1, 1}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        raster_fill(raster, kUnwritten);
        draw_line(c.p, c.q, &ctx);
        EXPECT_EQ(written_spans(raster), spans_text(c.expected));
        if (!c.expected.empty()) {
            // The centre end is red, and so far from the other that no colour has changed yet.
            const Colour& centre = pixel_at(raster, 249, 274);
            EXPECT_NEAR(centre.r, 1, 1e-6f);
            EXPECT_NEAR(centre.b, 0, 1e-6f);
        }
    }
    // In the outline, the lines with such vertices leave the others alone.
    LineImage image;
    image.vertices = {{-0.5f, -0.5f, 1, 0, 0, 1},
                      {0.5f, -0.5f, 1, 0, 0, 1},
                      {inf, 0, 0, 0, 1, 1},
                      {far, far, 0, 0, 1, 1}};
    image.vertexCount = 4;
    image.lines = {{2, 0}, {0, 1}, {1, 3}};
    image.lineCount = 3;
    raster_fill(raster, kUnwritten);
    draw_image_lines(&image, &ctx);
    EXPECT_EQ(colours_text(raster, 149, 124, 124), colour_text(red));
    EXPECT_EQ(colours_text(raster, 149, 373, 373), colour_text(red));
    std::vector<Span> expected{{149, 124, 374}}; // the bottom edge, then the diagonal to 1e30
    for (int32_t row = 150; row < 275; ++row) {
        expected.push_back({row, row + 225, row + 225});
    }
    EXPECT_EQ(written_spans(raster), spans_text(expected));
}

} // namespace
