// Invariants of the triangle fill over random triangles whose corners lie on whole raster units.
//
// This binary brings its own raster module in place of the library's, so that every call of
// raster_set_pixel is logged: a pixel written twice looks the same in the frame as one written
// once, so only the calls can show it. raster.o is then never taken from the library archive.
#include "render/drawcontext.h"
#include "render/fill.h"
#include "render/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

struct Write {
    int32_t column;
    int32_t row;
};

namespace {
std::vector<Write> writes;
}

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

constexpr uint32_t seed = 4242;
// The corners' colours lie between 0 and 1, so no written pixel holds this.
constexpr Colour sentinel{-1.0f, -1.0f, -1.0f, -1.0f};

struct Corner {
    int32_t column;
    int32_t row;
};

// A square raster of side 2^k + 1 with both extents 2 maps view (x, y) exactly to
// ((x + 1) * 2^(k-1), (y + 1) * 2^(k-1)), so whole raster units stay whole.
class FillInvariant : public testing::TestWithParam<int32_t> {
  protected:
    void SetUp() override {
        side = GetParam();
        // Every case compares whole frames, so the big raster gets fewer of them.
        caseCount = side < 100 ? 2000 : 500;
        raster = raster_new(side, side);
        ctx = DrawContext{raster, &image, 2.0f, 2.0f};
    }
    void TearDown() override { raster = raster_free(raster); }

    // Each corner's colour follows from its position, so reordering the corners changes nothing.
    Vertex at(Corner c) const {
        const float half = static_cast<float>(side - 1) / 2;
        const float r = static_cast<float>(c.column) / static_cast<float>(side - 1);
        const float g = static_cast<float>(c.row) / static_cast<float>(side - 1);
        return Vertex{c.column / half - 1, c.row / half - 1, r, g, 1 - r, 1.0f};
    }

    // Fills the triangle on a sentinel raster and returns the logged writes.
    std::vector<Write> fill(Corner p, Corner q, Corner s) {
        raster_fill(raster, sentinel);
        writes.clear();
        fill_triangle(at(p), at(q), at(s), &ctx);
        return writes;
    }

    int changed_pixels() const {
        int count = 0;
        for (int32_t i = 0; i < side * side; ++i) {
            count += std::memcmp(&raster->pixels[i], &sentinel, sizeof(Colour)) != 0;
        }
        return count;
    }

    void keep_picture() { kept.assign(raster->pixels, raster->pixels + side * side); }

    int pixels_unlike_kept() const {
        int count = 0;
        for (size_t i = 0; i < kept.size(); ++i) {
            count += std::memcmp(&raster->pixels[i], &kept[i], sizeof(Colour)) != 0;
        }
        return count;
    }

    int32_t side = 0;
    int caseCount = 0;
    Raster* raster = nullptr;
    std::vector<Colour> kept;
    LineImage image;
    DrawContext ctx{};
};

struct Triangle {
    Corner p, q, s;
};

Triangle random_triangle(std::mt19937& rng, int32_t side) {
    // Small triangles are common in the big raster too, where the fill rule's edges matter most.
    const int32_t span = rng() % 2 == 0 ? side : std::min(side, 9);
    const int32_t shiftX = static_cast<int32_t>(rng() % (side - span + 1));
    const int32_t shiftY = static_cast<int32_t>(rng() % (side - span + 1));
    const auto corner = [&] {
        const int32_t column = static_cast<int32_t>(rng() % span) + shiftX;
        return Corner{column, static_cast<int32_t>(rng() % span) + shiftY};
    };
    const Corner p = corner();
    const Corner q = corner();
    return Triangle{p, q, corner()};
}

int64_t twice_signed_area(Corner p, Corner q, Corner s) {
    return static_cast<int64_t>(q.column - p.column) * (s.row - p.row) -
           static_cast<int64_t>(q.row - p.row) * (s.column - p.column);
}

double perimeter(Corner p, Corner q, Corner s) {
    const auto length = [](Corner a, Corner b) {
        return std::hypot(static_cast<double>(a.column - b.column), a.row - b.row);
    };
    return length(p, q) + length(q, s) + length(s, p);
}

std::string describe(int index, Corner p, Corner q, Corner s) {
    const auto corner = [](Corner c) {
        return "(" + std::to_string(c.column) + ", " + std::to_string(c.row) + ")";
    };
    return "seed " + std::to_string(seed) + ", case " + std::to_string(index) + ": " + corner(p) +
           " " + corner(q) + " " + corner(s);
}

// Anticlockwise triangles, and triangles with all three corners on one line, which write at most
// the few pixels that the rounding of the walkers leaves.
TEST_P(FillInvariant, TrianglesStayInTheirBoxWriteEachPixelOnceAndCoverTheirArea) {
    std::mt19937 rng(seed + side);
    for (int i = 0; i < caseCount && !HasFailure(); ++i) {
        auto [p, q, s] = random_triangle(rng, side);
        if (i % 8 == 0) {
            s = Corner{std::clamp(2 * q.column - p.column, 0, side - 1),
                       std::clamp(2 * q.row - p.row, 0, side - 1)};
        }
        if (twice_signed_area(p, q, s) < 0) {
            std::swap(p, q);
        }
        SCOPED_TRACE(describe(i, p, q, s));

        const std::vector<Write> written = fill(p, q, s);
        const int32_t left = std::min({p.column, q.column, s.column});
        const int32_t right = std::max({p.column, q.column, s.column});
        const int32_t bottom = std::min({p.row, q.row, s.row});
        const int32_t top = std::max({p.row, q.row, s.row});
        std::map<std::pair<int32_t, int32_t>, int> count;
        for (const Write& w : written) {
            // The rightmost column and the top row are never written.
            ASSERT_GE(w.column, left);
            ASSERT_LT(w.column, right);
            ASSERT_GE(w.row, bottom);
            ASSERT_LT(w.row, top);
            const std::pair<int32_t, int32_t> pixel{w.column, w.row};
            EXPECT_EQ(++count[pixel], 1)
                << "pixel (" << w.column << ", " << w.row << ") written again";
        }
        // Every change to the frame went through raster_set_pixel, so the log is complete.
        EXPECT_EQ(changed_pixels(), static_cast<int>(written.size()));

        const double area = static_cast<double>(twice_signed_area(p, q, s)) / 2;
        const double edge = perimeter(p, q, s);
        EXPECT_LE(static_cast<double>(written.size()), area + edge);
        EXPECT_GE(static_cast<double>(written.size()), area - edge);

        // The fill starts from the lowest corner whichever corner comes first.
        keep_picture();
        fill(q, s, p);
        EXPECT_EQ(pixels_unlike_kept(), 0);
    }
}

TEST_P(FillInvariant, ClockwiseTrianglesWriteNothing) {
    std::mt19937 rng(seed + side);
    int tested = 0;
    for (int i = 0; i < caseCount && !HasFailure(); ++i) {
        auto [p, q, s] = random_triangle(rng, side);
        if (twice_signed_area(p, q, s) == 0) {
            continue;
        }
        if (twice_signed_area(p, q, s) > 0) {
            std::swap(p, q);
        }
        SCOPED_TRACE(describe(i, p, q, s));
        ++tested;
        EXPECT_EQ(fill(p, q, s).size(), 0u);
        EXPECT_EQ(changed_pixels(), 0);
    }
    EXPECT_GT(tested, caseCount / 2);
}

INSTANTIATE_TEST_SUITE_P(Rasters, FillInvariant, testing::Values(17, 257),
                         [](const testing::TestParamInfo<int32_t>& info) {
                             return "Side" + std::to_string(info.param);
                         });

} // namespace
