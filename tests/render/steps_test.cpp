// The fill's observer, on the fill examples kept as golden data: the rows it hears of, in order,
// are exactly the spans the fill writes, and the steps' rows paint the shape's picture.
#include "files/config.h"
#include "files/scenefile.h"
#include "render/fill.h"
#include "render/fill_observed.h"
#include "render/steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

// A fill case (fill_ in its name, a text picture as its expectation): config, clip polygon, shapes.
struct Case {
    std::string path;
    Config config;
    LineImage image;
    ListObject* shapes = listobject_new(nullptr);
};
std::vector<Case> fill_cases() {
    std::vector<Case> found;
    for (const auto& entry : std::filesystem::directory_iterator(CLIPDRAW_CASES)) {
        const std::string path = entry.path(), name = entry.path().filename();
        if (name.find("fill_") == std::string::npos || !name.ends_with(".expected.txt"))
            continue;
        Case& c = found.emplace_back(Case{path.substr(0, path.size() - 13) + ".txt", {}, {}});
        read_config_file(c.path.c_str(), &c.config);
        read_image_file(c.path.c_str(), &c.image);
        scenefile_read(c.path.c_str(), c.shapes);
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

// The step view's picture: the rows' pixels, painted in order, give the shape's whole picture.
void expect_rows_paint_the_picture(const ShapeSteps& steps) {
    std::vector<uint8_t> painted(steps.picture.size(), 0);
    for (const FillStepRow& r : steps.rows)
        std::copy_n(steps.rowBytes.data() + r.bytes, 4 * (r.colEnd - r.colStart),
                    painted.data() +
                        4 * size_t((steps.height - 1 - r.row) * steps.width + r.colStart));
    EXPECT_TRUE(painted == steps.picture);
}

TEST(FillObserver, HearsExactlyTheSpansTheFillWrites) {
    int32_t rows = 0;
    for (Case& c : fill_cases()) {
        SCOPED_TRACE(c.path);
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
                expect_rows_paint_the_picture(steps);
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

} // namespace
