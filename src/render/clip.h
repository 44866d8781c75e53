// clip: the polygon clipper, geometry only. Each clip line, directed from A to B, acts alone
// as an infinite line that keeps the closed half-plane on its left. Crossing points get all six
// fields interpolated.
#pragma once

#include "files/lineimage.h"
#include "lists/listvertex.h"
#include "types/vertex.h"

#include <vector>

// One edge of a closed polygon, from P to Q: a chain of 0, 1 or 2 new nodes, or null.
VertexNode* clip_edge(const VertexNode* p, const VertexNode* q, const Vertex* a, const Vertex* b);
// A two-member shape (an open segment): a chain of 0 or 2 new nodes, or null.
VertexNode* clip_segment(const VertexNode* p, const VertexNode* q, const Vertex* a,
                         const Vertex* b);
// Consumes shape and returns it clipped by the line from a to b: null for a null or empty
// shape, otherwise a list (possibly with no members), which is shape itself when the line keeps
// every vertex. Callers store the result in place of shape.
ListVertex* clip_shape(ListVertex* shape, Vertex a, Vertex b);
// A cut point clip_shape made: its node in the result and where it lies on the edge it cuts,
// s = dP / (dP - dQ) from the edge's first vertex P (0) to its second Q (1).
struct ClipCutPoint {
    const VertexNode* node;
    float s;
};
// clip_shape, with the cut points it made listed in cuts (cleared first), in list order.
ListVertex* clip_shape_noting_cuts(ListVertex* shape, Vertex a, Vertex b,
                                   std::vector<ClipCutPoint>* cuts);
// Where the lines of image start to matter for shape: the first line, in image order, that does
// not keep every vertex (lineCount when every line keeps every vertex), and whether that line
// keeps none of them. clip_shape gives a shape back unchanged up to that line, and after a line
// that keeps none of its vertices there is nothing left of it.
struct ClipCut {
    int32_t line;
    bool dropsAll;
};
// The lines of an image prepared for clip_first_cut: starts and normals four lines to a vector.
struct ClipLines {
    using Floats = float __attribute__((vector_size(16)));
    struct Group {
        Floats ax, ay, nx, ny;
    };
    int32_t count;
    std::vector<Group> groups;
};
ClipLines clip_lines_of(const LineImage* image);
ClipCut clip_first_cut(const ListVertex* shape, const ClipLines* lines);
