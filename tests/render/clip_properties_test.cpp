// Properties of the clipper that need no second clipper: random convex shapes of either winding,
// cut by lines through their corners, on a grid of 1/256 where side values are exact.
#include "render/clip.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <vector>

using Polygon = std::vector<Vertex>;
constexpr double kArea = 2e-6;   // areas: within this fraction of the shape (seen: 2.9e-7)
constexpr double kColour = 5e-7; // colours: within this of the field (seen: 8.2e-8)

// 3 to 10 corners anticlockwise on a circle, apart enough to stay convex on the grid (a quarter
// regular and centred), red 0.5 + x / 4 - y / 8; raw generator output: the same cases everywhere.
static Polygon convex(std::mt19937& rng) {
    const auto u = [&rng] { return static_cast<double>(rng()) / 4294967296.0; };
    const auto grid = [](double v) { return static_cast<float>(std::round(v * 256) / 256); };
    const bool regular = rng() % 4 == 0; // edges symmetric about the axes
    const double x = regular ? 0 : u() - 0.5, y = regular ? 0 : u() - 0.5, r = 0.3 + 0.7 * u();
    const double n = 3 + rng() % 8;
    Polygon p;
    for (int i = 0; i < n; ++i) {
        const double angle = (i + (regular ? 0.5 : u() / 2)) * 2 * std::numbers::pi / n;
        const float px = grid(x + r * std::cos(angle)), py = grid(y + r * std::sin(angle));
        p.push_back({px, py, 0.5f + px / 4 - py / 8, 0, 0, 1});
    }
    return p;
}

// Clips a copy of p, checking that every vertex of the result carries the colour field.
static Polygon clip(const Polygon& p, const Vertex& a, const Vertex& b) {
    ListVertex* list = listvertex_new(nullptr);
    for (const Vertex& v : p)
        listvertex_append(list, listvertex_node_new(&v));
    list = clip_shape(list, a, b);
    Polygon out;
    for (const VertexNode* n = list != nullptr ? list->head : nullptr; n != nullptr; n = n->next) {
        EXPECT_NEAR(n->vertex.r, 0.5 + n->vertex.x / 4 - n->vertex.y / 8, kColour);
        out.push_back(n->vertex);
    }
    listvertex_free(list);
    return out;
}
static double area(const Polygon& p) {
    double twice = 0;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
        twice += static_cast<double>(p[j].x) * p[i].y - static_cast<double>(p[i].x) * p[j].y;
    return twice / 2;
}
TEST(ClipProperties, HoldForRandomConvexShapesOfEitherWinding) {
    std::mt19937 rng(20261206);
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        Polygon ccw = convex(rng), by = convex(rng),
                s = i % 2 ? Polygon(ccw.rbegin(), ccw.rend()) : ccw;
        const Vertex a = s[rng() % s.size()], b = by[0];
        EXPECT_NEAR(area(clip(s, a, b)) + area(clip(s, b, a)), area(s), kArea * area(ccw));
        EXPECT_NEAR(area(clip(clip(s, a, b), a, b)), area(clip(s, a, b)), kArea * area(ccw));
        // Every edge run anticlockwise keeps the whole shape unchanged; run clockwise, its edge.
        for (size_t k = 0; k < s.size(); ++k) {
            const Vertex &u = ccw[k], &v = ccw[(k + 1) % s.size()];
            const Polygon kept = clip(s, u, v);
            EXPECT_TRUE(kept.size() == s.size() &&
                        !std::memcmp(kept.data(), s.data(), sizeof(Vertex) * s.size()));
            EXPECT_NEAR(area(clip(s, v, u)), 0.0, kArea * area(ccw));
        }
        for (size_t k = 0; k < by.size() && !s.empty(); ++k)
            s = clip(s, by[(k + 1) % by.size()], by[k]);
        EXPECT_TRUE(s.empty()) << "a clockwise clip polygon keeps something";
    }
}
