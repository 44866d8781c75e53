#include "headless/handout.h"

#include <algorithm>
#include <cstddef>

int64_t handout_side(int32_t pixels, int32_t scale, bool grid) {
    const int64_t blocks = static_cast<int64_t>(pixels) * scale;
    return grid ? blocks + pixels - 1 : blocks;
}

Picture handout(const Picture& picture, int32_t scale, bool grid) {
    Picture out;
    out.width = static_cast<int32_t>(handout_side(picture.width, scale, grid));
    out.height = static_cast<int32_t>(handout_side(picture.height, scale, grid));
    out.rgb.assign(3 * static_cast<size_t>(out.width) * static_cast<size_t>(out.height),
                   handoutGrid);
    const int32_t pitch = grid ? scale + 1 : scale; // from one block's start to the next
    for (int32_t y = 0; y < out.height; ++y) {
        if (y % pitch == scale) {
            continue; // a grid line
        }
        const uint8_t* in = picture.rgb.data() + 3 * static_cast<size_t>(y / pitch) * picture.width;
        uint8_t* row = out.rgb.data() + 3 * static_cast<size_t>(y) * out.width;
        for (int32_t x = 0; x < out.width; ++x) {
            if (x % pitch != scale) {
                std::copy_n(in + 3 * static_cast<size_t>(x / pitch), 3, row + 3 * x);
            }
        }
    }
    return out;
}
