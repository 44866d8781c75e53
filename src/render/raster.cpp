#include "render/raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>

namespace {

size_t pixel_count(const Raster* raster) {
    return static_cast<size_t>(raster->width) * static_cast<size_t>(raster->height);
}

} // namespace

Raster* raster_new(int32_t width, int32_t height) {
    Raster* raster = new Raster{nullptr, std::max(width, 0), std::max(height, 0)};
    const size_t count = pixel_count(raster);
    // Left uninitialised: every frame fills its raster before drawing. A window too large for
    // the memory at hand gets an empty raster rather than ending the program.
    if (count <= PTRDIFF_MAX / sizeof(Colour)) {
        raster->pixels = new (std::nothrow) Colour[count];
    }
    if (raster->pixels == nullptr) {
        raster->width = 0;
        raster->height = 0;
    }
    return raster;
}

void raster_set_pixel(Raster* raster, Colour colour, int32_t column, int32_t row) {
    if (column < 0 || column >= raster->width || row < 0 || row >= raster->height) {
        return;
    }
    raster->pixels[static_cast<size_t>(column) +
                   static_cast<size_t>(row) * static_cast<size_t>(raster->width)] = colour;
}

void raster_fill(Raster* raster, Colour colour) {
    std::fill_n(raster->pixels, pixel_count(raster), colour);
}

std::vector<uint8_t> raster_to_rgb8(const Raster* raster) {
    const auto byte = [](float c) {
        return static_cast<uint8_t>(c > 0.0f ? std::nearbyint(std::min(c, 1.0f) * 255.0f) : 0.0f);
    };
    std::vector<uint8_t> rgb;
    rgb.reserve(3 * pixel_count(raster));
    for (int32_t row = raster->height - 1; row >= 0; --row) {
        const Colour* pixel = raster->pixels + static_cast<size_t>(row) * raster->width;
        for (int32_t col = 0; col < raster->width; ++col, ++pixel) {
            rgb.insert(rgb.end(), {byte(pixel->r), byte(pixel->g), byte(pixel->b)});
        }
    }
    return rgb;
}

Raster* raster_free(Raster* raster) {
    if (raster == nullptr) {
        return nullptr;
    }
    delete[] raster->pixels;
    delete raster;
    return nullptr;
}
