#include "rendertest.h"

#include "lists/listobject.h"
#include "render/fill.h"
#include "render/line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

struct Point {
    float x;
    float y;
};

struct FillCase {
    const char* name;
    Point t1, t2, t3;     // raster units of the 17 x 17 raster
    const char* expected; // as written_spans writes them
};

void PrintTo(const FillCase& c, std::ostream* os) {
    *os << c.name;
}

class FillExamples : public testing::TestWithParam<FillCase> {};

TEST_P(FillExamples, WriteExactlyTheseSpans) {
    const FillCase& c = GetParam();
    Raster17 r;
    fill_triangle(r.at(c.t1.x, c.t1.y), r.at(c.t2.x, c.t2.y), r.at(c.t3.x, c.t3.y), &r.ctx);
    EXPECT_EQ(written_spans(r.raster), c.expected);
}

const char* const kAnticlockwise =
    "row 2: 1-4\nrow 3: 1-8\nrow 4: 2-7\nrow 5: 2-6\nrow 6: 3-5\nrow 7: 3-4";
const char* const kFlatBottom =
    "row 1: 2-7\nrow 2: 2-6\nrow 3: 3-6\nrow 4: 3-5\nrow 5: 4-5\nrow 6: 4";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Grid17, FillExamples, testing::Values(
    FillCase{"Anticlockwise",             {1, 1}, {9, 3}, {4, 8}, kAnticlockwise},
    FillCase{"AnticlockwiseFromSecond",   {9, 3}, {4, 8}, {1, 1}, kAnticlockwise},
    FillCase{"AnticlockwiseFromThird",    {4, 8}, {1, 1}, {9, 3}, kAnticlockwise},
    FillCase{"Clockwise",                 {1, 1}, {4, 8}, {9, 3}, ""},
    FillCase{"ThinClockwiseOffWholeRows", {2, 6.984375f}, {14, 9}, {11, 8}, "row 8: 11-12"},
    FillCase{"MiddleVertexLeft",          {5, 1}, {8, 8}, {1, 4},
             "row 2: 3-4\nrow 3: 2-4\nrow 4: 1-5\nrow 5: 2-5\nrow 6: 4-6\nrow 7: 6"},
    FillCase{"FlatBottom",                {2, 1}, {8, 1}, {5, 7}, kFlatBottom},
    FillCase{"FlatBottomFromTop",         {5, 7}, {2, 1}, {8, 1}, kFlatBottom},
    FillCase{"FlatBottomFromRight",       {8, 1}, {5, 7}, {2, 1}, kFlatBottom},
    FillCase{"FlatBottomClockwise",       {8, 1}, {2, 1}, {5, 7}, ""},
    FillCase{"FlatTop",                   {5, 1}, {8, 7}, {2, 7},
             "row 2: 4\nrow 3: 4-5\nrow 4: 3-5\nrow 5: 3-6\nrow 6: 2-6"},
    FillCase{"FlatTopClockwise",          {5, 1}, {2, 7}, {8, 7}, ""},
    FillCase{"FractionalRows",            {2, 0.5f}, {8, 0.5f}, {5, 6.5f},
             "row 0: 2-7\nrow 1: 2-6\nrow 2: 3-6\nrow 3: 3-5\nrow 4: 4-5\nrow 5: 4"},
    FillCase{"SliverRunsPastTheLastColumn", {0, 0.875f}, {16, 1.25f}, {8, 10},
             "row 1: 0-16\nrow 2: 1-15\nrow 3: 2-14\nrow 4: 3-13\nrow 5: 4-12\nrow 6: 5-11\n"
             "row 7: 6-10\nrow 8: 7-9\nrow 9: 7-8"},
    FillCase{"ThreeOnOneRow",             {1, 3}, {5, 3}, {9, 3}, ""},
    FillCase{"ThreeOnOneSlantedLine",     {1, 1}, {3, 3}, {5, 5}, ""}),
    [](const testing::TestParamInfo<FillCase>& info) { return info.param.name; });
// clang-format on

TEST(FillTriangle, InterpolatesColourAlongRowsAndSides) {
    Raster17 r;
    fill_triangle(r.at(0, 0, {1, 0, 0, 1}), r.at(4, 0, {0, 0, 1, 1}), r.at(0, 4, {0, 1, 0, 1}),
                  &r.ctx);
    EXPECT_EQ(written_spans(r.raster), spans_text({{0, 0, 3}, {1, 0, 2}, {2, 0, 1}, {3, 0, 0}}));
    EXPECT_EQ(colours_text(r.raster, 0, 0, 3),
              "(1 0 0 1) (0.75 0 0.25 1) (0.5 0 0.5 1) (0.25 0 0.75 1)");
    EXPECT_EQ(colours_text(r.raster, 1, 0, 2),
              "(0.75 0.25 0 1) (0.5 0.25 0.25 1) (0.25 0.25 0.5 1)");
    EXPECT_EQ(colours_text(r.raster, 2, 0, 1), "(0.5 0.5 0 1) (0.25 0.5 0.25 1)");
    EXPECT_EQ(colours_text(r.raster, 3, 0, 0), "(0.25 0.75 0 1)");
}

