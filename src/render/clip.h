// clip: the polygon clipper and the shape pass. Each clip line, directed from A to B, acts alone
// as an infinite line that keeps the closed half-plane on its left. Crossing points get all six
// fields interpolated.
#pragma once

#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/drawcontext.h"
#include "render/vertex.h"

// One edge of a closed polygon, from P to Q: a chain of 0, 1 or 2 new nodes, or null.
VertexNode* clip_edge(const VertexNode* p, const VertexNode* q, const Vertex* a, const Vertex* b);
// A two-member shape (an open segment): a chain of 0 or 2 new nodes, or null.
VertexNode* clip_segment(const VertexNode* p, const VertexNode* q, const Vertex* a,
                         const Vertex* b);
// Consumes shape and returns it clipped by the line from a to b: null for a null or empty
// shape, otherwise a list (possibly with no members), which is shape itself when the line keeps
// every vertex. Callers store the result in place of shape.
ListVertex* clip_shape(ListVertex* shape, Vertex a, Vertex b);
// Draws every shape clipped by every line of ctx's image, in list order. Clipping works on a
// copy of each shape that a line cuts, released after drawing; shapes itself is only read.
void clip_and_draw_shapes(const ListObject* shapes, const DrawContext* ctx);
