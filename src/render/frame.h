// frame: one whole frame in software, everything the window shows but the texts.
#pragma once

#include "lists/listobject.h"
#include "render/raster.h"
#include "types/lineimage.h"

#include <cstdint>

// The frame pass without a window: a raster of width x height, white, with every shape of shapes
// (may be null) clipped by the lines of image (may be null) and drawn in list order, and the
// image's lines over them. The raster is previous itself when previous (may be null) has that
// size, its pixels drawn afresh; otherwise previous is released. A raster narrower or lower than
// 2 pixels has no view mapping and shows only the white fill.
Raster* frame_draw(Raster* previous, int32_t width, int32_t height, const ListObject* shapes,
                   const LineImage* image);
// Which committed shape shows at pixel (column, row, row 0 the bottom) of the frame frame_draw
// would draw at width x height: the index in list order of the last shape that writes the pixel,
// or -1 when none does (also outside the raster, and when there is no memory for a frame).
int32_t frame_shape_at(int32_t width, int32_t height, const ListObject* shapes,
                       const LineImage* image, int32_t column, int32_t row);
