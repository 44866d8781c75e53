// The line and the fill drawn a second time, straight from their rules and nothing else: every
// walker starts on its vertex and adds its step once per unit, however far outside the frame it
// starts. The renderer must give the same bits wherever its walkers start within its walk limit
// of the frame: on the render cases that lie there, on a triangle found by an independent check,
// and on random triangles reaching far outside small frames.
#include "files/config.h"
#include "files/imagefile.h"
#include "files/scenefile.h"
#include "render/drawcontext.h"
#include "render/frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;

// Rows and columns only grow in every walk below, so a walk may stop at the raster's far edge:
// nothing after it lands in the raster.
void put(Raster* raster, const Vertex& v, int64_t col, int64_t row) {
    if (col >= 0 && col < raster->width && row >= 0 && row < raster->height) {
        raster->pixels[col + row * raster->width] = Colour{v.r, v.g, v.b, v.a};
    }
}

// Rounds toward zero; positions beyond 2^62 either way (far past any raster) come out as 2^62
// with their sign, where a plain cast would be undefined.
int64_t trunc64(float v) {
    constexpr float far = 4611686018427387904.0f;
    return v >= far ? INT64_C(1) << 62 : v <= -far ? -(INT64_C(1) << 62) : static_cast<int64_t>(v);
}

void reference_line(Vertex p, Vertex q, const DrawContext* ctx) {
    map_to_raster(&p, ctx);
    map_to_raster(&q, ctx);
    const bool alongX = std::fabs(q.y - p.y) <= std::fabs(q.x - p.x);
    float Vertex::*major = alongX ? &Vertex::x : &Vertex::y;
    if (q.*major < p.*major) {
        vertex_swap(&p, &q);
    }
    const float span = q.*major - p.*major;
    Vertex step;
    vertex_step(&step, &p, &q, span);
    Vertex cur = p;
    const float farEdge = static_cast<float>(alongX ? ctx->raster->width : ctx->raster->height);
    for (int64_t i = 0; static_cast<float>(i) < span + 0.5f && cur.*major < farEdge; ++i) {
        put(ctx->raster, cur, trunc64(cur.x), trunc64(cur.y));
        vertex_advance(&cur, &step);
    }
}

struct Rows {
    Raster* raster;
    Vertex s;
    Vertex ds;
    Vertex e;
    Vertex de;
    int64_t row;

    void run(float rowEnd) {
        for (; static_cast<double>(row) < static_cast<double>(rowEnd); ++row) {
            if (row >= raster->height) {
                return;
            }
            Vertex p = s;
            Vertex dp;
            vertex_step(&dp, &s, &e, e.x - s.x);
            const int64_t colEnd = trunc64(e.x);
            for (int64_t col = trunc64(s.x); col < colEnd && col < raster->width; ++col) {
                if (row >= 0) {
                    put(raster, p, col, row);
                }
                vertex_advance(&p, &dp);
            }
            vertex_advance(&s, &ds);
            vertex_advance(&e, &de);
        }
    }
};

void reference_triangle(Vertex t1, Vertex t2, Vertex t3, const DrawContext* ctx) {
    if (t1.y == t2.y && t2.y == t3.y) {
        return;
    }
    while (!(t1.y < t3.y && t1.y <= t2.y)) {
        const Vertex first = t1;
        t1 = t2;
        t2 = t3;
        t3 = first;
    }
    map_to_raster(&t1, ctx);
    map_to_raster(&t2, ctx);
    map_to_raster(&t3, ctx);
    Rows rows{ctx->raster, t1, {}, t1, {}, trunc64(t1.y)};
    vertex_step(&rows.ds, &t1, &t3, t3.y - t1.y);
    if (t1.y == t2.y || t2.y == t3.y) {
        if (t2.y == t3.y) {
            vertex_step(&rows.de, &t1, &t2, t2.y - t1.y);
        } else {
            rows.e = t2;
            vertex_step(&rows.de, &t2, &t3, t3.y - t2.y);
        }
        rows.run(t3.y);
        return;
    }
    vertex_step(&rows.de, &t1, &t2, t2.y - t1.y);
    rows.run(std::min(t2.y, t3.y));
    if (t3.y > t2.y) {
        rows.e = t2;
        vertex_step(&rows.de, &t2, &t3, t3.y - t2.y);
        rows.run(t3.y);
    } else {
        rows.s = t3;
        vertex_step(&rows.ds, &t3, &t2, t2.y - t3.y);
        rows.run(t2.y);
    }
}

// The frame of shapes (unclipped) and lines of image, drawn by the rules above.
Raster* reference_frame(int32_t width, int32_t height, const ListObject* shapes,
                        const LineImage* image) {
    Raster* raster = raster_new(width, height);
    raster_fill(raster, Colour{1.0f, 1.0f, 1.0f, 1.0f});
    DrawContext ctx;
    draw_context_init(&ctx, raster, image);
    for (const ObjectNode* node = shapes->head; node != nullptr; node = node->next) {
        const VertexNode* v0 = node->shape->head;
        const int32_t n = node->shape->nmembers;
        if (n == 1) {
            Vertex at = v0->vertex;
            map_to_raster(&at, &ctx);
            put(raster, at, trunc64(at.x), trunc64(at.y));
        } else if (n == 2) {
            reference_line(v0->vertex, v0->next->vertex, &ctx);
        }
        for (const VertexNode* vi = n > 2 ? v0->next : nullptr; vi && vi->next; vi = vi->next) {
            reference_triangle(v0->vertex, vi->vertex, vi->next->vertex, &ctx);
        }
    }
    for (int32_t i = 0; i < image->lineCount; ++i) {
        reference_line(lineimage_line_ends(image, i).a, lineimage_line_ends(image, i).b, &ctx);
    }
    return raster;
}

