// check: what the frame pass will make of a shape, and what a clip polygon keeps, found the frame
// pass's own way, for the teaching aids that say so before and after a commit or a load.
#pragma once

#include "lists/listvertex.h"
#include "render/drawcontext.h"
#include "types/lineimage.h"
#include "types/vertex.h"

#include <cstdint>
#include <vector>

// What filling a shape's corners in their order gives.
enum class ShapeVerdict {
    Empty,         // no corners
    Point,         // one corner: drawn as a point
    Line,          // two: drawn as a line
    Anticlockwise, // a convex outline turning left: filled
    Clockwise,     // a convex outline turning right: the fill writes (almost) nothing
    Flat,          // every corner on one line: nothing to fill
    NotConvex,     // turns both ways: the fan from corner 0 is not its outline
};

// One triangle of the fan from corner 0, as the fill receives it.
struct FanTriangle {
    int32_t corners[3];
    // Twice the signed area of the corners mapped to the raster, in raster units: positive when
    // they run anticlockwise on screen.
    float turn;
    // The pixels the fill writes for this triangle alone, unclipped.
    int64_t pixels;
};

struct ShapeCheck {
    ShapeVerdict verdict = ShapeVerdict::Empty;
    // Each corner where the fill maps it: raster columns and rows, row 0 at the bottom.
    std::vector<Vertex> mapped;
    std::vector<FanTriangle> fan;
    // Whether the clip lines leave any of it to draw.
    bool kept = false;
};

// Checks shape (null for none) in the frame of ctx. The raster of ctx is scratch: the check
// draws into it.
ShapeCheck shape_check(const ListVertex* shape, const DrawContext* ctx);

// Which way a clip polygon's lines turn, one after the other.
enum class ClipWinding {
    None,          // fewer than two lines, or none that turn
    Anticlockwise, // every turn is to the left: it keeps its inside
    Clockwise,     // every turn is to the right: it keeps nothing
    NotConvex,     // turns both ways: it keeps only where all its lines' left sides meet
};

struct ClipCheck {
    ClipWinding winding = ClipWinding::None;
    // Whether each line starts where the one before it ends, the first where the last ends.
    bool closes = false;
};

ClipCheck clip_check(const LineImage* image);
