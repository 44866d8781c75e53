// The renderer's examples as data: cases/<name>.txt is a case's config, clip polygon and scene in
// one file; the expectation beside it picks the check.
// - <name>.expected.txt: clipdraw-render's frame as text, "W x H", the rows top first, each
//   "<a mark a pixel> <row>" ('.' white, row 0 the bottom), then "<mark> r g b a" (%.9g) for
//   each other colour, marked a-z, A-Z as they appear.
// - <name>.expected.png and .fnv: the frame as a PNG, and the FNV-1a hash of the exact frame
//   (width and height, 4 bytes each, then its float pixels as stored).
// - <name>.expected.scene: the shapes after clip_shape by every clip line in file order (empty
//   when they vanish); the shape pass must leave each the same.
// - <name>.expected.steps: each shape's steps as JSON.
// - <name>.expected.shapes: which shape frame_shape_at finds at each pixel ('.' none, else its
//   index), rows top first, each labelled with its row.
// - <name>.probes, beside any of them: what the case's remark states, checked on the frame as
//   rendered (see probes_fault).
// CLIPDRAW_RECORD=1 rewrites the expectations (an empty one starts a case) and reports each case
// as recorded, skipped; a mismatch writes <name>.actual.* and for a PNG .diff.png. At the end,
// the fill's observer on the fill cases.
#include "files/config.h"
#include "files/imagefile.h"
#include "files/scenefile.h"
#include "record.h"
#include "render/clip.h"
#include "render/fill.h"
#include "render/frame.h"
#include "web/steps_json.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A --float file: "RGBA32F width height", then the pixels bottom row first.
struct FloatFrame {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Colour> pixels;

    const Colour& at(int32_t col, int32_t row) const {
        return pixels[static_cast<size_t>(row) * static_cast<size_t>(width) +
                      static_cast<size_t>(col)];
    }
};

FloatFrame float_frame(const std::string& file) {
    FloatFrame frame;
    int start = 0;
    std::sscanf(file.c_str(), "RGBA32F %d %d\n%n", &frame.width, &frame.height, &start);
    // Zeros where a short file stops.
    frame.pixels.resize(static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height));
    const size_t bytes = std::min(frame.pixels.size() * sizeof(Colour), file.size() - start);
    std::memcpy(frame.pixels.data(), file.data() + start, bytes);
    return frame;
}

std::string fnv_hash(const FloatFrame& frame) {
    const int32_t size[2] = {frame.width, frame.height};
    uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](const void* data, size_t count) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < count; ++i) {
            hash = (hash ^ bytes[i]) * 1099511628211ull;
        }
    };
    add(size, sizeof size);
    add(frame.pixels.data(), frame.pixels.size() * sizeof(Colour));
    return std::to_string(hash) + "\n";
}

std::string text_picture(const FloatFrame& frame) {
    const std::string marks = ".abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::vector<std::string> colours{"1 1 1 1"};
    std::string picture = std::to_string(frame.width) + " x " + std::to_string(frame.height) + "\n";
    std::string legend;
    for (int32_t row = frame.height - 1; row >= 0; --row) {
        for (int32_t col = 0; col < frame.width; ++col) {
            const Colour& c = frame.at(col, row);
            char key[64];
            std::snprintf(key, sizeof key, "%.9g %.9g %.9g %.9g", c.r, c.g, c.b, c.a);
            const size_t mark = std::ranges::find(colours, key) - colours.begin();
            if (mark == colours.size()) {
                // Past Z it throws: such a frame wants a PNG.
                legend += marks.at(mark) + (" " + colours.emplace_back(key)) + "\n";
            }
            picture += marks[mark];
        }
        picture += " " + std::to_string(row) + "\n";
    }
    return picture + legend;
}

// A case's data files, read as the program reads them.
struct Scene {
    Config config;
    LineImage image;
    ListObject* shapes = listobject_new(nullptr);

    explicit Scene(const char* path) {
        read_config_file(path, &config);
        read_image_file(path, &image);
        scenefile_read(path, shapes);
    }
    ~Scene() { listobject_free(shapes); }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
};

