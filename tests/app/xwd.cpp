#include "xwd.h"

#include <bit>

namespace {

// The header's fields are 32-bit words, written most significant byte first whatever the
// byte order of the pixels.
enum HeaderField {
    headerSize,
    fileVersion,
    pixmapFormat,
    pixmapDepth,
    pixmapWidth,
    pixmapHeight,
    xOffset,
    byteOrder,
    bitmapUnit,
    bitmapBitOrder,
    bitmapPad,
    bitsPerPixel,
    bytesPerLine,
    visualClass,
    redMask,
    greenMask,
    blueMask,
    bitsPerRgb,
    colormapEntries,
    colourCount,
    fieldCount = 25
};

constexpr uint32_t zPixmap = 2;
constexpr uint32_t trueColour = 4;
constexpr size_t colourEntrySize = 12;

uint32_t big_endian_word(std::string_view bytes, size_t offset) {
    uint32_t word = 0;
    for (size_t i = 0; i < 4; ++i) {
        word = (word << 8) | static_cast<uint8_t>(bytes[offset + i]);
    }
    return word;
}

uint8_t channel(uint32_t pixel, uint32_t mask) {
    return static_cast<uint8_t>((pixel & mask) >> std::countr_zero(mask));
}

} // namespace

std::optional<WindowImage> xwd_parse(std::string_view dump, std::string* error) {
    if (dump.size() < fieldCount * 4) {
        *error = "dump shorter than its header";
        return std::nullopt;
    }
    uint32_t h[fieldCount];
    for (size_t i = 0; i < fieldCount; ++i) {
        h[i] = big_endian_word(dump, 4 * i);
    }
    const uint32_t bytesPerPixel = h[bitsPerPixel] / 8;
    const bool eightBitMasks = std::popcount(h[redMask]) == 8 && std::popcount(h[greenMask]) == 8 &&
                               std::popcount(h[blueMask]) == 8;
    if (h[fileVersion] != 7 || h[pixmapFormat] != zPixmap || h[visualClass] != trueColour ||
        (bytesPerPixel != 3 && bytesPerPixel != 4) || !eightBitMasks) {
        *error = "not a 24- or 32-bit true-colour ZPixmap dump";
        return std::nullopt;
    }
    const size_t pixelsStart = h[headerSize] + h[colourCount] * colourEntrySize;
    const size_t rowBytes = h[bytesPerLine];
    if (rowBytes < h[pixmapWidth] * bytesPerPixel ||
        dump.size() < pixelsStart + rowBytes * h[pixmapHeight]) {
        *error = "dump shorter than its pixels";
        return std::nullopt;
    }

    WindowImage image;
    image.width = static_cast<int32_t>(h[pixmapWidth]);
    image.height = static_cast<int32_t>(h[pixmapHeight]);
    image.rgb.reserve(3 * h[pixmapWidth] * h[pixmapHeight]);
    const bool mostSignificantFirst = h[byteOrder] == 1;
    for (uint32_t y = 0; y < h[pixmapHeight]; ++y) {
        for (uint32_t x = 0; x < h[pixmapWidth]; ++x) {
            const size_t at = pixelsStart + y * rowBytes + x * bytesPerPixel;
            uint32_t pixel = 0;
            for (uint32_t i = 0; i < bytesPerPixel; ++i) {
                const uint32_t byte = static_cast<uint8_t>(dump[at + i]);
                pixel |= byte << (8 * (mostSignificantFirst ? bytesPerPixel - 1 - i : i));
            }
            image.rgb.push_back(channel(pixel, h[redMask]));
            image.rgb.push_back(channel(pixel, h[greenMask]));
            image.rgb.push_back(channel(pixel, h[blueMask]));
        }
    }
    return image;
}
