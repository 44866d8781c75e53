// The clipper against Boost.Geometry: random convex shapes clipped one line at a time by random
// convex clip polygons, both anticlockwise; a third of them on a grid of eighths, so that corners
// fall exactly on clip lines.
#include "lists/listvertex.h"
#include "render/clip.h"

// No integer rescaling: later Boost versions dropped it, and 1.74's trips -Wmaybe-uninitialized.
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#define BOOST_ALLOW_DEPRECATED_HEADERS
#include <boost/geometry.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

namespace {

namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point, false>; // anticlockwise, closed

constexpr uint32_t kSeed = 20261206;
constexpr int kCases = 3000;
// Float clipping against double geometry: areas within this fraction of the shape's area.
constexpr double kAreaTolerance = 1e-5;
// Colours near 1 interpolated in float: each component within this of the exact field.
constexpr double kColourTolerance = 2e-6;

// From the raw generator, so that a seed gives the same cases with every standard library.
double uniform(std::mt19937& rng, double low, double high) {
    return low + (high - low) * (static_cast<double>(rng()) / 4294967296.0);
}

// The convex hull of random points, well away from degenerate so that a reversed clip polygon
// leaves nothing even after the rounding of every cut.
Polygon random_convex(std::mt19937& rng, bool grid) {
    for (;;) {
        bg::model::multi_point<Point> points;
        const double cx = uniform(rng, -0.6, 0.6);
        const double cy = uniform(rng, -0.6, 0.6);
        const double size = uniform(rng, 0.3, 1.2);
        for (int i = 3 + static_cast<int>(rng() % 8); i > 0; --i) {
            double x = cx + uniform(rng, -size, size);
            double y = cy + uniform(rng, -size, size);
            if (grid) {
                x = std::round(x * 8) / 8;
                y = std::round(y * 8) / 8;
            }
            bg::append(points, Point(static_cast<float>(x), static_cast<float>(y)));
        }
        Polygon hull;
        bg::convex_hull(points, hull);
        if (bg::area(hull) > 0.05) {
            return hull;
        }
    }
}

struct Case {
    double field[4][3]; // colour component k is field[k][0] + field[k][1] x + field[k][2] y
    Polygon shape, clip;

    double colour(int k, double x, double y) const {
        return field[k][0] + field[k][1] * x + field[k][2] * y;
    }
};

// The shape, coloured by the field, clipped by every edge of the clip polygon in turn.
std::vector<Vertex> clip_by(const Case& c, bool reversed) {
    const auto f = [](double value) { return static_cast<float>(value); };
    ListVertex* shape = listvertex_new(nullptr);
    const auto& ring = c.shape.outer();
    for (auto p = ring.begin(); p + 1 != ring.end(); ++p) {
        const double x = p->x(), y = p->y();
        const Vertex v{f(x),
                       f(y),
                       f(c.colour(0, x, y)),
                       f(c.colour(1, x, y)),
                       f(c.colour(2, x, y)),
                       f(c.colour(3, x, y))};
        listvertex_append(shape, listvertex_node_new(&v));
    }
    const auto& edges = c.clip.outer();
    for (auto p = edges.begin(); p + 1 != edges.end(); ++p) {
        const Vertex a{f(p->x()), f(p->y()), 0, 0, 0, 1};
        const Vertex b{f(p[1].x()), f(p[1].y()), 0, 0, 0, 1};
        shape = reversed ? clip_shape(shape, b, a) : clip_shape(shape, a, b);
    }
    std::vector<Vertex> out;
    for (const VertexNode* n = shape != nullptr ? shape->head : nullptr; n != nullptr;
         n = n->next) {
        out.push_back(n->vertex);
    }
    listvertex_free(shape);
    return out;
}

double shoelace(const std::vector<Vertex>& polygon) {
    double twice = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Vertex& p = polygon[i];
        const Vertex& q = polygon[(i + 1) % polygon.size()];
        twice += static_cast<double>(p.x) * q.y - static_cast<double>(q.x) * p.y;
    }
    return twice / 2;
}

// The area left is that of Boost's intersection, every vertex carries the shape's colour field,
// and the clip polygon reversed leaves nothing.
TEST(ClipOracle, MatchesBoostGeometryAndKeepsTheColourField) {
    std::mt19937 rng(kSeed);
    for (int i = 0; i < kCases && !HasFailure(); ++i) {
        Case c;
        for (auto& component : c.field) {
            for (double& coefficient : component) {
                coefficient = uniform(rng, -0.3, 0.3);
            }
            component[0] += 0.5;
        }
        c.shape = random_convex(rng, i % 3 == 0);
        c.clip = random_convex(rng, i % 3 == 0);
        std::ostringstream trace;
        trace.precision(9);
        trace << "seed " << kSeed << ", case " << i << "\n  shape " << bg::wkt(c.shape)
              << "\n  clip " << bg::wkt(c.clip);
        SCOPED_TRACE(trace.str());
        bg::model::multi_polygon<Polygon> expected;
        bg::intersection(c.shape, c.clip, expected);
        const std::vector<Vertex> clipped = clip_by(c, false);
        EXPECT_NEAR(shoelace(clipped), bg::area(expected), kAreaTolerance * bg::area(c.shape));
        for (const Vertex& v : clipped) {
            const float colour[4] = {v.r, v.g, v.b, v.a};
            for (int k = 0; k < 4; ++k) {
                EXPECT_NEAR(colour[k], c.colour(k, v.x, v.y), kColourTolerance)
                    << "at (" << v.x << ", " << v.y << ")";
            }
        }
        EXPECT_EQ(clip_by(c, true).size(), 0u) << "clip polygon reversed";
    }
}

} // namespace