std::string shapes_at_each_pixel(const Scene& scene) {
    const int32_t w = scene.config.windowWidth;
    const int32_t h = scene.config.windowHeight;
    std::string text;
    for (int32_t row = h - 1; row >= 0; --row) {
        for (int32_t col = 0; col < w; ++col) {
            const int32_t shape = frame_shape_at(w, h, scene.shapes, &scene.image, col, row);
            text += shape < 0 ? '.' : static_cast<char>('0' + shape);
        }
        text += " " + std::to_string(row) + "\n";
    }
    return text;
}

// What the shape pass leaves of a shape after the last clip line, as the pass itself reports it.
class LastPolygon final : public ShapePassObserver {
  public:
    explicit LastPolygon(const ListVertex* shape) : kept_(listvertex_copy(shape)) {}
    ~LastPolygon() { listvertex_free(kept_); }
    LastPolygon(const LastPolygon&) = delete;
    LastPolygon& operator=(const LastPolygon&) = delete;

    void line(int32_t, const Vertex&, const Vertex&, ClipVerdict, const ListVertex* polygon,
              const std::vector<ClipEdge>&) override {
        listvertex_free(kept_);
        kept_ = polygon != nullptr ? listvertex_copy(polygon) : listvertex_new(nullptr);
    }
    void triangle(const Vertex&, const Vertex&, const Vertex&) override {}
    void row(const Raster&, int32_t, const Vertex&, const Vertex&, int32_t, int32_t) override {}

    // The polygon, handed over to the caller.
    ListVertex* take() {
        ListVertex* kept = kept_;
        kept_ = nullptr;
        return kept;
    }

  private:
    ListVertex* kept_;
};

// One shape as a scene file's text.
std::string scenefile_text_of(const ListVertex* shape) {
    ListObject* list = listobject_new(listobject_node_new(listvertex_copy(shape)));
    const std::string text = scenefile_text(list);
    listobject_free(list);
    return text;
}

// The kinds found here rather than by clipdraw-render: .scene, .steps or .shapes.
std::string computed(const std::string& kind, const char* path) {
    Scene scene(path);
    const int32_t w = scene.config.windowWidth;
    const int32_t h = scene.config.windowHeight;
    if (kind == ".shapes") {
        return shapes_at_each_pixel(scene);
    }
    std::string steps;
    ListObject* clipped = listobject_new(nullptr);
    Raster* raster = raster_new(w, h);
    DrawContext ctx;
    draw_context_init(&ctx, raster, &scene.image);
    for (const ObjectNode* node = scene.shapes->head; node != nullptr; node = node->next) {
        ShapeSteps shapeSteps;
        if (kind == ".steps" && shape_steps(&shapeSteps, node->shape, &scene.image, w, h)) {
            steps += steps_json(shapeSteps) + "\n";
        }
        // The clipper as the cases state it, clip_shape by every line in file order ...
        ListVertex* shape = listvertex_copy(node->shape);
        for (int32_t i = 0; i < scene.image.lineCount; ++i) {
            const LineEnds ends = lineimage_line_ends(&scene.image, i);
            shape = clip_shape(shape, ends.a, ends.b);
        }
        shape = shape != nullptr ? shape : listvertex_new(nullptr);
        // ... and the shape pass, which culls and copies on demand, must leave the same.
        LastPolygon last(node->shape);
        clip_and_draw_shape(node->shape, &ctx, &last);
        ListVertex* byPass = last.take();
        EXPECT_EQ(scenefile_text_of(byPass), scenefile_text_of(shape)) << "the shape pass";
        listvertex_free(byPass);
        listobject_append(clipped, listobject_node_new(shape));
    }
    const std::string scene_text = scenefile_text(clipped);
    listobject_free(clipped);
    raster_free(raster);
    return kind == ".scene" ? scene_text : steps;
}

// A PNG file's pixels as RGB bytes, rows top first; empty when it cannot be read.
std::string rgb_of(const std::string& path, png_image* image) {
    *image = png_image{};
    image->version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(image, path.c_str()) == 0) {
        return "";
    }
    image->format = PNG_FORMAT_RGB;
    std::string rgb(PNG_IMAGE_SIZE(*image), '\0');
    png_image_finish_read(image, nullptr, rgb.data(), 0, nullptr);
    return rgb;
}