// The pixels where the renderer's frame differs from the reference's, listed for the failure.
void expect_same_frame(int32_t width, int32_t height, const ListObject* shapes,
                       const LineImage* image) {
    Raster* drawn = frame_draw(nullptr, width, height, shapes, image);
    Raster* wanted = reference_frame(width, height, shapes, image);
    int32_t differing = 0;
    for (int32_t i = 0; i < width * height; ++i) {
        const Colour& d = drawn->pixels[i];
        const Colour& w = wanted->pixels[i];
        if (std::memcmp(&d, &w, sizeof(Colour)) != 0 && ++differing <= 3) {
            ADD_FAILURE() << "column " << i % width << ", row " << i / width << ": drawn (" << d.r
                          << ", " << d.g << ", " << d.b << ", " << d.a << "), by the rules (" << w.r
                          << ", " << w.g << ", " << w.b << ", " << w.a << ")";
        }
    }
    EXPECT_EQ(differing, 0) << "pixels differ from the rules' walk";
    raster_free(drawn);
    raster_free(wanted);
}

// Whether every vertex of the shapes lies where the reference can walk from it: finite, and
// mapped no further left or lower than the walk limit less the widest frame's overshoot (any
// distance right or above: every walk here stops at the raster's far edge).
bool walkable(int32_t width, int32_t height, const ListObject* shapes) {
    Raster* raster = raster_new(width, height);
    DrawContext ctx;
    draw_context_init(&ctx, raster, nullptr);
    bool near = true;
    for (const ObjectNode* node = shapes->head; node != nullptr; node = node->next) {
        for (const VertexNode* v = node->shape->head; v != nullptr; v = v->next) {
            Vertex at = v->vertex;
            map_to_raster(&at, &ctx);
            near = near && std::isfinite(at.x) && std::isfinite(at.y) && at.x > -60000.0f &&
                   at.y > -60000.0f;
        }
    }
    raster_free(raster);
    return near;
}

TEST(Reference, TheRenderCasesWithinTheWalkLimitAreDrawnByTheRules) {
    int32_t checked = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(CLIPDRAW_CASES)) {
        const std::string name = entry.path().stem().string();
        const bool drawing = name.starts_with("fill_") || name.starts_with("line_") ||
                             name.starts_with("far_") || name.starts_with("shape_");
        if (entry.path().extension() != ".txt" || !drawing || name.find('.') != name.npos) {
            continue;
        }
        const std::string path = entry.path().string();
        Config config;
        LineImage image;
        ListObject* shapes = listobject_new(nullptr);
        read_config_file(path.c_str(), &config);
        read_image_file(path.c_str(), &image);
        scenefile_read(path.c_str(), shapes);
        if (walkable(config.windowWidth, config.windowHeight, shapes) && image.lineCount == 0) {
            SCOPED_TRACE(name);
            expect_same_frame(config.windowWidth, config.windowHeight, shapes, &image);
            ++checked;
        }
        listobject_free(shapes);
    }
    EXPECT_GE(checked, 40);
}

ListObject* triangle(Vertex a, Vertex b, Vertex c) {
    ListVertex* shape = listvertex_new(listvertex_node_new(&a));
    listvertex_append(shape, listvertex_node_new(&b));
    listvertex_append(shape, listvertex_node_new(&c));
    return listobject_new(listobject_node_new(shape));
}

// The start walker of this triangle overshoots the middle vertex on the row above the lowest one
// and stands tens of thousands of columns left of the frame; walked there, row 229 starts with
// the colour below.
TEST(Reference, AStartWalkerFarLeftWalksToColumnZero) {
    ListObject* shapes =
        triangle({0.866771698f, 1.74999499f, -0.239655539f, 1.1823926f, 0.773300171f, 0.963711679f},
                 {-0.41993615f, 5.0f, 1.0f, 0.5f, 0.75f, 1.0f},
                 {-4.31837463f, 1.75014925f, -0.77245903f, 3.38794088f, 2.30532169f, 1.0f});
    const LineImage none;
    expect_same_frame(65, 347, shapes, &none);
    Raster* frame = frame_draw(nullptr, 65, 347, shapes, &none);
    const Colour& pixel = frame->pixels[229 * 65];
    EXPECT_EQ(pixel.r, -0.403815269f);
    EXPECT_EQ(pixel.g, 1.81074619f);
    EXPECT_EQ(pixel.b, 1.28302193f);
    EXPECT_EQ(pixel.a, 0.974706173f);
    raster_free(frame);
    listobject_free(shapes);
}

// Small frames, where a view unit is a few pixels, and corners now and then far out.
TEST(Reference, RandomTrianglesReachingFarOutAreDrawnByTheRules) {
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> colour(-1.0f, 4.0f);
    for (int i = 0; i < 400 && !HasFailure(); ++i) {
        const int32_t width = 2 + static_cast<int32_t>(rng() % 90);
        const int32_t height = 2 + static_cast<int32_t>(rng() % 90);
        const auto corner = [&] {
            const float reach = rng() % 5 == 0 ? 2000.0f : 1.5f;
            return Vertex{reach * unit(rng), reach * unit(rng), colour(rng),
                          colour(rng),       colour(rng),       colour(rng)};
        };
        ListObject* shapes = triangle(corner(), corner(), corner());
        if (walkable(width, height, shapes)) {
            SCOPED_TRACE(testing::Message()
                         << "triangle " << i << " in " << width << " x " << height);
            const LineImage none;
            expect_same_frame(width, height, shapes, &none);
        }
        listobject_free(shapes);
    }
}

} // namespace
