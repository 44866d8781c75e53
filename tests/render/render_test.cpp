// The renderer's examples: the view mapping, points and lines, the triangle fill, the clipper and
// the whole frame. Rasters are read back as text pictures of the written spans, so a failure
// prints what was drawn next to what was expected.
#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/clip.h"
#include "render/drawcontext.h"
#include "render/fill.h"
#include "render/frame.h"
#include "render/line.h"
#include "render/raster.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// No drawing colour of these tests is negative, so a pixel still holding this was not written.
constexpr Colour kUnwritten{-1, -1, -1, -1};
constexpr Colour kWhite{1, 1, 1, 1};
constexpr Colour kRed{1, 0, 0, 1};
constexpr Colour kBlue{0, 0, 1, 1};
const float inf = std::numeric_limits<float>::infinity();

bool same_bits(const Colour& a, const Colour& b) {
    return std::memcmp(&a, &b, sizeof(Colour)) == 0;
}

const Colour& pixel_at(const Raster* raster, int32_t column, int32_t row) {
    return raster->pixels[column + static_cast<size_t>(row) * raster->width];
}

// The runs of pixels unlike background, bottom row first, rows alike in a row merged:
// "row 2: 1-4 7\nrows 3-5: 1-8".
std::string written_spans(const Raster* raster, Colour background = kUnwritten) {
    std::string text, runs;
    for (int32_t row = 0, from = 0; row <= raster->height; ++row) {
        std::string line;
        for (int32_t col = 0, end = 0; row < raster->height && col < raster->width; col = end + 1) {
            for (end = col;
                 end < raster->width && !same_bits(pixel_at(raster, end, row), background); ++end) {
            }
            if (end > col) {
                line += " " + std::to_string(col) +
                        (end > col + 1 ? "-" + std::to_string(end - 1) : "");
            }
        }
        if (row < raster->height && line == runs) {
            continue;
        }
        if (!runs.empty()) {
            text += (text.empty() ? "" : "\n") + std::string(from == row - 1 ? "row " : "rows ") +
                    std::to_string(from) + (from == row - 1 ? "" : "-" + std::to_string(row - 1)) +
                    ":" + runs;
        }
        runs = line;
        from = row;
    }
    return text;
}

// "(0.75 0 0.25 1) (0.5 0 0.5 1)": the colours of columns first to last of one row.
std::string colours_text(const Raster* raster, int32_t row, int32_t first, int32_t last) {
    std::string text;
    for (int32_t col = first; col <= last; ++col) {
        const Colour& c = pixel_at(raster, col, row);
        char buffer[80];
        std::snprintf(buffer, sizeof buffer, " (%.9g %.9g %.9g %.9g)", c.r, c.g, c.b, c.a);
        text += buffer;
    }
    return text.substr(1);
}

// A raster of unwritten pixels and its drawing context: 17 x 17 unless said otherwise, where
// view (x, y) maps exactly to raster (8x + 8, 8y + 8).
struct Canvas {
    explicit Canvas(int32_t width = 17, int32_t height = 17) : raster(raster_new(width, height)) {
        raster_fill(raster, kUnwritten);
        draw_context_init(&ctx, raster, nullptr);
    }
    ~Canvas() { raster_free(raster); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Raster* raster;
    DrawContext ctx{};
};

// Colours compared bit for bit, printed as four floats on a mismatch.
std::array<float, 4> rgba(const Colour& c) {
    return std::bit_cast<std::array<float, 4>>(c);
}

Vertex v(float x, float y, float r = 1, float g = 1, float b = 1) {
    return Vertex{x, y, r, g, b, 1};
}

// A vertex at a position in raster units of the 17 x 17 canvas.
Vertex at(float column, float row, Colour c = kWhite) {
    return Vertex{(column - 8) / 8, (row - 8) / 8, c.r, c.g, c.b, c.a};
}

ListVertex* shape_of(const std::vector<Vertex>& vertices) {
    ListVertex* shape = listvertex_new(nullptr);
    VertexNode* last = nullptr;
    for (const Vertex& vertex : vertices) {
        last = listvertex_append_after(shape, last, listvertex_node_new(&vertex));
    }
    return shape;
}

TEST(DrawContext, ShorterSideSpansMinusOneToOne) {
    const struct {
        int32_t width, height;
        float extentX, extentY;
        float x, y, column, row;
    } cases[] = {
        {500, 550, 2.0f, 1098.0f / 499, 0, 0, 249.5f, 274.5f},
        {500, 550, 2.0f, 1098.0f / 499, -1, 0, 0, 274.5f},
        {500, 550, 2.0f, 1098.0f / 499, 1, 0, 499, 274.5f},
        {600, 400, 2.0f * 599 / 399, 2.0f, 0, -1, 299.5f, 0},
        {300, 300, 2.0f, 2.0f, 1, 1, 299, 299},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << " x " << c.height << ", " << c.x << ", " << c.y);
        const Canvas canvas(c.width, c.height);
        EXPECT_EQ(canvas.ctx.extentX, c.extentX);
        EXPECT_EQ(canvas.ctx.extentY, c.extentY);
        Vertex v{c.x, c.y, 0, 0, 0, 1};
        map_to_raster(&v, &canvas.ctx);
        EXPECT_EQ(v.x, c.column);
        EXPECT_EQ(v.y, c.row);
        map_from_raster(&v, &canvas.ctx);
        EXPECT_NEAR(v.x, c.x, 1e-6f);
        EXPECT_NEAR(v.y, c.y, 1e-6f);
    }
}

