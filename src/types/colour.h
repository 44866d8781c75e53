// Colour: four 32-bit floats, nominally 0 to 1, never clamped. Alpha is carried everywhere
// but has no visible effect: the frame is copied to the window without blending.
#pragma once

#include <cmath>
#include <cstdint>

struct Colour {
    float r;
    float g;
    float b;
    float a;
};

// Sets all four components in place; returns colour.
Colour* colour_set(Colour* colour, float r, float g, float b, float a);
// Adds value to r, g and b (a unchanged), without clamping; returns colour.
Colour* colour_add_rgb(Colour* colour, float value);
// One channel as an 8-bit value, as OpenGL converts a float to an unsigned byte: clamped to 0
// to 1 (NaN to 0), then times 255 rounded to nearest. Inline: it runs for every channel of every
// frame shown from bytes.
inline uint8_t colour_byte(float channel) {
    // Selects rather than branches, so that the compiler may convert channels side by side.
    const float clamped = channel > 0.0f ? (channel < 1.0f ? channel : 1.0f) : 0.0f;
    return static_cast<uint8_t>(std::nearbyint(clamped * 255.0f));
}
