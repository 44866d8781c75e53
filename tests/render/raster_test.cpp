// The raster's edges: a size it cannot hold, and the conversion to the bytes of an image file.
#include "render/raster.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// No allocation is even tried for more pixels than an address can count: the raster is 0 x 0,
// which every front end reports as a frame without memory.
TEST(Raster, ASizeBeyondTheAddressSpaceIsEmpty) {
    Raster* raster = raster_new(INT32_MAX, INT32_MAX);
    EXPECT_EQ(raster->width, 0);
    EXPECT_EQ(raster->height, 0);
    EXPECT_EQ(raster->pixels, nullptr);
    EXPECT_EQ(raster_free(raster), nullptr);
}

// Three bytes a pixel, rows top first, each channel as colour_byte gives it: clamped, alpha
// dropped.
TEST(Raster, ToRgb8IsThreeBytesAPixelTopRowFirst) {
    Raster* raster = raster_new(3, 2);
    raster_fill(raster, Colour{1.0f, 1.0f, 1.0f, 1.0f});
    raster_set_pixel(raster, Colour{1.0f, 0.0f, 0.5f, 0.0f}, 0, 0);
    raster_set_pixel(raster, Colour{-1.0f, 2.0f, 0.2f, 1.0f}, 2, 1);
    const std::vector<uint8_t> want = {255, 255, 255, 255, 255, 255, 0,   255, 51,
                                       255, 0,   128, 255, 255, 255, 255, 255, 255};
    EXPECT_EQ(raster_to_rgb8(raster), want);
    raster_free(raster);
}

// Four bytes a pixel, rows top first, every pixel opaque; a span of one row converts as the whole
// frame does.
TEST(Raster, ToRgba8IsFourOpaqueBytesAPixelTopRowFirst) {
    Raster* raster = raster_new(2, 3);
    raster_fill(raster, Colour{0.0f, 0.0f, 0.0f, 0.0f});
    raster_set_pixel(raster, Colour{1.0f, 0.5f, 0.0f, 0.0f}, 1, 0);
    raster_set_pixel(raster, Colour{0.2f, 1.0f, 3.0f, 0.5f}, 0, 2);
    std::vector<uint8_t> rgba(4 * 2 * 3);
    raster_to_rgba8(raster, rgba.data());
    const std::vector<uint8_t> want = {51, 255, 255, 255, 0, 0, 0, 255, 0,   0,   0, 255,
                                       0,  0,   0,   255, 0, 0, 0, 255, 255, 128, 0, 255};
    EXPECT_EQ(rgba, want);
    std::vector<uint8_t> span(4);
    raster_span_to_rgba8(raster, 0, 1, 2, span.data());
    EXPECT_EQ(span, std::vector<uint8_t>(want.end() - 4, want.end()));
    raster_free(raster);
}

} // namespace
