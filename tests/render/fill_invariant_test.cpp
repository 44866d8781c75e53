// Invariants of the triangle fill over random triangles whose corners lie on whole raster units.
//
// This binary brings its own raster module in place of the library's and logs every call of
// raster_set_pixel: a pixel written twice looks the same in the frame as one written once, so
// only the calls can show it. raster.o is then never taken from the library archive.
#include "render/drawcontext.h"
#include "render/fill.h"
#include "render/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {
struct Write {
    int32_t column, row;
};
std::vector<Write> writes;
} // namespace

Raster* raster_new(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    return new Raster{new Colour[static_cast<size_t>(width) * height], width, height};
}

void raster_set_pixel(Raster* raster, Colour colour, int32_t column, int32_t row) {
    writes.push_back({column, row});
    if (column >= 0 && column < raster->width && row >= 0 && row < raster->height) {
        raster->pixels[column + static_cast<size_t>(row) * raster->width] = colour;
    }
}

void raster_fill(Raster* raster, Colour colour) {
    std::fill_n(raster->pixels, static_cast<size_t>(raster->width) * raster->height, colour);
}

Raster* raster_free(Raster* raster) {
    if (raster != nullptr) {
        delete[] raster->pixels;
        delete raster;
    }
    return nullptr;
}

namespace {

constexpr uint32_t kSeed = 4242;
// The corners' colours lie between 0 and 1, so no written pixel holds this.
constexpr Colour kSentinel{-1.0f, -1.0f, -1.0f, -1.0f};

struct Corner {
    int32_t column, row;
};

int64_t twice_area(Corner p, Corner q, Corner s) {
    return static_cast<int64_t>(q.column - p.column) * (s.row - p.row) -
           static_cast<int64_t>(q.row - p.row) * (s.column - p.column);
}

// A square raster of side 2^k + 1 with both extents 2 maps view (x, y) exactly to
// ((x + 1) * 2^(k-1), (y + 1) * 2^(k-1)), so whole raster units stay whole.
class FillInvariant : public testing::TestWithParam<int32_t> {
  protected:
    void TearDown() override { raster_free(raster); }

    // Fills the triangle on a sentinel raster, logging its writes; returns the pixels changed.
    // Each corner's colour follows from its position, so the order of the corners does not
    // change it.
    int fill(Corner p, Corner q, Corner s) {
        const auto at = [this](Corner c) {
            const float last = static_cast<float>(side - 1);
            const float r = static_cast<float>(c.column) / last;
            const float g = static_cast<float>(c.row) / last;
            return Vertex{c.column / (last / 2) - 1, c.row / (last / 2) - 1, r, g, 1 - r, 1.0f};
        };
        raster_fill(raster, kSentinel);
        writes.clear();
        fill_triangle(at(p), at(q), at(s), &ctx);
        int changed = 0;
        for (int32_t i = 0; i < side * side; ++i) {
            changed += std::memcmp(&raster->pixels[i], &kSentinel, sizeof(Colour)) != 0;
        }
        return changed;
    }

    const int32_t side = GetParam();
    std::mt19937 rng{kSeed + static_cast<uint32_t>(side)};
    Raster* raster = raster_new(side, side);
    DrawContext ctx{raster, nullptr, 2.0f, 2.0f};
};

// Anticlockwise triangles, and every eighth with its three corners on one line, which write at
// most the few pixels that the rounding of the walkers leaves; the same corners clockwise write
// nothing. Small triangles are common in the big raster too, where the fill rule's edges matter
// most; every case compares whole frames, so the big raster gets fewer of them.
TEST_P(FillInvariant, RandomTrianglesFillTheirBoxOnceAndClockwiseOnesNothing) {
    for (int i = 0; i < (side < 100 ? 2000 : 500) && !HasFailure(); ++i) {
        const int32_t span = rng() % 2 == 0 ? side : std::min(side, 9);
        const int32_t shiftX = static_cast<int32_t>(rng() % (side - span + 1));
        const int32_t shiftY = static_cast<int32_t>(rng() % (side - span + 1));
        Corner t[3];
        for (Corner& c : t) {
            c.column = static_cast<int32_t>(rng() % span) + shiftX;
            c.row = static_cast<int32_t>(rng() % span) + shiftY;
        }
        auto [p, q, s] = t;
        if (i % 8 == 0) {
            s = Corner{std::clamp(2 * q.column - p.column, 0, side - 1),
                       std::clamp(2 * q.row - p.row, 0, side - 1)};
        }
        if (twice_area(p, q, s) < 0) {
            std::swap(p, q);
        }
        SCOPED_TRACE(testing::Message() << "seed " << kSeed << ", case " << i << ": (" << p.column
                                        << ", " << p.row << ") (" << q.column << ", " << q.row
                                        << ") (" << s.column << ", " << s.row << ")");
        if (twice_area(p, q, s) > 0) {
            EXPECT_EQ(fill(q, p, s), 0) << "clockwise";
            EXPECT_EQ(writes.size(), 0u) << "clockwise";
        }
        const int changed = fill(p, q, s);
        std::vector<int> count(static_cast<size_t>(side) * side);
        for (const Write& w : writes) {
            // The rightmost column and the top row are never written.
            ASSERT_GE(w.column, std::min({p.column, q.column, s.column}));
            ASSERT_LT(w.column, std::max({p.column, q.column, s.column}));
            ASSERT_GE(w.row, std::min({p.row, q.row, s.row}));
            ASSERT_LT(w.row, std::max({p.row, q.row, s.row}));
            EXPECT_EQ(++count[w.column + static_cast<size_t>(w.row) * side], 1)
                << "pixel (" << w.column << ", " << w.row << ") written again";
        }
        // Every change to the frame went through raster_set_pixel, so the log is complete.
        EXPECT_EQ(changed, std::ssize(writes));
        const auto length = [](Corner a, Corner b) {
            return std::hypot(static_cast<double>(a.column - b.column), a.row - b.row);
        };
        const double area = static_cast<double>(twice_area(p, q, s)) / 2;
        const double perimeter = length(p, q) + length(q, s) + length(s, p);
        EXPECT_LE(changed, area + perimeter);
        EXPECT_GE(changed, area - perimeter);

        const std::vector<Colour> kept(raster->pixels, raster->pixels + side * side);
        fill(q, s, p);
        EXPECT_EQ(std::memcmp(raster->pixels, kept.data(), kept.size() * sizeof(Colour)), 0)
            << "another first corner, another picture";
    }
}

INSTANTIATE_TEST_SUITE_P(Rasters, FillInvariant, testing::Values(17, 257),
                         [](const testing::TestParamInfo<int32_t>& info) {
                             return "Side" + std::to_string(info.param);
                         });

} // namespace