// "" when the two pictures hold the same pixels; otherwise where the first difference lies, with
// every differing pixel marked magenta on a copy of the expected one.
std::string mark_differences(const std::string& wantPath, const std::string& nowPath,
                             const std::string& diffPath) {
    png_image was;
    png_image is;
    const std::string want = rgb_of(wantPath, &was);
    const std::string now = rgb_of(nowPath, &is);
    if (want.empty()) {
        return wantPath + " cannot be read";
    }
    if (want == now) {
        return "";
    }
    std::string diff = want;
    for (size_t i = 0; i + 3 <= std::min(want.size(), now.size()); i += 3) {
        if (want.compare(i, 3, now, i, 3) != 0) {
            diff.replace(i, 3, "\xff\0\xff", 3);
        }
    }
    png_image_write_to_file(&was, diffPath.c_str(), 0, diff.data(), 0, nullptr);
    const size_t at = (std::ranges::mismatch(want, now).in1 - want.begin()) / 3;
    const size_t w = was.width;
    return "Its pixels unlike are magenta in " + diffPath + ", the first at column " +
           std::to_string(at % w) + ", row " + std::to_string(was.height - 1 - at / w) +
           " (0 the bottom)";
}

bool is_white(const Colour& c) {
    return c.r == 1.0f && c.g == 1.0f && c.b == 1.0f && c.a == 1.0f;
}

std::string colour_text(const Colour& c) {
    std::ostringstream out;
    out.precision(9);
    out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
    return out.str();
}

float largest_difference(const Colour& u, const Colour& v) {
    return std::max(
        {std::fabs(u.r - v.r), std::fabs(u.g - v.g), std::fabs(u.b - v.b), std::fabs(u.a - v.a)});
}

// One line of a .probes file against the frame; "" when it holds, else what is wrong.
//   maps X Y PX PY: view (X, Y) maps to raster (PX, PY) exactly in a frame of this size.
//   white C0 C1 R0 R1: every pixel of columns C0-C1, rows R0-R1 is white.
//   drawn C0 C1 R0 R1: no pixel of them is white.
//   pixel C R r g b a [T]: the pixel holds that colour, each channel within T (default 0).
//   linear R C0 C1 T: along row R from column C0 to C1 every channel lies within T of the
//     straight line between the two end pixels.
std::string probe_fault(const std::string& probe, const FloatFrame& frame) {
    std::istringstream in(probe);
    std::string kind;
    in >> kind;
    const auto inside = [&](int32_t col, int32_t row) {
        return col >= 0 && col < frame.width && row >= 0 && row < frame.height;
    };
    if (kind == "maps") {
        Vertex v{};
        float px = 0;
        float py = 0;
        in >> v.x >> v.y >> px >> py;
        Raster* raster = raster_new(frame.width, frame.height);
        DrawContext ctx;
        draw_context_init(&ctx, raster, nullptr);
        map_to_raster(&v, &ctx);
        raster_free(raster);
        if (v.x != px || v.y != py) {
            return "maps to (" + std::to_string(v.x) + ", " + std::to_string(v.y) + ")";
        }
        return "";
    }
    if (kind == "white" || kind == "drawn") {
        int32_t c0 = 0;
        int32_t c1 = -1;
        int32_t r0 = 0;
        int32_t r1 = -1;
        in >> c0 >> c1 >> r0 >> r1;
        if (!inside(c0, r0) || !inside(c1, r1)) {
            return "lies outside the frame";
        }
        for (int32_t row = r0; row <= r1; ++row) {
            for (int32_t col = c0; col <= c1; ++col) {
                if (is_white(frame.at(col, row)) != (kind == "white")) {
                    return "column " + std::to_string(col) + ", row " + std::to_string(row) +
                           " holds " + colour_text(frame.at(col, row));
                }
            }
        }
        return "";
    }
    if (kind == "pixel") {
        int32_t col = -1;
        int32_t row = -1;
        Colour want{};
        float tolerance = 0.0f;
        in >> col >> row >> want.r >> want.g >> want.b >> want.a;
        if (!(in >> tolerance)) {
            tolerance = 0.0f;
        }
        if (!inside(col, row)) {
            return "lies outside the frame";
        }
        const Colour& got = frame.at(col, row);
        if (!(largest_difference(got, want) <= tolerance)) {
            return "holds " + colour_text(got);
        }
        return "";
    }
    if (kind == "linear") {
        int32_t row = -1;
        int32_t c0 = 0;
        int32_t c1 = -1;
        float tolerance = 0.0f;
        in >> row >> c0 >> c1 >> tolerance;
        if (!inside(c0, row) || !inside(c1, row) || c1 <= c0) {
            return "is not a stretch of the frame";
        }
        const Colour& a = frame.at(c0, row);
        const Colour& b = frame.at(c1, row);
        for (int32_t col = c0; col <= c1; ++col) {
            const float t = static_cast<float>(col - c0) / static_cast<float>(c1 - c0);
            const Colour line{a.r + t * (b.r - a.r), a.g + t * (b.g - a.g), a.b + t * (b.b - a.b),
                              a.a + t * (b.a - a.a)};
            if (!(largest_difference(frame.at(col, row), line) <= tolerance)) {
                return "column " + std::to_string(col) + " holds " +
                       colour_text(frame.at(col, row)) + ", off the line " + colour_text(line);
            }
        }
        return "";
    }
    return "is not a probe";
}

