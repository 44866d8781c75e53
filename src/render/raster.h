// raster: the frame, float RGBA pixels in exactly the layout glDrawPixels(GL_RGBA, GL_FLOAT)
// reads: row-major, row 0 is the bottom row of the window, no gaps between rows.
#pragma once

#include "types/colour.h"

#include <cstdint>
#include <vector>

struct Raster {
    Colour* pixels; // pixel (column c, row r) is pixels[c + r * width]
    int32_t width;
    int32_t height;
};

// A new raster of width x height pixels (sizes below 0 count as 0), contents undefined until
// filled. When the pixels cannot be allocated the raster is 0 x 0, with no pixels.
Raster* raster_new(int32_t width, int32_t height);
// Stores colour at (column, row); positions outside the raster are ignored, which is where
// stray pixels of the primitives stop.
void raster_set_pixel(Raster* raster, Colour colour, int32_t column, int32_t row);
// Stores colour in every pixel.
void raster_fill(Raster* raster, Colour colour);
// The frame as 8-bit RGB with rows top first, as image files store them, each channel converted
// by colour_byte. Alpha is dropped; it has no visible effect in the window.
std::vector<uint8_t> raster_to_rgb8(const Raster* raster);
// The same into rgba, 4 x width x height bytes, as a canvas takes them: every pixel opaque.
void raster_to_rgba8(const Raster* raster, uint8_t* rgba);
// Columns colStart up to but not including colEnd of one row (inside the raster) into rgba,
// 4 bytes a pixel, converted as raster_to_rgba8 converts them.
void raster_span_to_rgba8(const Raster* raster, int32_t row, int32_t colStart, int32_t colEnd,
                          uint8_t* rgba);
// A colour no drawing makes, NaN with a payload arithmetic never gives: a pixel filled with it
// that still holds it after a drawing was not written by it.
Colour raster_unwritten();
bool raster_written(const Colour& pixel);
// Releases the pixels and the record; accepts null. Returns null: callers store it in the
// variable that held the raster.
Raster* raster_free(Raster* raster);
