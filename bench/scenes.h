// The benchmark scenes: the octagon clip polygon and the grid of G x G shaded quads.
#pragma once

#include "lists/listobject.h"
#include "types/lineimage.h"

#include <cstdint>

// The regular octagon of radius 0.9 around (0, 0), vertex k at 22.5 + 45k degrees, its lines
// running anticlockwise so that it keeps its inside; vertex colours alternate red and blue.
LineImage scene_octagon();
// G x G anticlockwise quads tiling -1..1 in view units; each vertex coloured
// ((x + 1) / 2, (y + 1) / 2, 1 - (x + 1) / 2, 1). The caller releases it with listobject_free.
ListObject* scene_grid(int32_t g);
// The same picture as OpenGL would be told it: the view extents of a raster of width x height.
void scene_extents(int32_t width, int32_t height, float* extentX, float* extentY);