// Every probe of the .probes file, remarks (lines starting with #) and blank lines aside.
void expect_probes_hold(const std::string& probesPath, const FloatFrame& frame) {
    std::ifstream probes(probesPath);
    int32_t checked = 0;
    for (std::string line; std::getline(probes, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        ++checked;
        const std::string fault = probe_fault(line, frame);
        EXPECT_EQ(fault, "") << probesPath << ": \"" << line << "\"";
    }
    EXPECT_GT(checked, 0) << probesPath << " holds no probe";
}

std::vector<std::string> cases() {
    std::vector<std::string> names; // <name>.txt in the cases folder
    for (const auto& entry : fs::directory_iterator(CLIPDRAW_CASES)) {
        if (entry.path().extension() == ".txt" && entry.path().stem().extension().empty()) {
            names.push_back(entry.path().stem());
        }
    }
    return names;
}

class Case : public testing::TestWithParam<std::string> {};

TEST_P(Case, MatchesItsExpectation) {
    const std::string base = CLIPDRAW_CASES + ("/" + GetParam());
    const std::string in = base + ".txt";
    const std::string png = CLIPDRAW_WORK + ("/" + GetParam()) + ".png";
    std::string ext = ".fnv";
    for (const char* kind : {".scene", ".steps", ".shapes", ".txt"}) {
        if (fs::exists(base + ".expected" + kind)) {
            ext = kind;
            break;
        }
    }
    const bool here = ext == ".scene" || ext == ".steps" || ext == ".shapes";
    const bool text = ext == ".txt";
    std::string got;
    FloatFrame frame;
    if (here) {
        got = computed(ext, in.c_str());
    } else {
        const std::string command = CLIPDRAW_RENDER_BIN + (" --config " + in + " --clip " + in) +
                                    " --scene " + in + " --out " + png + " --float " + png +
                                    ".f32 >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        frame = float_frame(slurp(png + ".f32"));
        got = text ? text_picture(frame) : fnv_hash(frame);
    }
    if (fs::exists(base + ".probes")) {
        ASSERT_FALSE(here) << "probes check a rendered frame";
        expect_probes_hold(base + ".probes", frame);
    }
    const auto keep = [&](const std::string& kind) {
        std::ofstream(base + kind + ext) << got;
        if (!here && !text) {
            fs::copy_file(png, base + kind + ".png", fs::copy_options::overwrite_existing);
        }
    };
    if (record_mode()) {
        keep(".expected");
        GTEST_SKIP() << "recorded " << base << ".expected" << ext;
    }
    const std::string pictureFault =
        here || text ? "" : mark_differences(base + ".expected.png", png, base + ".diff.png");
    if (slurp(base + ".expected" + ext) == got && pictureFault.empty()) {
        return;
    }
    keep(".actual");
    ADD_FAILURE() << base << ".expected" << ext << " differs from .actual" << ext;
    if (!pictureFault.empty()) {
        ADD_FAILURE() << pictureFault;
    }
}

INSTANTIATE_TEST_SUITE_P(Render, Case, testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param; });

Raster* unwritten(const Config& config) {
    Raster* raster = raster_new(config.windowWidth, config.windowHeight);
    raster_fill(raster, raster_unwritten());
    return raster;
}