TEST(DrawLine, HorizontalLineCoversTheWidthWithInterpolatedColour) {
    const Canvas window(500, 550);
    draw_line(Vertex{-1, 0, 1, 0, 0, 1}, Vertex{1, 0, 0, 0, 1, 1}, &window.ctx);
    EXPECT_EQ(written_spans(window.raster), "row 274: 0-499");
    for (int32_t col = 0; col < 500; col += 83) {
        const float t = static_cast<float>(col) / 499;
        EXPECT_NEAR(pixel_at(window.raster, col, 274).r, 1 - t, 1e-5f) << col;
        EXPECT_NEAR(pixel_at(window.raster, col, 274).b, t, 1e-5f) << col;
    }
}

// Colours step by thirds and quarters, which floats do not hold: only the walk's first pixel
// has its vertex's colour exactly, and that shows which end the walk started from.
TEST(DrawLine, DrawsThesePixelsFromTheLeftOrLowerEnd) {
    const char* const steep = "rows 1-4: 2\nrows 5-8: 3\nrow 9: 4";
    const struct {
        const char* name;
        float px, py, qx, qy; // raster units of the 17 x 17 raster
        const char* expected;
        bool fromP;
    } cases[] = {
        {"LengthThreeDrawsFour", 2, 4, 5, 4, "row 4: 2-5", true},
        {"LengthTwoPointFourDrawsThree", 2, 4, 4.4f, 4, "row 4: 2-4", true},
        {"LengthTwoAndAHalfDrawsThree", 2, 4, 4.5f, 4, "row 4: 2-4", true},
        {"LengthZeroDrawsOne", 3, 3, 3, 3, "row 3: 3", true},
        {"RightToLeft", 5, 4, 2, 4, "row 4: 2-5", false},
        {"Steep", 2, 1, 4, 9, steep, true},
        {"SteepTopDown", 4, 9, 2, 1, steep, false},
        {"DiagonalIsWalkedAlongX", 6, 2, 2, 6, "row 2: 6\nrow 3: 5\nrow 4: 4\nrow 5: 3\nrow 6: 2",
         false},
    };
    const Colour pc{0.1f, 0.7f, 0.3f, 1};
    const Colour qc{0.8f, 0.2f, 0.9f, 1};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas r;
        draw_line(at(c.px, c.py, pc), at(c.qx, c.qy, qc), &r.ctx);
        EXPECT_EQ(written_spans(r.raster), c.expected);
        const int32_t column = static_cast<int32_t>(c.fromP ? c.px : c.qx);
        const int32_t row = static_cast<int32_t>(c.fromP ? c.py : c.qy);
        EXPECT_EQ(rgba(pixel_at(r.raster, column, row)), rgba(c.fromP ? pc : qc));
    }
}

