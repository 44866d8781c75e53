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

// A cut point a clip line made: its node in the polygon left after the line, and where it lies
// on the edge it cuts, s = dP / (dP - dQ) from the edge's first vertex P (0) to its second Q (1).
struct ClipCutPoint {
    const VertexNode* node;
    float s;
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
    // what is left after it, and cuts lists the cut points it made, in list order. Both are
    // valid only during the call.
    virtual void line(int32_t index, const Vertex& a, const Vertex& b, ClipVerdict verdict,
                      const ListVertex* polygon, const std::vector<ClipCutPoint>& cuts) = 0;

  protected:
    ~ShapePassObserver() = default;
};

// One shape (only read) through the shape pass, exactly as clip_and_draw_shapes handles it,
// heard by observer when it is not null.
void clip_and_draw_shape(const ListVertex* shape, const DrawContext* ctx,
                         ShapePassObserver* observer = nullptr);
