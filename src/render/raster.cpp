#include "render/raster.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>

namespace {

size_t pixel_count(const Raster* raster) {
    return static_cast<size_t>(raster->width) * static_cast<size_t>(raster->height);
}

// Rows top first, r, g and b of each pixel, then 255 when the pixel has four bytes.
template <int channels> void to_bytes(const Raster* raster, uint8_t* out) {
    for (int32_t row = raster->height - 1; row >= 0; --row) {
        const Colour* pixel = raster->pixels + static_cast<size_t>(row) * raster->width;
        for (int32_t col = 0; col < raster->width; ++col, ++pixel, out += channels) {
            out[0] = colour_byte(pixel->r);
            out[1] = colour_byte(pixel->g);
            out[2] = colour_byte(pixel->b);
            if constexpr (channels == 4) {
                out[3] = 255;
            }
        }
    }
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
    std::vector<uint8_t> rgb(3 * pixel_count(raster));
    to_bytes<3>(raster, rgb.data());
    return rgb;
}

void raster_to_rgba8(const Raster* raster, uint8_t* rgba) {
    to_bytes<4>(raster, rgba);
}

Raster* raster_free(Raster* raster) {
    if (raster == nullptr) {
        return nullptr;
    }
    delete[] raster->pixels;
    delete raster;
    return nullptr;
}
