// Properties of the clipper that need no second clipper: random convex shapes of either winding,
// cut by lines through their corners, on a grid of 1/256 where side values are exact.
#include "render/clip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

namespace {

using Polygon = std::vector<Vertex>;

constexpr double kArea = 2e-6;   // areas: within this fraction of the shape (seen: 2.9e-7)
constexpr double kColour = 5e-7; // colours: within this of the field (seen: 8.2e-8)

float on_grid(double v) {
    return static_cast<float>(std::round(v * 256) / 256);
}

// 3 to 10 corners anticlockwise on a circle, apart enough to stay convex on the grid (a quarter
// regular and centred), red 0.5 + x / 4 - y / 8; raw generator output: the same cases everywhere.
Polygon convex(std::mt19937& rng) {
    const auto u = [&rng] { return static_cast<double>(rng()) / 4294967296.0; };
    const bool regular = rng() % 4 == 0; // edges symmetric about the axes
    const double x = regular ? 0 : u() - 0.5;
    const double y = regular ? 0 : u() - 0.5;
    const double r = 0.3 + 0.7 * u();
    const double n = 3 + rng() % 8;
    Polygon p;
    for (int i = 0; i < n; ++i) {
        const double angle = (i + (regular ? 0.5 : u() / 2)) * 2 * std::numbers::pi / n;
        const float px = on_grid(x + r * std::cos(angle));
        const float py = on_grid(y + r * std::sin(angle));
        p.push_back({px, py, 0.5f + px / 4 - py / 8, 0, 0, 1});
    }
    return p;
}

ListVertex* list_of(const Polygon& p) {
    ListVertex* list = listvertex_new(nullptr);
    for (const Vertex& v : p) {
        listvertex_append(list, listvertex_node_new(&v));
    }
    return list;
}

// Takes the list's vertices and releases it; checks that each carries the colour field.
Polygon polygon_of(ListVertex* list) {
    Polygon out;
    for (const VertexNode* n = list != nullptr ? list->head : nullptr; n != nullptr; n = n->next) {
        EXPECT_NEAR(n->vertex.r, 0.5 + n->vertex.x / 4 - n->vertex.y / 8, kColour);
        out.push_back(n->vertex);
    }
    listvertex_free(list);
    return out;
}

Polygon clip(const Polygon& p, const Vertex& a, const Vertex& b) {
    return polygon_of(clip_shape(list_of(p), a, b));
}

// The clipper's walk over a closed polygon of three or more corners, edge by edge from the
// closing one, each edge's chain from clip_edge: what clip_shape builds, shortcut or not.
Polygon walk_edges(const Polygon& p, const Vertex& a, const Vertex& b) {
    ListVertex* shape = list_of(p);
    ListVertex* result = listvertex_new(nullptr);
    const VertexNode* prev = listvertex_tail(shape);
    for (const VertexNode* cur = listvertex_head(shape); cur != nullptr; cur = cur->next) {
        listvertex_append(result, clip_edge(prev, cur, &a, &b));
        prev = cur;
    }
    listvertex_free(shape);
    return polygon_of(result);
}

double area(const Polygon& p) {
    double twice = 0;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        twice += static_cast<double>(p[j].x) * p[i].y - static_cast<double>(p[i].x) * p[j].y;
    }
    return twice / 2;
}

// Exact equality of every field of every vertex, for EXPECT_EQ.
struct Bits {
    Polygon p;
    bool operator==(const Bits& o) const {
        return p.size() == o.p.size() &&
               (p.empty() || std::memcmp(p.data(), o.p.data(), sizeof(Vertex) * p.size()) == 0);
    }
};

void PrintTo(const Bits& bits, std::ostream* out) {
    *out << bits.p.size() << " vertices:";
    for (const Vertex& v : bits.p) {
        *out << " (" << v.x << ", " << v.y << ")";
    }
}

TEST(ClipProperties, HoldForRandomConvexShapesOfEitherWinding) {
    std::mt19937 rng(20261206);
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const Polygon ccw = convex(rng);
        const Polygon by = convex(rng);
        Polygon s = i % 2 != 0 ? Polygon(ccw.rbegin(), ccw.rend()) : ccw;
        const Vertex a = s[rng() % s.size()];
        const Vertex b = by[0];
        const double tolerance = kArea * area(ccw);
        // The two sides of a line part the shape between them; a second cut changes nothing.
        EXPECT_NEAR(area(clip(s, a, b)) + area(clip(s, b, a)), area(s), tolerance);
        EXPECT_NEAR(area(clip(clip(s, a, b), a, b)), area(clip(s, a, b)), tolerance);
        // clip_shape gives what its edge walk gives, whether or not the line keeps everything.
        EXPECT_EQ(Bits{clip(s, a, b)}, Bits{walk_edges(s, a, b)});
        // Every edge run anticlockwise keeps the whole shape, and the walk rebuilds it vertex
        // for vertex; run clockwise, only its edge.
        for (size_t k = 0; k < s.size(); ++k) {
            const Vertex& u = ccw[k];
            const Vertex& v = ccw[(k + 1) % s.size()];
            EXPECT_EQ(Bits{clip(s, u, v)}, Bits{s});
            EXPECT_EQ(Bits{walk_edges(s, u, v)}, Bits{s});
            EXPECT_NEAR(area(clip(s, v, u)), 0.0, tolerance);
        }
        for (size_t k = 0; k < by.size() && !s.empty(); ++k) {
            s = clip(s, by[(k + 1) % by.size()], by[k]);
        }
        EXPECT_TRUE(s.empty()) << "a clockwise clip polygon keeps " << s.size() << " vertices";
    }
}

// A segment through the grid against a random line: clip_segment's chain is what clip_shape
// leaves of the two-member shape, and the ends stay in their order.
TEST(ClipProperties, ASegmentIsClippedAsClipShapeClipsATwoMemberShape) {
    std::mt19937 rng(20261207);
    const auto corner = [&rng] {
        const auto u = [&rng] { return static_cast<double>(rng()) / 4294967296.0 * 2 - 1; };
        const float x = on_grid(u());
        const float y = on_grid(u());
        return Vertex{x, y, 0.5f + x / 4 - y / 8, 0, 0, 1};
    };
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const Polygon segment{corner(), corner()};
        const Vertex a = corner();
        const Vertex b = corner();
        ListVertex* ends = list_of(segment);
        ListVertex* chain = listvertex_new(nullptr);
        listvertex_append(chain, clip_segment(ends->head, ends->head->next, &a, &b));
        listvertex_free(ends);
        const Polygon byChain = polygon_of(chain);
        EXPECT_EQ(Bits{byChain}, Bits{clip(segment, a, b)});
        EXPECT_TRUE(byChain.empty() || byChain.size() == 2) << byChain.size() << " vertices";
    }
}

} // namespace
