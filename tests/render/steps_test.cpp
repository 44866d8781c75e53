// The fill's observer and the step view's record, on the examples kept as golden data: the rows
// the observer hears of, in order, are exactly the spans the fill writes, and the steps end in
// the shape the golden clip cases expect.
#include "files/config.h"
#include "files/scenefile.h"
#include "render/clip.h"
#include "render/fill.h"
#include "render/fill_observed.h"
#include "render/steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {
namespace fs = std::filesystem;

struct Case {
    Config config;
    LineImage image;
    ListObject* shapes = listobject_new(nullptr);
    explicit Case(const fs::path& path) {
        read_config_file(path.c_str(), &config);
        read_image_file(path.c_str(), &image);
        scenefile_read(path.c_str(), shapes);
    }
    ~Case() { listobject_free(shapes); }
};

std::vector<fs::path> cases(const std::string& prefix, const std::string& expected) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(CLIPDRAW_CASES)) {
        const std::string name = entry.path().filename();
        if (name.starts_with(prefix) && name.ends_with(".expected" + expected))
            found.push_back(entry.path().parent_path() / (name.substr(0, name.find('.')) + ".txt"));
    }
    return found;
}

Raster* unwritten(const Config& config) {
    Raster* raster = raster_new(config.windowWidth, config.windowHeight);
    raster_fill(raster, raster_unwritten());
    return raster;
}

// At every row, the pixels written since the last row must be that row's span, all of it; they
// are moved to `drawn` and the raster marked unwritten again, so that every write shows.
struct SpanChecker {
    Raster* drawn;
    int32_t lastRow = INT32_MIN;
    int32_t rows = 0;
    void triangle(const Vertex&, const Vertex&, const Vertex&) { lastRow = INT32_MIN; }
    void row(const Raster& raster, int32_t row, const Vertex& s, const Vertex& e, int32_t c0,
             int32_t c1) {
        EXPECT_GT(row, lastRow) << "rows come bottom up";
        lastRow = row;
        ++rows;
        EXPECT_TRUE(c0 < c1 ? c0 >= 0 && c1 <= raster.width : c0 == 0 && c1 == 0)
            << c0 << " " << c1;
        // The span runs from the start walker to the end walker, the first pixel in its colour.
        if (c0 < c1) {
            EXPECT_EQ(c0, std::max(trunc_to_int(s.x), 0));
            EXPECT_EQ(c1, std::min(trunc_to_int(e.x), raster.width));
            const Colour first = raster.pixels[c0 + row * raster.width];
            EXPECT_TRUE(s.x < 0 ||
                        (first.r == s.r && first.g == s.g && first.b == s.b && first.a == s.a));
        }
        for (int32_t i = 0; i < raster.width * raster.height; ++i) {
            const int32_t r = i / raster.width, c = i % raster.width;
            const bool inSpan = r == row && c >= c0 && c < c1;
            ASSERT_EQ(raster_written(raster.pixels[i]), inSpan) << "row " << r << " column " << c;
            if (inSpan) {
                drawn->pixels[i] = raster.pixels[i];
                raster.pixels[i] = raster_unwritten();
            }
        }
    }
};

TEST(FillObserver, HearsExactlyTheSpansTheFillWrites) {
    int32_t rows = 0;
    for (const fs::path& path : cases("", ".txt")) {
        if (path.filename().string().find("fill_") == std::string::npos)
            continue;
        SCOPED_TRACE(path.filename());
        Case c(path);
        Raster* watched = unwritten(c.config);
        Raster* plain = unwritten(c.config);
        SpanChecker checker{unwritten(c.config)};
        DrawContext watchedCtx, plainCtx;
        draw_context_init(&watchedCtx, watched, &c.image);
        draw_context_init(&plainCtx, plain, &c.image);
        for (const ObjectNode* node = c.shapes->head; node != nullptr; node = node->next) {
            if (node->shape->nmembers < 3)
                continue; // points and lines are not filled
            draw_shape_observed(node->shape, &watchedCtx, &checker);
            draw_shape(node->shape, &plainCtx);
        }
        const size_t bytes = sizeof(Colour) * size_t(plain->width) * size_t(plain->height);
        EXPECT_EQ(std::memcmp(checker.drawn->pixels, plain->pixels, bytes), 0);
        rows += checker.rows;
        raster_free(checker.drawn);
        raster_free(plain);
        raster_free(watched);
    }
    EXPECT_GT(rows, 100);
}

// The steps of every clip case end in the shapes its golden scene keeps, and every vertex a line
// made (found nowhere in the polygon before it) is marked as a cut point.
TEST(ShapeSteps, EndInTheGoldenClipAndMarkTheirCuts) {
    for (const fs::path& path : cases("clip_", ".scene")) {
        SCOPED_TRACE(path.filename());
        Case c(path);
        ListObject* ends = listobject_new(nullptr);
        for (const ObjectNode* node = c.shapes->head; node != nullptr; node = node->next) {
            ShapeSteps steps;
            ASSERT_TRUE(shape_steps(&steps, node->shape, &c.image, 17, 17));
            ASSERT_EQ(steps.stages.size(), c.image.lines.size() + 1);
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
        std::ifstream expected(fs::path(path).replace_extension(".expected.scene"));
        EXPECT_EQ(scenefile_text(ends), std::string(std::istreambuf_iterator<char>(expected), {}));
        listobject_free(ends);
    }
}

} // namespace
