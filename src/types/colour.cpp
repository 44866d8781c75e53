#include "types/colour.h"

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