// At every row, the pixels written since the last row must be that row's span, all of it, from
// the start walker to the end walker, the first in the start walker's colour; they are moved to
// `drawn` and the raster marked unwritten again, so that every write shows.
struct SpanChecker final : FillObserver {
    explicit SpanChecker(Raster* into) : drawn(into) {}

    Raster* drawn;
    int32_t lastRow = INT32_MIN;
    int32_t rows = 0;

    void triangle(const Vertex&, const Vertex&, const Vertex&) override { lastRow = INT32_MIN; }

    void row(const Raster& raster, int32_t row, const Vertex& s, const Vertex& e, int32_t c0,
             int32_t c1) override {
        EXPECT_GT(row, lastRow) << "rows come bottom up";
        lastRow = row;
        ++rows;
        if (c0 < c1) {
            EXPECT_EQ(c0, std::max(trunc_to_int(s.x), 0));
            EXPECT_EQ(c1, std::min(trunc_to_int(e.x), raster.width));
            if (s.x >= 0) {
                const Colour& first = raster.pixels[c0 + row * raster.width];
                EXPECT_EQ(colour_text(first), colour_text(Colour{s.r, s.g, s.b, s.a}))
                    << "the span's first pixel is not the start walker's colour";
            }
        } else {
            EXPECT_EQ(c0, 0);
            EXPECT_EQ(c1, 0);
        }
        for (int32_t i = 0; i < raster.width * raster.height; ++i) {
            const int32_t col = i % raster.width;
            const bool inSpan = i / raster.width == row && col >= c0 && col < c1;
            ASSERT_EQ(raster_written(raster.pixels[i]), inSpan)
                << "pixel " << i << " at row " << row;
            if (inSpan) {
                drawn->pixels[i] = raster.pixels[i];
                raster.pixels[i] = raster_unwritten();
            }
        }
    }
};

// The step view's picture: the rows' pixels, painted in order, give the shape's whole picture.
void expect_rows_paint_the_picture(const ShapeSteps& steps) {
    std::vector<uint8_t> painted(steps.picture.size(), 0);
    for (const FillStepRow& r : steps.rows) {
        const size_t at =
            4 * static_cast<size_t>((steps.height - 1 - r.row) * steps.width + r.colStart);
        std::copy_n(steps.rowBytes.data() + r.bytes, 4 * (r.colEnd - r.colStart),
                    painted.data() + at);
    }
    EXPECT_EQ(painted, steps.picture);
}

// On the fill cases: the rows the fill's observer hears of, in order, are exactly the spans the
// fill writes, and the step view's rows paint the shape's picture.
TEST(FillObserver, HearsExactlyTheSpansTheFillWrites) {
    int32_t rows = 0;
    for (const std::string& name : cases()) {
        const std::string base = CLIPDRAW_CASES + ("/" + name);
        if (!name.starts_with("fill_") || !fs::exists(base + ".expected.txt")) {
            continue;
        }
        Scene c((base + ".txt").c_str());
        SCOPED_TRACE(name);
        Raster* watched = unwritten(c.config);
        Raster* plain = unwritten(c.config);
        SpanChecker checker{unwritten(c.config)};
        DrawContext watchedCtx;
        DrawContext plainCtx;
        draw_context_init(&watchedCtx, watched, &c.image);
        draw_context_init(&plainCtx, plain, &c.image);
        for (const ObjectNode* node = c.shapes->head; node != nullptr; node = node->next) {
            // Points and lines are not filled.
            if (node->shape->nmembers != 3) {
                continue;
            }
            const VertexNode* v = node->shape->head;
            ShapeSteps steps;
            shape_steps(&steps, node->shape, &c.image, c.config.windowWidth, c.config.windowHeight);
            expect_rows_paint_the_picture(steps);
            draw_shape_observed(node->shape, &watchedCtx, &checker);
            fill_triangle(v->vertex, v->next->vertex, v->next->next->vertex, &plainCtx);
        }
        const size_t bytes = sizeof(Colour) * size_t(plain->width) * size_t(plain->height);
        EXPECT_EQ(std::memcmp(checker.drawn->pixels, plain->pixels, bytes), 0)
            << "the fill alone draws otherwise";
        rows += checker.rows;
        raster_free(checker.drawn);
        raster_free(plain);
        raster_free(watched);
    }
    EXPECT_GT(rows, 100);
}

} // namespace