// An outline vertex at 1e30 once meant one step per raster unit of the line: the program hung.
// Only the steps that can land in the raster are walked now; ends that are not finite draw
// nothing.
TEST(DrawLine, Fault6FarOutlineVertexDrawsTheInRasterPart) {
    constexpr float far = 1e30f;
    const struct {
        const char* name;
        Vertex p, q;
        const char* expected;
    } cases[] = {
        {"ToFarRight", {0, 0, 1, 0, 0, 1}, {far, 0, 0, 0, 1, 1}, "row 274: 249-499"},
        {"FromFarLeft", {-far, 0, 0, 0, 1, 1}, {0, 0, 1, 0, 0, 1}, "row 274: 0-249"},
        {"FromFarBelow", {0, -far, 0, 0, 1, 1}, {0, 0, 1, 0, 0, 1}, "rows 0-274: 249"},
        {"ToInfinity", {0, 0, 1, 0, 0, 1}, {inf, 0, 0, 0, 1, 1}, ""},
        {"ToNaN", {0, 0, 1, 0, 0, 1}, {0, std::nanf(""), 0, 0, 1, 1}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Canvas window(500, 550);
        draw_line(c.p, c.q, &window.ctx);
        EXPECT_EQ(written_spans(window.raster), c.expected);
        if (*c.expected != '\0') {
            // The centre end is red, and so far from the other that no colour has changed yet.
            EXPECT_NEAR(pixel_at(window.raster, 249, 274).r, 1, 1e-6f);
            EXPECT_NEAR(pixel_at(window.raster, 249, 274).b, 0, 1e-6f);
        }
    }
}

struct FillCase {
    const char* name;
    float x1, y1, x2, y2, x3, y3; // raster units of the 17 x 17 raster
    const char* expected;
};

const char* const kAnticlockwise =
    "row 2: 1-4\nrow 3: 1-8\nrow 4: 2-7\nrow 5: 2-6\nrow 6: 3-5\nrow 7: 3-4";
const char* const kFlatBottom =
    "row 1: 2-7\nrow 2: 2-6\nrow 3: 3-6\nrow 4: 3-5\nrow 5: 4-5\nrow 6: 4";

// clang-format off
const FillCase kFillCases[] = {
    FillCase{"Anticlockwise",             1, 1, 9, 3, 4, 8, kAnticlockwise},
    FillCase{"AnticlockwiseFromSecond",   9, 3, 4, 8, 1, 1, kAnticlockwise},
    FillCase{"AnticlockwiseFromThird",    4, 8, 1, 1, 9, 3, kAnticlockwise},
    FillCase{"Clockwise",                 1, 1, 4, 8, 9, 3, ""},
    FillCase{"ThinClockwiseOffWholeRows", 2, 6.984375f, 14, 9, 11, 8, "row 8: 11-12"},
    FillCase{"MiddleVertexLeft",          5, 1, 8, 8, 1, 4,
             "row 2: 3-4\nrow 3: 2-4\nrow 4: 1-5\nrow 5: 2-5\nrow 6: 4-6\nrow 7: 6"},
    FillCase{"FlatBottom",                2, 1, 8, 1, 5, 7, kFlatBottom},
    FillCase{"FlatBottomFromTop",         5, 7, 2, 1, 8, 1, kFlatBottom},
    FillCase{"FlatBottomFromRight",       8, 1, 5, 7, 2, 1, kFlatBottom},
    FillCase{"FlatBottomClockwise",       8, 1, 2, 1, 5, 7, ""},
    FillCase{"FlatTop",                   5, 1, 8, 7, 2, 7,
             "row 2: 4\nrow 3: 4-5\nrow 4: 3-5\nrow 5: 3-6\nrow 6: 2-6"},
    FillCase{"FlatTopClockwise",          5, 1, 2, 7, 8, 7, ""},
    FillCase{"FractionalRows",            2, 0.5f, 8, 0.5f, 5, 6.5f,
             "row 0: 2-7\nrow 1: 2-6\nrow 2: 3-6\nrow 3: 3-5\nrow 4: 4-5\nrow 5: 4"},
    FillCase{"SliverRunsPastTheLastColumn", 0, 0.875f, 16, 1.25f, 8, 10,
             "row 1: 0-16\nrow 2: 1-15\nrow 3: 2-14\nrow 4: 3-13\nrow 5: 4-12\nrow 6: 5-11\n"
             "row 7: 6-10\nrow 8: 7-9\nrow 9: 7-8"},
    FillCase{"ThreeOnOneRow",             1, 3, 5, 3, 9, 3, ""},
    FillCase{"ThreeOnOneSlantedLine",     1, 1, 3, 3, 5, 5, ""}};
// clang-format on

TEST(FillExamples, WriteExactlyTheseSpans) {
    for (const FillCase& c : kFillCases) {
        SCOPED_TRACE(c.name);
        Canvas r;
        fill_triangle(at(c.x1, c.y1), at(c.x2, c.y2), at(c.x3, c.y3), &r.ctx);
        EXPECT_EQ(written_spans(r.raster), c.expected);
    }
}

TEST(FillTriangle, InterpolatesColourAlongRowsAndSides) {
    Canvas r;
    fill_triangle(at(0, 0, {1, 0, 0, 1}), at(4, 0, {0, 0, 1, 1}), at(0, 4, {0, 1, 0, 1}), &r.ctx);
    EXPECT_EQ(written_spans(r.raster), "row 0: 0-3\nrow 1: 0-2\nrow 2: 0-1\nrow 3: 0");
    EXPECT_EQ(colours_text(r.raster, 0, 0, 3),
              "(1 0 0 1) (0.75 0 0.25 1) (0.5 0 0.5 1) (0.25 0 0.75 1)");
    EXPECT_EQ(colours_text(r.raster, 1, 0, 2),
              "(0.75 0.25 0 1) (0.5 0.25 0.25 1) (0.25 0.25 0.5 1)");
    EXPECT_EQ(colours_text(r.raster, 2, 0, 1), "(0.5 0.5 0 1) (0.25 0.5 0.25 1)");
    EXPECT_EQ(colours_text(r.raster, 3, 0, 0), "(0.25 0.75 0 1)");
}

// A point, a line, a triangle, then fans from the first vertex: the square's two triangles
// write every pixel once, and a fifth vertex adds a third triangle on the left. A point lands on
// the pixel its position truncates to, or nowhere.
TEST(DrawShape, ChoosesThePrimitiveByMemberCount) {
    const Vertex v0 = at(1, 1), v1 = at(6, 1), v2 = at(6, 6), v3 = at(1, 6), v4 = at(0, 3);
    const struct {
        std::vector<Vertex> shape;
        const char* expected;
    } cases[] = {
        {{}, ""},
        {{v0}, "row 1: 1"},
        {{at(16.9f, 0.99f)}, "row 0: 16"},
        {{v(-1.2f, 0)}, ""},
        {{v(0, 1.2f)}, ""},
        {{v(1e30f, 0)}, ""},
        {{v(0, -1e30f)}, ""},
        {{v(inf, 0)}, ""},
        {{v(0, std::nanf(""))}, ""},
        {{v0, v1}, "row 1: 1-6"},
        {{v0, v1, v2}, "row 1: 1-5\nrow 2: 2-5\nrow 3: 3-5\nrow 4: 4-5\nrow 5: 5"},
        {{v0, v1, v2, v3}, "rows 1-5: 1-5"},
        {{v0, v3, v2, v1}, ""},
        {{v0, v1, v2, v3, v4}, "row 1: 1-5\nrows 2-5: 0-5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Canvas r;
        ListVertex* shape = shape_of(c.shape);
        draw_shape(shape, &r.ctx);
        EXPECT_EQ(written_spans(r.raster), c.expected);
        listvertex_free(shape);
    }
    Canvas none;
    draw_shape(nullptr, &none.ctx);
    EXPECT_EQ(written_spans(none.raster), "");
}

TEST(DrawShapes, LaterShapesCoverEarlierOnes) {
    ListObject* shapes = listobject_new(
        listobject_node_new(shape_of({at(1, 1, kRed), at(9, 1, kRed), at(1, 9, kRed)})));
    listobject_append(shapes, listobject_node_new(
                                  shape_of({at(3, 1, kBlue), at(12, 1, kBlue), at(3, 10, kBlue)})));
    Canvas r;
    draw_shapes(shapes, &r.ctx);
    EXPECT_EQ(colours_text(r.raster, 1, 1, 4), "(1 0 0 1) (1 0 0 1) (0 0 1 1) (0 0 1 1)");
    listobject_free(shapes);
}

// Stepping one row or column at a time from a vertex at 1e30 never ended; only the part inside
// the raster is walked. In 500 x 550 the square's sides -0.5 and +0.5 map to columns 124.75 and
// 374.25 and to rows 149.75 and 399.25; y = 0 maps to row 274.5.
TEST(FillFarVertex, ReturnsAndFillsTheInRasterPart) {
    constexpr float far = 1e30f;
    const auto v = [](float x, float y) { return Vertex{x, y, 0, 0.5f, 1, 1}; };
    const struct {
        const char* name;
        Vertex t1, t2, t3;
        const char* expected;
    } cases[] = {
        {"ApexFarAbove", v(-0.5f, -0.5f), v(0.5f, -0.5f), v(0, far), "rows 149-549: 124-373"},
        {"ApexFarBelow", v(0, -far), v(0.5f, 0.5f), v(-0.5f, 0.5f), "rows 0-399: 124-373"},
        {"ApexFarRight", v(-0.5f, -0.5f), v(far, 0), v(-0.5f, 0.5f), "rows 150-399: 124-499"},
        {"ApexFarLeft", v(0.5f, -0.5f), v(0.5f, 0.5f), v(-far, 0), "rows 150-399: 0-373"},
        {"ApexAtInfinity", v(-0.5f, -0.5f), v(0.5f, -0.5f), v(0, inf), ""},
        {"ApexNotANumber", v(-0.5f, -0.5f), v(0.5f, -0.5f), v(0, std::nanf("")), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Canvas window(500, 550);
        fill_triangle(c.t1, c.t2, c.t3, &window.ctx);
        EXPECT_EQ(written_spans(window.raster), c.expected);
        int otherColour = 0;
        for (int32_t i = 0; i < 500 * 550; ++i) {
            const Colour& pixel = window.raster->pixels[i];
            otherColour += !same_bits(pixel, kUnwritten) && !same_bits(pixel, {0, 0.5f, 1, 1});
        }
        EXPECT_EQ(otherColour, 0);
    }
}

// Crossing points are interpolated in float: positions and colours within this of the exact.
constexpr float kTolerance = 1e-6f;

void expect_vertices(const ListVertex* list, const std::vector<Vertex>& expected) {
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->nmembers, std::ssize(expected));
    const VertexNode* node = list->head;
    for (size_t i = 0; i < expected.size(); ++i, node = node->next) {
        ASSERT_NE(node, nullptr);
        const auto got = std::bit_cast<std::array<float, 6>>(node->vertex);
        const auto want = std::bit_cast<std::array<float, 6>>(expected[i]);
        for (size_t k = 0; k < 6; ++k) {
            EXPECT_NEAR(got[k], want[k], kTolerance) << "vertex " << i << ", field " << k;
        }
    }
    EXPECT_EQ(node, nullptr);
}

struct ClipCase {
    const char* name;
    std::vector<Vertex> shape;
    Vertex a, b; // the clip line, which keeps its left side
    std::vector<Vertex> expected;
};

// Upward through x = 0, keeping x <= 0.
const Vertex kUp0 = v(0, -1);
const Vertex kUp1 = v(0, 1);
const std::vector<Vertex> kSquare{v(-0.5f, -0.5f, 1, 0, 0), v(0.5f, -0.5f, 0, 1, 0),
                                  v(0.5f, 0.5f, 0, 0, 1), v(-0.5f, 0.5f, 1, 1, 1)};

const Vertex kNaN = v(std::nanf(""), 0.2f);

// Colours are (r, g, b) with a = 1; the line is kUp0 to kUp1 unless another is named.
// clang-format off
const ClipCase kClipCases[] = {
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
             kSquare}};
// clang-format on

TEST(ClipExamples, KeepTheLeftOfTheLine) {
    for (const ClipCase& c : kClipCases) {
        SCOPED_TRACE(c.name);
        ListVertex* clipped = clip_shape(shape_of(c.shape), c.a, c.b);
        expect_vertices(clipped, c.expected);
        listvertex_free(clipped);
    }
}

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
    constexpr int n = 200000;
    std::vector<Vertex> ring;
    for (int i = 0; i < n; ++i) {
        const float angle = 6.2831853f * static_cast<float>(i) / n;
        ring.push_back(v(-0.5f + 0.4f * std::cos(angle), 0.4f * std::sin(angle)));
    }
    ListVertex* shape = shape_of(ring);
    const auto start = std::chrono::steady_clock::now();
    shape = clip_shape(shape, kUp0, kUp1);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(shape->nmembers, n);
    EXPECT_LT(took.count(), 1.0) << "appending by walking from the head is quadratic";
    listvertex_free(shape);
}

