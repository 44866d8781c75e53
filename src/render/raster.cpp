#include "render/raster.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

namespace {

size_t pixel_count(const Raster* raster) {
    return static_cast<size_t>(raster->width) * static_cast<size_t>(raster->height);
}

// r, g and b, then 255 when the pixel has four bytes.
template <int channels> void pixel_to_bytes(const Colour& pixel, uint8_t* out) {
    out[0] = colour_byte(pixel.r);
    out[1] = colour_byte(pixel.g);
    out[2] = colour_byte(pixel.b);
    if constexpr (channels == 4) {
        out[3] = 255;
    }
}

#ifdef __wasm_simd128__
// In the browser the conversion runs once a frame over every pixel, and there scalar code takes
// as long as the frame pass. Four pixels at a time, exactly as colour_byte: the clamp's
// pseudo-maximum sends NaN to 0 as its comparison does, and adding 2^23 to c x 255 rounds it to
// the nearest whole number, halves to even, which then stands in the float's lowest byte.
void row_to_rgba8(const Colour* pixel, int32_t count, uint8_t* out) {
    const v128_t zero = wasm_f32x4_splat(0.0f);
    const v128_t one = wasm_f32x4_splat(1.0f);
    const v128_t scale = wasm_f32x4_splat(255.0f);
    const v128_t round = wasm_f32x4_splat(0x1p23f);
    const v128_t opaque = wasm_u32x4_splat(0xff000000u); // the fourth byte of each pixel
    int32_t col = 0;
    for (; col + 4 <= count; col += 4, pixel += 4, out += 16) {
        v128_t lanes[4];
        for (int i = 0; i < 4; ++i) {
            const v128_t c = wasm_f32x4_pmin(one, wasm_f32x4_pmax(zero, wasm_v128_load(pixel + i)));
            lanes[i] = wasm_f32x4_add(wasm_f32x4_mul(c, scale), round);
        }
        const v128_t low = wasm_i8x16_shuffle(lanes[0], lanes[1], 0, 4, 8, 12, 16, 20, 24, 28, 0, 0,
                                              0, 0, 0, 0, 0, 0);
        const v128_t high = wasm_i8x16_shuffle(lanes[2], lanes[3], 0, 4, 8, 12, 16, 20, 24, 28, 0,
                                               0, 0, 0, 0, 0, 0, 0);
        const v128_t bytes =
            wasm_i8x16_shuffle(low, high, 0, 1, 2, 3, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21, 22, 23);
        wasm_v128_store(out, wasm_v128_or(bytes, opaque));
    }
    for (; col < count; ++col, ++pixel, out += 4) {
        pixel_to_bytes<4>(*pixel, out);
    }
}
#endif

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
    uint8_t* out = rgb.data();
    for (int32_t row = raster->height - 1; row >= 0; --row) {
        const Colour* pixel = raster->pixels + static_cast<size_t>(row) * raster->width;
        for (int32_t col = 0; col < raster->width; ++col, ++pixel, out += 3) {
            pixel_to_bytes<3>(*pixel, out);
        }
    }
    return rgb;
}

void raster_to_rgba8(const Raster* raster, uint8_t* rgba) {
    const size_t rowBytes = 4 * static_cast<size_t>(raster->width);
    for (int32_t row = raster->height - 1; row >= 0; --row, rgba += rowBytes) {
        raster_span_to_rgba8(raster, row, 0, raster->width, rgba);
    }
}

void raster_span_to_rgba8(const Raster* raster, int32_t row, int32_t colStart, int32_t colEnd,
                          uint8_t* rgba) {
    const Colour* pixel = raster->pixels + static_cast<size_t>(row) * raster->width + colStart;
#ifdef __wasm_simd128__
    row_to_rgba8(pixel, colEnd - colStart, rgba);
#else
    for (int32_t col = colStart; col < colEnd; ++col, ++pixel, rgba += 4) {
        pixel_to_bytes<4>(*pixel, rgba);
    }
#endif
}

namespace {
constexpr uint32_t unwrittenBits = 0x7fe5a5a5u; // quiet, so that no copy of it changes it
} // namespace

Colour raster_unwritten() {
    float mark;
    std::memcpy(&mark, &unwrittenBits, sizeof mark);
    return Colour{mark, mark, mark, mark};
}

bool raster_written(const Colour& pixel) {
    const Colour mark = raster_unwritten();
    return std::memcmp(&pixel, &mark, sizeof mark) != 0;
}

Raster* raster_free(Raster* raster) {
    if (raster == nullptr) {
        return nullptr;
    }
    delete[] raster->pixels;
    delete raster;
    return nullptr;
}
