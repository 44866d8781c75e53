// handout: a frame magnified for print, each pixel a block of K x K, so that single pixels can
// be seen, counted and written on.
#pragma once

#include <cstdint>
#include <vector>

// An 8-bit RGB picture, rows top first.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

// The grid's lines are grey, which shows against white, black and every full colour.
inline constexpr uint8_t handoutGrid = 128;

// The side of a picture of `pixels` (at least 1) pixels magnified by scale, with a 1-pixel grid
// line between neighbouring blocks when grid is set.
int64_t handout_side(int32_t pixels, int32_t scale, bool grid);

// picture with each pixel a scale x scale block, and with grid, a grey line between blocks.
Picture handout(const Picture& picture, int32_t scale, bool grid);