// The image file's square, anticlockwise: red along the bottom, blue along the top.
const LineImage kSquareImage{4,
                             {{0, 1}, {1, 2}, {2, 3}, {3, 0}},
                             4,
                             {v(-0.5f, -0.5f, 1, 0, 0), v(0.5f, -0.5f, 1, 0, 0),
                              v(0.5f, 0.5f, 0, 0, 1), v(-0.5f, 0.5f, 0, 0, 1)}};

ListObject* committed_shapes() {
    ListObject* shapes = listobject_new(nullptr);
    for (const auto& t :
         {std::vector<Vertex>{v(0.2f, -0.2f, 0, 1, 0), v(0.8f, -0.2f, 0, 1, 0),
                              v(0.2f, 0.3f, 0, 1, 0)},
          {v(-0.2f, -0.7f, 1, 1, 0), v(0.1f, -0.2f, 1, 1, 0), v(-0.2f, -0.2f, 1, 1, 0)},
          {v(-0.4f, -0.4f, 1, 0, 0), v(-0.1f, -0.4f, 0, 1, 0), v(-0.4f, -0.1f, 0, 0, 1)},
          {v(-0.9f, 0.6f, 0, 0, 0), v(-0.6f, 0.6f, 0, 0, 0), v(-0.9f, 0.9f, 0, 0, 0)}}) {
        listobject_append(shapes, listobject_node_new(shape_of(t)));
    }
    return shapes;
}

