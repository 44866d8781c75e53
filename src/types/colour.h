// Colour: four 32-bit floats, nominally 0 to 1, never clamped. Alpha is carried everywhere
// but has no visible effect: the frame is copied to the window without blending.
#pragma once

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
// to 1 (NaN to 0), then times 255 rounded to nearest.
uint8_t colour_byte(float channel);
