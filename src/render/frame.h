// frame: one whole frame in software, everything the window shows but the texts.
#pragma once

#include "files/lineimage.h"
#include "lists/listobject.h"
#include "render/raster.h"

#include <cstdint>

// Releases previous (may be null), makes a raster of width x height, fills it with white, draws
// shapes (may be null) clipped by image's lines, then image's lines over them. A raster
// narrower or lower than 2 pixels has no view mapping and shows only the white fill.
Raster* frame_render(Raster* previous, int32_t width, int32_t height, const ListObject* shapes,
                     const LineImage* image);