std::vector<std::array<float, 6>> fields_of(const ListObject* shapes) {
    std::vector<std::array<float, 6>> fields;
    for (const ObjectNode* n = shapes->head; n != nullptr; n = n->next) {
        for (const VertexNode* vertex = n->shape->head; vertex != nullptr; vertex = vertex->next) {
            fields.push_back(std::bit_cast<std::array<float, 6>>(vertex->vertex));
        }
    }
    return fields;
}

class FrameRender : public testing::Test {
  protected:
    void TearDown() override { listobject_free(shapes); }
    ListObject* shapes = committed_shapes();
};

// In 500 x 550 view (x, y) maps to (249.5 + 249.5 x, 274.5 + 249.5 y): the square spans
// columns 124.75 to 374.25 and rows 149.75 to 399.25.
TEST_F(FrameRender, ClipsShapesToTheSquareUnderItsOutline) {
    const auto before = fields_of(shapes);
    Raster* frame = frame_render(nullptr, 500, 550, shapes, &kSquareImage);
    ASSERT_EQ(frame->width, 500);
    ASSERT_EQ(frame->height, 550);
    int outside = 0;
    for (int32_t i = 0; i < 500 * 550; ++i) {
        const bool inBox = i % 500 >= 124 && i % 500 <= 374 && i / 500 >= 149 && i / 500 <= 399;
        outside += !inBox && !same_bits(frame->pixels[i], kWhite);
    }
    EXPECT_EQ(outside, 0) << "pixels drawn outside the square";
    const struct {
        const char* name;
        int32_t column, row;
        Colour expected;
        float tolerance;
    } pixels[] = {
        {"bottom edge", 249, 149, kRed, 0},
        {"top edge", 249, 399, kBlue, 0},
        {"bottom edge over a shape", 210, 149, kRed, 0},
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
        const auto got = rgba(pixel_at(frame, p.column, p.row));
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(got[k], rgba(p.expected)[k], p.tolerance) << p.name << ", component " << k;
        }
    }
    EXPECT_EQ(fields_of(shapes), before) << "the pass clips copies";
    raster_free(frame);
}

