// The fill's observer and the step view's record, on the examples kept as golden data: the rows
// the observer hears of, in order, are exactly the spans the fill writes, and the steps end in
// the shapes the golden clip cases expect.
#include "files/config.h"
#include "files/scenefile.h"
#include "render/fill.h"
#include "render/fill_observed.h"
#include "render/frame.h"
#include "render/steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace {
namespace fs = std::filesystem;

// Each case named <part>... whose expectation is .expected<kind>: its config, clip polygon, shapes.
struct Case {
    Config config;
    LineImage image;
    ListObject* shapes = listobject_new(nullptr);
    std::string expected;
};
std::vector<Case> cases(const std::string& part, const std::string& kind) {
    std::vector<Case> found;
    for (const auto& entry : fs::directory_iterator(CLIPDRAW_CASES)) {
        const std::string name = entry.path().filename(), in = entry.path().parent_path() / name;
        if (name.find(part) == std::string::npos || !name.ends_with(".expected" + kind))
            continue;
        Case& c = found.emplace_back(Case{{}, {}, listobject_new(nullptr), in});
        const std::string txt = in.substr(0, in.size() - kind.size() - 9) + ".txt";
        read_config_file(txt.c_str(), &c.config);
        read_image_file(txt.c_str(), &c.image);
        scenefile_read(txt.c_str(), c.shapes);
    }
    return found;
}
Raster* unwritten(const Config& config) {
    Raster* raster = raster_new(config.windowWidth, config.windowHeight);
    raster_fill(raster, raster_unwritten());
    return raster;
}

// At every row, the pixels written since the last row must be that row's span, all of it, from
// the start walker to the end walker, the first in the start walker's colour; they are moved to
// `drawn` and the raster marked unwritten again, so that every write shows.
struct SpanChecker {
    Raster* drawn;
    int32_t lastRow = INT32_MIN, rows = 0;
    void triangle(const Vertex&, const Vertex&, const Vertex&) { lastRow = INT32_MIN; }
    void row(const Raster& raster, int32_t row, const Vertex& s, const Vertex& e, int32_t c0,
             int32_t c1) {
        EXPECT_GT(row, lastRow) << "rows come bottom up";
        lastRow = row, ++rows;
        if (c0 < c1) {
            EXPECT_EQ(c0, std::max(trunc_to_int(s.x), 0));
            EXPECT_EQ(c1, std::min(trunc_to_int(e.x), raster.width));
            const Colour first = raster.pixels[c0 + row * raster.width];
            EXPECT_TRUE(s.x < 0 ||
                        (first.r == s.r && first.g == s.g && first.b == s.b && first.a == s.a));
        } else {
            EXPECT_TRUE(c0 == 0 && c1 == 0) << c0 << " " << c1;
        }
        for (int32_t i = 0; i < raster.width * raster.height; ++i) {
            const bool inSpan =
                i / raster.width == row && i % raster.width >= c0 && i % raster.width < c1;
            ASSERT_EQ(raster_written(raster.pixels[i]), inSpan)
                << "pixel " << i << " at row " << row;
            if (inSpan)
                drawn->pixels[i] = raster.pixels[i], raster.pixels[i] = raster_unwritten();
        }
    }
};

// The steps agree with themselves: each verdict with the polygons before and after its line, each
// triangle's rows with its corners, and the rows' pixels, painted in order, with the picture of
// the whole shape.
void expect_consistent(const ShapeSteps& steps) {
    for (size_t k = 1; k < steps.stages.size(); ++k) {
        const std::vector<StepVertex>&before = steps.stages[k - 1].polygon,
              &after = steps.stages[k].polygon;
        const bool same = std::ranges::equal(before, after, [](auto& u, auto& v) {
            return std::memcmp(&u.view, &v.view, sizeof(Vertex)) == 0;
        });
        EXPECT_EQ(steps.stages[k].verdict, before.empty()  ? ClipVerdict::NothingLeft
                                           : after.empty() ? ClipVerdict::DropsAll
                                           : same          ? ClipVerdict::KeepsAll
                                                           : ClipVerdict::Cuts)
            << "stage " << k;
    }
    // A triangle's rows: from its lowest corner's row up to its highest corner, within the frame.
    for (size_t t = 0; t < steps.triangles.size(); ++t) {
        const FillStepTriangle& tri = steps.triangles[t];
        double low = INFINITY, high = -INFINITY;
        for (const StepVertex& corner : tri.corners)
            low = std::min(low, double(corner.pixel.y)),
            high = std::max(high, double(corner.pixel.y));
        const double h = steps.height, rows = std::clamp(std::ceil(high), 0.0, h) -
                                              std::clamp(std::trunc(low), 0.0, h);
        EXPECT_EQ(tri.rowCount, std::isfinite(low + high) && low < high ? int32_t(rows) : 0)
            << "triangle " << t;
        for (int32_t i = 0; i < tri.rowCount; ++i)
            EXPECT_EQ(steps.rows[size_t(tri.firstRow + i)].triangle, int32_t(t));
    }
    std::vector<uint8_t> painted(steps.picture.size(), 0);
    for (const FillStepRow& r : steps.rows)
        std::copy_n(steps.rowBytes.data() + r.bytes, 4 * (r.colEnd - r.colStart),
                    painted.data() +
                        4 * size_t((steps.height - 1 - r.row) * steps.width + r.colStart));
    EXPECT_TRUE(steps.rows.empty() || painted == steps.picture);
}