TEST(DrawShape, FanOfFourWritesEachPixelOnceFromItsFirstTriangle) {
    const Vertex v0 = Raster17::at(1, 1);
    const Vertex v1 = Raster17::at(6, 1);
    const Vertex v2 = Raster17::at(6, 6);
    const Vertex v3 = Raster17::at(1, 6);
    Raster17 whole;
    Raster17 first;
    Raster17 second;
    Raster17 clockwise;
    ListVertex* square = shape_of({v0, v1, v2, v3});
    ListVertex* reversed = shape_of({v0, v3, v2, v1});
    draw_shape(square, &whole.ctx);
    draw_shape(reversed, &clockwise.ctx);
    fill_triangle(v0, v1, v2, &first.ctx);
    fill_triangle(v0, v2, v3, &second.ctx);
    EXPECT_EQ(written_spans(whole.raster),
              spans_text({{1, 1, 5}, {2, 1, 5}, {3, 1, 5}, {4, 1, 5}, {5, 1, 5}}));
    EXPECT_EQ(written_spans(first.raster),
              spans_text({{1, 1, 5}, {2, 2, 5}, {3, 3, 5}, {4, 4, 5}, {5, 5, 5}}));
    EXPECT_EQ(written_spans(second.raster),
              spans_text({{2, 1, 1}, {3, 1, 2}, {4, 1, 3}, {5, 1, 4}}));
    EXPECT_EQ(written_spans(clockwise.raster), "");
    listvertex_free(square);
    listvertex_free(reversed);
}

// Each count has its own primitive; five vertices make the fan (V0 V1 V2), (V0 V2 V3), (V0 V3 V4).
TEST(DrawShape, ChoosesThePrimitiveByMemberCount) {
    const Colour red{1, 0, 0, 1};
    const Colour green{0, 1, 0, 1};
    const std::vector<Vertex> v{Raster17::at(8, 2, red), Raster17::at(14, 8, green),
                                Raster17::at(8, 14, red), Raster17::at(2, 8, green),
                                Raster17::at(3, 3, red)};
    for (size_t n = 0; n <= v.size(); ++n) {
        SCOPED_TRACE(std::to_string(n) + " members");
        Raster17 drawn;
        Raster17 expected;
        ListVertex* shape = shape_of(std::vector<Vertex>(v.begin(), v.begin() + n));
        draw_shape(shape, &drawn.ctx);
        if (n == 1) {
            raster_set_pixel(expected.raster, red, 8, 2);
        } else if (n == 2) {
            draw_line(v[0], v[1], &expected.ctx);
        }
        for (size_t i = 1; i + 1 < n; ++i) {
            fill_triangle(v[0], v[i], v[i + 1], &expected.ctx);
        }
        EXPECT_EQ(written_spans(drawn.raster), written_spans(expected.raster));
        EXPECT_EQ(colours_text(drawn.raster, 8, 0, 16), colours_text(expected.raster, 8, 0, 16));
        listvertex_free(shape);
    }
    Raster17 none;
    draw_shape(nullptr, &none.ctx);
    EXPECT_EQ(written_spans(none.raster), "");
}

TEST(DrawShapes, LaterShapesCoverEarlierOnes) {
    const Colour red{1, 0, 0, 1};
    const Colour blue{0, 0, 1, 1};
    ListObject* shapes = listobject_new(nullptr);
    listobject_append(
        shapes, listobject_node_new(shape_of(
                    {Raster17::at(1, 1, red), Raster17::at(9, 1, red), Raster17::at(1, 9, red)})));
    listobject_append(
        shapes, listobject_node_new(shape_of({Raster17::at(3, 1, blue), Raster17::at(12, 1, blue),
                                              Raster17::at(3, 10, blue)})));
    Raster17 r;
    draw_shapes(shapes, &r.ctx);
    EXPECT_EQ(colours_text(r.raster, 1, 1, 4), "(1 0 0 1) (1 0 0 1) (0 0 1 1) (0 0 1 1)");
    listobject_free(shapes);
}

