#include "types/colour.h"

#include <algorithm>
#include <cmath>

Colour* colour_set(Colour* colour, float r, float g, float b, float a) {
    colour->r = r;
    colour->g = g;
    colour->b = b;
    colour->a = a;
    return colour;
}

Colour* colour_add_rgb(Colour* colour, float value) {
    colour->r += value;
    colour->g += value;
    colour->b += value;
    return colour;
}

uint8_t colour_byte(float channel) {
    return static_cast<uint8_t>(channel > 0.0f ? std::nearbyint(std::min(channel, 1.0f) * 255.0f)
                                               : 0.0f);
}