TEST(FillObserver, HearsExactlyTheSpansTheFillWrites) {
    int32_t rows = 0;
    for (Case& c : cases("fill_", ".txt")) {
        SCOPED_TRACE(c.expected);
        Raster *watched = unwritten(c.config), *plain = unwritten(c.config);
        SpanChecker checker{unwritten(c.config)};
        DrawContext watchedCtx, plainCtx;
        draw_context_init(&watchedCtx, watched, &c.image);
        draw_context_init(&plainCtx, plain, &c.image);
        for (const ObjectNode* node = c.shapes->head; node != nullptr; node = node->next) {
            const VertexNode* v = node->shape->head;
            if (node->shape->nmembers == 3) { // points and lines are not filled
                ShapeSteps steps;
                shape_steps(&steps, node->shape, &c.image, c.config.windowWidth,
                            c.config.windowHeight);
                expect_consistent(steps);
                draw_shape_observed(node->shape, &watchedCtx, &checker);
                fill_triangle(v->vertex, v->next->vertex, v->next->next->vertex, &plainCtx);
            }
        }
        const size_t bytes = sizeof(Colour) * size_t(plain->width) * size_t(plain->height);
        EXPECT_EQ(std::memcmp(checker.drawn->pixels, plain->pixels, bytes), 0)
            << "the fill alone draws otherwise";
        rows += checker.rows;
        raster_free(checker.drawn), raster_free(plain), raster_free(watched),
            listobject_free(c.shapes);
    }
    EXPECT_GT(rows, 100);
}

// The steps of every clip case end in the shapes its golden scene keeps, and every vertex a line
// made (found nowhere in the polygon before it) is marked as a cut point.
TEST(ShapeSteps, EndInTheGoldenClipAndMarkTheirCuts) {
    for (Case& c : cases("clip_", ".scene")) {
        SCOPED_TRACE(c.expected);
        ListObject* ends = listobject_new(nullptr);
        for (const ObjectNode* node = c.shapes->head; node != nullptr; node = node->next) {
            ShapeSteps steps;
            ASSERT_TRUE(shape_steps(&steps, node->shape, &c.image, 17, 17));
            ASSERT_EQ(steps.stages.size(), c.image.lines.size() + 1);
            expect_consistent(steps);
            ListVertex* end = listvertex_new(nullptr);
            for (const StepVertex& v : steps.stages.back().polygon)
                listvertex_append(end, listvertex_node_new(&v.view));
            listobject_append(ends, listobject_node_new(end));
            for (size_t k = 1; k < steps.stages.size(); ++k) {
                for (const StepVertex& after : steps.stages[k].polygon) {
                    bool kept = false;
                    for (const StepVertex& before : steps.stages[k - 1].polygon)
                        kept = kept || std::memcmp(&before.view, &after.view, sizeof(Vertex)) == 0;
                    EXPECT_TRUE(kept || after.cut) << "stage " << k;
                }
            }
        }
        std::ifstream expected(c.expected);
        EXPECT_EQ(scenefile_text(ends), std::string(std::istreambuf_iterator<char>(expected), {}));
        listobject_free(ends), listobject_free(c.shapes);
    }
}

// Which shape shows at a pixel: the frame's pixel there is that shape's, drawn alone, or white
// where it names none; the outline, drawn over every shape, is left out.
TEST(FrameShapeAt, NamesTheShapeWhosePixelTheFrameShows) {
    for (Case& c : cases("shapes_later_cover_earlier", ".txt")) {
        const int32_t w = c.config.windowWidth, h = c.config.windowHeight;
        Raster *frame = frame_draw(nullptr, w, h, c.shapes, &c.image),
               *outline = frame_draw(nullptr, w, h, nullptr, &c.image);
        std::vector<ShapeSteps> alone;
        for (const ObjectNode* node = c.shapes->head; node != nullptr; node = node->next)
            shape_steps(&alone.emplace_back(), node->shape, &c.image, w, h);
        std::set<int32_t> seen;
        for (int32_t i = 0; i < w * h; ++i) {
            const int32_t col = i % w, row = i / w;
            const int32_t shape = frame_shape_at(w, h, c.shapes, &c.image, col, row);
            const size_t at = 4 * size_t((h - 1 - row) * w + col); // pictures: rows top first
            const Colour& p = frame->pixels[i];
            if (outline->pixels[i].r != 1.0f || outline->pixels[i].b != 1.0f)
                continue;
            seen.insert(shape);
            for (const ShapeSteps& steps : alone) // where none shows, none wrote
                EXPECT_TRUE(steps.picture[at + 3] == 0 ||
                            (shape >= 0 && steps.picture[at + 3] == 255));
            const uint8_t* want = shape < 0 ? nullptr : &alone[size_t(shape)].picture[at];
            EXPECT_TRUE(want == nullptr
                            ? p.r == 1.0f && p.g == 1.0f && p.b == 1.0f
                            : want[0] == colour_byte(p.r) && want[2] == colour_byte(p.b))
                << "column " << col << " row " << row << " shape " << shape;
        }
        EXPECT_EQ(seen, (std::set<int32_t>{-1, 0, 1}));
        EXPECT_EQ(frame_shape_at(w, h, c.shapes, &c.image, w, 1), -1) << "off the frame";
        raster_free(frame), raster_free(outline), listobject_free(c.shapes);
    }
}

} // namespace