// The fill exactly as its algorithm reads, every pixel through raster_set_pixel: the oracle for
// triangles that reach a few hundred pixels past the raster, where it ends quickly.
void literal_fill(Vertex t1, Vertex t2, Vertex t3, const DrawContext* ctx) {
    if (t1.y == t2.y && t2.y == t3.y) {
        return;
    }
    while (!(t1.y < t3.y && t1.y <= t2.y)) {
        std::swap(t1, t2);
        std::swap(t2, t3);
    }
    map_to_raster(&t1, ctx);
    map_to_raster(&t2, ctx);
    map_to_raster(&t3, ctx);
    Vertex s = t1, ds, e, de;
    int32_t row = trunc_to_int(t1.y);
    const auto rows = [&](float rowEnd) {
        for (; row < rowEnd; ++row) {
            Vertex p = s, dp;
            vertex_step(&dp, &s, &e, e.x - s.x);
            for (int32_t col = trunc_to_int(s.x); col < trunc_to_int(e.x); ++col) {
                raster_set_pixel(ctx->raster, Colour{p.r, p.g, p.b, p.a}, col, row);
                vertex_advance(&p, &dp);
            }
            vertex_advance(&s, &ds);
            vertex_advance(&e, &de);
        }
    };
    vertex_step(&ds, &t1, &t3, t3.y - t1.y);
    if (t1.y == t2.y || t2.y == t3.y) {
        e = t2.y == t3.y ? t1 : t2;
        vertex_step(&de, &e, t2.y == t3.y ? &t2 : &t3, t2.y == t3.y ? t2.y - t1.y : t3.y - t2.y);
        rows(t3.y);
        return;
    }
    e = t1;
    vertex_step(&de, &t1, &t2, t2.y - t1.y);
    rows(std::min(t2.y, t3.y));
    if (t3.y > t2.y) {
        e = t2;
        vertex_step(&de, &t2, &t3, t3.y - t2.y);
        rows(t3.y);
    } else {
        s = t3;
        vertex_step(&ds, &t3, &t2, t2.y - t3.y);
        rows(t2.y);
    }
}

// Rows and columns outside the raster are skipped or cut off, never computed differently.
TEST(FillTriangle, MatchesTheLiteralAlgorithmAcrossTheRasterEdges) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> coordinate(-9.0f, 9.0f); // about 300 pixels past
    Raster* drawn = raster_new(40, 30);
    Raster* expected = raster_new(40, 30);
    DrawContext ctx;
    DrawContext literal;
    draw_context_init(&ctx, drawn, nullptr);
    draw_context_init(&literal, expected, nullptr);
    int differing = 0;
    for (int i = 0; i < 3000 && differing == 0; ++i) {
        Vertex t[3];
        for (Vertex& v : t) {
            v = Vertex{coordinate(rng), coordinate(rng), coordinate(rng), coordinate(rng), 0.5f, 1};
        }
        raster_fill(drawn, kUnwritten);
        raster_fill(expected, kUnwritten);
        fill_triangle(t[0], t[1], t[2], &ctx);
        literal_fill(t[0], t[1], t[2], &literal);
        for (int32_t p = 0; p < 40 * 30; ++p) {
            differing += !same_bits(drawn->pixels[p], expected->pixels[p]);
        }
        EXPECT_EQ(written_spans(drawn), written_spans(expected)) << "triangle " << i;
    }
    EXPECT_EQ(differing, 0);
    raster_free(drawn);
    raster_free(expected);
}

// Stepping one row or column at a time from a vertex at 1e30 would never end; only the part
// inside the raster is walked, and it is the part the triangle covers.
struct FarCase {
    const char* name;
    Vertex t1, t2, t3; // view units of a 500 x 550 raster
    int32_t firstRow, lastRow, firstColumn, lastColumn;
};

void PrintTo(const FarCase& c, std::ostream* os) {
    *os << c.name;
}

class FillFarVertex : public testing::TestWithParam<FarCase> {};

TEST_P(FillFarVertex, ReturnsAndFillsTheInRasterPart) {
    const FarCase& c = GetParam();
    Raster* raster = raster_new(500, 550);
    raster_fill(raster, kUnwritten);
    DrawContext ctx;
    draw_context_init(&ctx, raster, nullptr);
    fill_triangle(c.t1, c.t2, c.t3, &ctx);
    const std::vector<Span> expected =
        rectangle(c.firstRow, c.lastRow, c.firstColumn, c.lastColumn);
    EXPECT_EQ(written_spans(raster), spans_text(expected));
    for (const Span& s : expected) {
        ASSERT_EQ(colours_text(raster, s.row, s.first, s.first), "(0 0.5 1 1)") << s.row;
    }
    raster_free(raster);
}

constexpr float kFar = 1e30f;

Vertex far_at(float x, float y) {
    return Vertex{x, y, 0, 0.5f, 1, 1};
}

// The square's sides -0.5 and +0.5 map to columns 124.75 and 374.25 and to rows 149.75 and
// 399.25; y = 0 maps to row 274.5.
INSTANTIATE_TEST_SUITE_P(
    Fault6, FillFarVertex,
    testing::Values(FarCase{"ApexFarAbove", far_at(-0.5f, -0.5f), far_at(0.5f, -0.5f),
                            far_at(0, kFar), 149, 549, 124, 373},
                    FarCase{"ApexFarBelow", far_at(0, -kFar), far_at(0.5f, 0.5f),
                            far_at(-0.5f, 0.5f), 0, 399, 124, 373},
                    FarCase{"ApexFarRight", far_at(-0.5f, -0.5f), far_at(kFar, 0),
                            far_at(-0.5f, 0.5f), 150, 399, 124, 499},
                    FarCase{"ApexFarLeft", far_at(0.5f, -0.5f), far_at(0.5f, 0.5f),
                            far_at(-kFar, 0), 150, 399, 0, 373}),
    [](const testing::TestParamInfo<FarCase>& info) { return info.param.name; });

} // namespace
