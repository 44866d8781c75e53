// check_json: the checks of a shape and of the clip polygon as the page's aids read them.
#pragma once

#include "render/check.h"

#include <string>

// {"verdict", "mapped": [[x, y], ...] raster units, row 0 at the bottom, "fan": [[first,
// second, third corner, turn, pixels], ...], "kept"}. The verdict is "empty", "point", "line",
// "anticlockwise", "clockwise", "flat" or "not convex".
std::string shape_check_json(const ShapeCheck& check);
// {"winding": "none", "anticlockwise", "clockwise" or "not convex", "lines", "closes"}.
std::string clip_check_json(const ClipCheck& check, int32_t lineCount);
