// xwd: reads back the window dumps that xwd writes, as 8-bit RGB, so that a test can check what a
// window really shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct WindowImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb; // three bytes a pixel, top row first, as the window shows it

    // The pixel at column x and row y counted down from the top, as r, g, b.
    const uint8_t* at(int32_t x, int32_t y) const {
        return &rgb[3 *
                    (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x))];
    }
};

// Parses a ZPixmap dump of a true-colour window of 24 or 32 bits a pixel with 8-bit channels;
// anything else gives nothing, with the reason in *error.
std::optional<WindowImage> xwd_parse(std::string_view dump, std::string* error);