// A side below 2 pixels divided by zero in the extents; such a frame is only the white fill.
TEST_F(FrameRender, Fault7NarrowOrLowFrameIsAllWhite) {
    for (const auto& [width, height] : {std::pair{1, 40}, {40, 1}, {1, 1}, {0, 5}}) {
        Raster* frame = frame_render(nullptr, width, height, shapes, &kSquareImage);
        EXPECT_EQ(frame->width, width);
        EXPECT_EQ(frame->height, height);
        EXPECT_EQ(written_spans(frame, kWhite), "") << width << " x " << height;
        raster_free(frame);
    }
}

// A frame too large for memory ended the program; it is now empty, and the next one is drawn.
TEST_F(FrameRender, FrameTooLargeToAllocateIsEmpty) {
    Raster* frame = frame_render(nullptr, INT32_MAX, INT32_MAX, shapes, &kSquareImage);
    EXPECT_EQ(frame->width, 0);
    EXPECT_EQ(frame->height, 0);
    EXPECT_EQ(frame->pixels, nullptr);
    frame = frame_render(frame, 40, 30, shapes, &kSquareImage);
    Raster* fresh = frame_render(nullptr, 40, 30, shapes, &kSquareImage);
    ASSERT_EQ(frame->width, 40);
    EXPECT_EQ(std::memcmp(frame->pixels, fresh->pixels, 40 * 30 * sizeof(Colour)), 0);
    raster_free(frame);
    raster_free(fresh);
}

} // namespace
