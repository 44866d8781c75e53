// The clipper against an independent oracle: random convex shapes clipped one line at a time by
// random convex clip polygons, compared with Boost.Geometry's polygon intersection.
#include "lists/listvertex.h"
#include "render/clip.h"

// Intersections without Boost's integer rescaling, which later Boost versions dropped as well,
// and whose code in 1.74 trips -Wmaybe-uninitialized; and no notes about Boost's own headers.
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#define BOOST_ALLOW_DEPRECATED_HEADERS
#include <boost/geometry.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point, false>; // anticlockwise, closed
using MultiPolygon = bg::model::multi_polygon<Polygon>;

constexpr uint32_t seed = 20261206;
constexpr int caseCount = 3000;
// Float clipping against double geometry: areas agree to this fraction of the shape's area.
constexpr double areaTolerance = 1e-5;
// Colours near 1 interpolated in float: each component within this of the exact field.
constexpr double colourTolerance = 2e-6;

// A colour field affine in x and y, one per case: r = c[0] + c[1] x + c[2] y, and so on.
struct ColourField {
    double c[4][3];

    double at(int component, double x, double y) const {
        return c[component][0] + c[component][1] * x + c[component][2] * y;
    }
};

struct Case {
    std::vector<Vertex> shape; // anticlockwise, convex
    std::vector<Vertex> clip;  // anticlockwise, convex
    ColourField field;
};

// Portable draws from the raw generator, so a seed gives the same cases everywhere.
double uniform(std::mt19937& rng, double low, double high) {
    return low + (high - low) * (static_cast<double>(rng()) / 4294967296.0);
}

// The convex hull of random points, anticlockwise and without collinear corners. On the grid of
// eighths, corners of one polygon fall exactly on the other's lines.
std::vector<Point> random_convex(std::mt19937& rng, bool grid) {
    for (;;) {
        bg::model::multi_point<Point> points;
        const double cx = uniform(rng, -0.6, 0.6);
        const double cy = uniform(rng, -0.6, 0.6);
        const double size = uniform(rng, 0.3, 1.2);
        const int n = 3 + static_cast<int>(rng() % 8);
        for (int i = 0; i < n; ++i) {
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
        // Well away from degenerate, so that a reversed clip polygon leaves nothing even after
        // the rounding of every cut.
        if (bg::area(hull) > 0.05) {
            const auto& ring = hull.outer();
            return std::vector<Point>(ring.begin(), ring.end() - 1);
        }
    }
}

Case make_case(std::mt19937& rng, int index) {
    Case c;
    for (auto& component : c.field.c) {
        for (double& coefficient : component) {
            coefficient = uniform(rng, -0.3, 0.3);
        }
        component[0] += 0.5;
    }
    const bool grid = index % 3 == 0;
    for (const Point& p : random_convex(rng, grid)) {
        const double x = p.x();
        const double y = p.y();
        c.shape.push_back(
            {static_cast<float>(x), static_cast<float>(y), static_cast<float>(c.field.at(0, x, y)),
             static_cast<float>(c.field.at(1, x, y)), static_cast<float>(c.field.at(2, x, y)),
             static_cast<float>(c.field.at(3, x, y))});
    }
    for (const Point& p : random_convex(rng, grid)) {
        c.clip.push_back({static_cast<float>(p.x()), static_cast<float>(p.y()), 0, 0, 0, 1});
    }
    return c;
}

std::string describe(const std::vector<Vertex>& polygon) {
    std::ostringstream out;
    out.precision(9);
    for (const Vertex& v : polygon) {
        out << " (" << v.x << ", " << v.y << ")";
    }
    return out.str();
}

std::string describe(int index, const Case& c) {
    return "seed " + std::to_string(seed) + ", case " + std::to_string(index) +
           "\n  shape:" + describe(c.shape) + "\n  clip:" + describe(c.clip);
}

// The shape clipped by every edge of the clip polygon, taken in the given direction.
std::vector<Vertex> clip_by(const Case& c, bool reversed) {
    ListVertex* shape = listvertex_new(nullptr);
    for (const Vertex& v : c.shape) {
        listvertex_append(shape, listvertex_node_new(&v));
    }
    const size_t n = c.clip.size();
    for (size_t i = 0; i < n; ++i) {
        const Vertex& a = c.clip[i];
        const Vertex& b = c.clip[(i + 1) % n];
        shape = reversed ? clip_shape(shape, b, a) : clip_shape(shape, a, b);
    }
    std::vector<Vertex> out;
    if (shape != nullptr) {
        for (const VertexNode* node = shape->head; node != nullptr; node = node->next) {
            out.push_back(node->vertex);
        }
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

Polygon to_boost(const std::vector<Vertex>& polygon) {
    Polygon out;
    for (const Vertex& v : polygon) {
        bg::append(out, Point(v.x, v.y));
    }
    bg::correct(out);
    return out;
}

class ClipOracle : public testing::Test {
  protected:
    void SetUp() override {
        std::mt19937 rng(seed);
        for (int i = 0; i < caseCount; ++i) {
            cases.push_back(make_case(rng, i));
        }
    }

    std::vector<Case> cases;
};

TEST_F(ClipOracle, AreaEqualsTheIntersectionOfShapeAndClipPolygon) {
    for (int i = 0; i < caseCount && !HasFailure(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(describe(i, c));
        MultiPolygon expected;
        bg::intersection(to_boost(c.shape), to_boost(c.clip), expected);
        const double tolerance = areaTolerance * shoelace(c.shape);
        EXPECT_NEAR(shoelace(clip_by(c, false)), bg::area(expected), tolerance);
    }
}

TEST_F(ClipOracle, ClockwiseClipPolygonLeavesNothing) {
    for (int i = 0; i < caseCount && !HasFailure(); ++i) {
        SCOPED_TRACE(describe(i, cases[i]));
        EXPECT_EQ(clip_by(cases[i], true).size(), 0u);
    }
}

TEST_F(ClipOracle, EveryVertexCarriesTheShapesLinearColourField) {
    for (int i = 0; i < caseCount && !HasFailure(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(describe(i, c));
        for (const Vertex& v : clip_by(c, false)) {
            SCOPED_TRACE(describe({v}));
            const float colour[4] = {v.r, v.g, v.b, v.a};
            for (int k = 0; k < 4; ++k) {
                EXPECT_NEAR(colour[k], c.field.at(k, v.x, v.y), colourTolerance);
            }
        }
    }
}

} // namespace
