// steps: one shape's way through the frame pass, stage by stage, for the step view. The stages
// come from the core's own clip, one line at a time, and the rows from its own fill, observed,
// so that they are what the frame pass does.
#pragma once

#include "lists/listvertex.h"
#include "render/clip.h"
#include "types/lineimage.h"
#include "types/vertex.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A vertex as the core holds it, in view units and mapped to raster units (pixels), and how the
// stage's line made it.
struct StepVertex {
    Vertex view;
    Vertex pixel;
    bool cut;          // a cut point the stage's line made, not a vertex it kept
    float s;           // for a cut point, where it lies on the edge it cut (see ClipEdge)
    int32_t edge;      // the edge of the stage before that gave it (see ClipEdge); -1 unwalked
    ClipCase clipCase; // that edge's case
};

// What one edge of the polygon before a stage gave it (see ClipEdge).
struct StepEdge {
    ClipCase clipCase;
    int32_t made;
    float s;
};

// Stage 0 is the shape as committed, before any line: line -1, verdict KeepsAll.
struct ClipStage {
    ClipVerdict verdict;
    int32_t line;                    // the clip line's index in the image; -1 for stage 0
    StepVertex ends[2];              // the line, directed from ends[0] to ends[1], keeping its left
    std::vector<StepVertex> polygon; // the shape after the line
    std::vector<StepEdge> edges;     // what each edge gave, when the line walked them
};

// A triangle of the fan as the fill is handed it, and the rows it drew.
struct FillStepTriangle {
    StepVertex corners[3];
    int32_t firstRow; // index into ShapeSteps::rows
    int32_t rowCount;
};

// One row the fill ran: the raster row, the walkers as they stood on it (raster units), the
// columns written, colStart up to but not including colEnd, and their pixels as written.
struct FillStepRow {
    int32_t triangle;
    int32_t row;
    Vertex start;
    Vertex end;
    int32_t colStart;
    int32_t colEnd;
    size_t bytes; // offset of the span's RGBA bytes in ShapeSteps::rowBytes
};

struct ShapeSteps {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<ClipStage> stages; // stages[0] the committed shape, then one per clip line
    std::vector<FillStepTriangle> triangles;
    std::vector<FillStepRow> rows;
    std::vector<uint8_t> rowBytes;
    // The shape drawn alone, as RGBA bytes with rows top first: every pixel it writes as the
    // frame's conversion gives it, alpha 255; pixels it does not write are all 0.
    std::vector<uint8_t> picture;
};

// The steps of shape (which stays as it is) through the lines of image in a width x height
// frame. False, with out empty, when the frame has no view mapping (a side below 2) or there is
// no memory for its raster.
bool shape_steps(ShapeSteps* out, const ListVertex* shape, const LineImage* image, int32_t width,
                 int32_t height);
