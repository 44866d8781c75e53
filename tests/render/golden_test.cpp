// The renderer's examples as data: cases/<name>.txt is a case's config, clip polygon and scene in
// one file; the expectation beside it picks the check. <name>.expected.txt: clipdraw-render's frame
// as text, "W x H", the rows top first, each "<a mark a pixel> <row>" ('.' white, row 0 the
// bottom), then "<mark> r g b a" (%.9g) for each other colour, marked a-z, A-Z as they appear.
// .expected.png and .fnv: the frame as a PNG, and the FNV-1a hash of the exact frame (width and
// height, 4 bytes each, then its float pixels as stored). .expected.scene: the shapes after
// clip_shape by every clip line in file order (empty when they vanish). .expected.steps: each
// shape's steps_json. .expected.shapes: which shape frame_shape_at finds at each pixel ('.' none,
// else its index), rows top first, each labelled with its row. CLIPDRAW_RECORD=1 rewrites
// them (an empty one starts a case); a mismatch writes <name>.actual.* and for a PNG .diff.png.
// At the end, the fill's observer on the fill cases.
#include "files/config.h"
#include "files/scenefile.h"
#include "render/clip.h"
#include "render/fill.h"
#include "render/fill_observed.h"
#include "render/frame.h"
#include "render/steps.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {
namespace fs = std::filesystem;
std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
// A --float frame as a text picture, or its hash.
std::string picture_of(const std::string& frame, bool text) {
    int32_t size[2] = {0, 0}, start = 0;
    std::sscanf(frame.c_str(), "RGBA32F %d %d\n%n", &size[0], &size[1], &start);
    uint64_t hash = 14695981039346656037ull;
    for (const char byte : std::string(reinterpret_cast<char*>(size), 8) + frame.substr(start))
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    const std::string marks = ".abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::vector<std::string> colours{"1 1 1 1"};
    std::string picture = std::to_string(size[0]) + " x " + std::to_string(size[1]) + "\n", legend;
    for (int32_t i = 0; text && i < size[0] * size[1]; ++i) {
        const int32_t row = size[1] - 1 - i / size[0], col = i % size[0];
        float c[4] = {}; // zeros where a short frame stops
        char key[64];
        frame.copy(reinterpret_cast<char*>(c), 16, start + 16 * (size_t(row) * size[0] + col));
        std::snprintf(key, sizeof key, "%.9g %.9g %.9g %.9g", c[0], c[1], c[2], c[3]);
        const size_t mark = std::ranges::find(colours, key) - colours.begin();
        if (mark == colours.size()) // past Z it throws: such a frame wants a PNG
            legend += marks.at(mark) + (" " + colours.emplace_back(key)) + "\n";
        picture += marks[mark] + (col == size[0] - 1 ? " " + std::to_string(row) + "\n" : "");
    }
    return text ? picture + legend : std::to_string(hash) + "\n";
}
// A case's data files, read as the program reads them.
struct Scene {
    Config config;
    LineImage image;
    ListObject* shapes = listobject_new(nullptr);
    explicit Scene(const char* path) {
        read_config_file(path, &config), read_image_file(path, &image),
            scenefile_read(path, shapes);
    }
    ~Scene() { listobject_free(shapes); }
};
// The kinds found here rather than by clipdraw-render: .scene, .steps or .shapes.
std::string computed(const std::string& kind, const char* path) {
    Scene scene(path);
    const Config& config = scene.config;
    const LineImage& image = scene.image;
    ListObject* shapes = scene.shapes;
    const int32_t w = config.windowWidth, h = config.windowHeight;
    std::string text;
    for (ObjectNode* node = shapes->head; kind != ".shapes" && node != nullptr; node = node->next) {
        ShapeSteps steps;
        if (kind == ".steps" && shape_steps(&steps, node->shape, &image, w, h))
            text += steps_json(steps) + "\n";
        for (const ImageLine& line : image.lines)
            node->shape = clip_shape(node->shape, image.vertices[size_t(line.first)],
                                     image.vertices[size_t(line.second)]);
        node->shape = node->shape != nullptr ? node->shape : listvertex_new(nullptr);
    }
    for (int32_t i = 0; kind == ".shapes" && i < w * h; ++i) {
        const int32_t row = h - 1 - i / w, col = i % w;
        const int32_t shape = frame_shape_at(w, h, shapes, &image, col, row);
        text += (shape < 0 ? '.' : char('0' + shape)) +
                (col == w - 1 ? " " + std::to_string(row) + "\n" : "");
    }
    return kind == ".scene" ? scenefile_text(shapes) : text;
}
// A PNG file's pixels as RGB bytes, rows top first.
std::string rgb_of(const std::string& path, png_image* image) {
    *image = {nullptr, PNG_IMAGE_VERSION, 0, 0, 0, 0, 0, 0, {}};
    png_image_begin_read_from_file(image, path.c_str());
    image->format = PNG_FORMAT_RGB;
    std::string rgb(PNG_IMAGE_SIZE(*image), '\0');
    png_image_finish_read(image, nullptr, rgb.data(), 0, nullptr);
    return rgb;
}
class Case : public testing::TestWithParam<std::string> {};
TEST_P(Case, MatchesItsExpectation) {
    const std::string base = CLIPDRAW_CASES + ("/" + GetParam()), in = base + ".txt";
    const std::string png = CLIPDRAW_WORK + ("/" + GetParam()) + ".png";
    std::string ext = ".fnv";
    for (const char* kind : {".scene", ".steps", ".shapes", ".txt"})
        ext = ext == ".fnv" && fs::exists(base + ".expected" + kind) ? kind : ext;
    const bool here = ext != ".fnv" && ext != ".txt", text = ext == ".txt"; // here: computed
    const std::string command = CLIPDRAW_RENDER_BIN + (" --config " + in + " --clip " + in) +
                                " --scene " + in + " --out " + png + " --float " + png + ".f32";
    ASSERT_TRUE(here || std::system(command.c_str()) == 0) << command;
    const std::string got =
        here ? computed(ext, in.c_str()) : picture_of(slurp(png + ".f32"), text);
    const auto keep = [&](const std::string& kind) {
        std::ofstream(base + kind + ext) << got;
        if (!here && !text)
            fs::copy_file(png, base + kind + ".png", fs::copy_options::overwrite_existing);
    };
    if (std::getenv("CLIPDRAW_RECORD") != nullptr && std::getenv("CLIPDRAW_RECORD")[0] == '1')
        return keep(".expected");
    const std::string wanted = slurp(base + ".expected" + ext);
    png_image was, is;
    const std::string want = rgb_of(base + ".expected.png", &was), now = rgb_of(png, &is);
    if (wanted == got && (text || here || want == now))
        return;
    keep(".actual");
    ADD_FAILURE() << base << ".expected" << ext << " differs from .actual" << ext;
    if (text || here || want.empty() || want == now) // no picture to mark
        return;
    std::string diff = want;
    for (size_t i = 0; i + 3 <= std::min(want.size(), now.size()); i += 3)
        if (want.compare(i, 3, now, i, 3) != 0)
            diff.replace(i, 3, "\xff\0\xff", 3);
    png_image_write_to_file(&was, (base + ".diff.png").c_str(), 0, diff.data(), 0, nullptr);
    const size_t at = (std::ranges::mismatch(want, now).in1 - want.begin()) / 3, w = was.width;
    ADD_FAILURE() << "Its pixels unlike are magenta in .diff.png, the first at column " << at % w
                  << ", row " << was.height - 1 - at / w << " (0 the bottom)";
}
std::vector<std::string> cases() { // <name>.txt in the cases folder
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(CLIPDRAW_CASES))
        if (entry.path().extension() == ".txt" && entry.path().stem().extension().empty())
            names.push_back(entry.path().stem());
    return names;
}
INSTANTIATE_TEST_SUITE_P(Render, Case, testing::ValuesIn(cases()), [](auto& i) { return i.param; });

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

// On the fill cases: the rows the fill's observer hears of, in order, are exactly the spans the
// fill writes, and the step view's rows paint the shape's picture.
TEST(FillObserver, HearsExactlyTheSpansTheFillWrites) {
    int32_t rows = 0;
    for (const std::string& name : cases()) {
        const std::string base = CLIPDRAW_CASES + ("/" + name);
        if (name.find("fill_") == std::string::npos || !fs::exists(base + ".expected.txt"))
            continue;
        Scene c((base + ".txt").c_str());
        SCOPED_TRACE(name);
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
        raster_free(checker.drawn), raster_free(plain), raster_free(watched);
    }
    EXPECT_GT(rows, 100);
}
} // namespace
