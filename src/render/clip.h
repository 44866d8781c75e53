// clip: the polygon clipper and the shape pass. Each clip line, directed from A to B, acts alone
// as an infinite line that keeps the closed half-plane on its left. Crossing points get all six
// fields interpolated.
#pragma once

#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/drawcontext.h"
#include "render/fill.h"
#include "types/lineimage.h"
#include "types/vertex.h"

#include <cstdint>
#include <vector>

// One edge of a closed polygon, from P to Q: a chain of 0, 1 or 2 new nodes, or null.
// clip_shape's walk makes each edge's chain as this does; the tests call it directly.
VertexNode* clip_edge(const VertexNode* p, const VertexNode* q, const Vertex* a, const Vertex* b);
// A two-member shape (an open segment): a chain of 0 or 2 new nodes, or null. clip_shape makes
// a segment's chain as this does; the tests call it directly.
VertexNode* clip_segment(const VertexNode* p, const VertexNode* q, const Vertex* a,
                         const Vertex* b);
// Consumes shape and returns it clipped by the line from a to b: null for a null or empty
// shape, otherwise a list (possibly with no members), which is shape itself when the line keeps
// every vertex. Callers store the result in place of shape.
ListVertex* clip_shape(ListVertex* shape, Vertex a, Vertex b);

// The shape pass of the frame: every committed shape in list order, clipped by every line of
// ctx's image in image order and drawn before the next shape is touched. The shapes are only
// read: a shape is copied only once a line cuts it, and not drawn at all once a line keeps none
// of its vertices.
void clip_and_draw_shapes(const ListObject* shapes, const DrawContext* ctx);

// The four cases of an edge from P to Q against a clip line, and what each adds to the polygon
// left after the line: both ends inside, Q; leaving (P inside, Q outside), the cut point;
// entering, the cut point, then Q; both outside, nothing.
enum class ClipCase { BothInside, Leaving, Entering, BothOutside };

// What one edge of the polygon before a line gave the polygon after it. Edge k runs from vertex
// k - 1 to vertex k; edge 0 is the closing one, from the last vertex to the first. A segment has
// one edge, from its first vertex to its second, which gives both of its ends or none.
struct ClipEdge {
    ClipCase clipCase;
    int32_t made;          // the vertices it added, the next ones in list order: 0, 1 or 2
    const VertexNode* cut; // the cut point among them, or null
    float s; // leaving or entering: where the line crosses it, dP / (dP - dQ), 0 at P and 1 at Q
};

// What one clip line did to a shape.
enum class ClipVerdict {
    KeepsAll,    // it keeps every vertex: the shape goes on unchanged
    Cuts,        // it cuts the shape
    DropsAll,    // it keeps no vertex: nothing is left
    NothingLeft, // nothing was left before it
};

// Hears how the shape pass handles one shape: each clip line in image order, then the fill.
class ShapePassObserver : public FillObserver {
  public:
    // Line index of the image, from a to b, did verdict; polygon (null when nothing is left) is
    // what is left after it. When the line was walked edge by edge, edges holds what each edge
    // of the polygon before it gave, in walk order; empty when the line kept or dropped every
    // vertex without a walk. Both are valid only during the call.
    virtual void line(int32_t index, const Vertex& a, const Vertex& b, ClipVerdict verdict,
                      const ListVertex* polygon, const std::vector<ClipEdge>& edges) = 0;

  protected:
    ~ShapePassObserver() = default;
};

// One shape (only read) through the shape pass, exactly as clip_and_draw_shapes handles it,
// heard by observer when it is not null.
void clip_and_draw_shape(const ListVertex* shape, const DrawContext* ctx,
                         ShapePassObserver* observer = nullptr);
