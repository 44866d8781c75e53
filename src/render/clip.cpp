#include "render/clip.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// d(P) = (P - A) . n with n = (-(B.y - A.y), B.x - A.x), the normal pointing to the line's left.
float side_value(const Vertex* p, const Vertex* a, const Vertex* b) {
    const Vertex normal{-(b->y - a->y), b->x - a->x, 0.0f, 0.0f, 0.0f, 0.0f};
    const Vertex offset{p->x - a->x, p->y - a->y, 0.0f, 0.0f, 0.0f, 0.0f};
    return dot2(&offset, &normal);
}

// A NaN side value counts as outside.
bool inside(float side) {
    return side >= 0.0f;
}

// Where the edge from p to q crosses the line, all six fields interpolated at s = dP / (dP - dQ).
Vertex crossing(const Vertex* p, const Vertex* q, float dp, float dq) {
    const float s = dp / (dp - dq);
    float diff = q->x - p->x;
    if (diff == 0.0f) {
        diff = q->y - p->y; // an edge parallel to the y axis
    }
    Vertex step;
    vertex_step(&step, p, q, diff);
    const float t = s * diff;
    Vertex at;
    vertex_at(&at, p, &step, t);
    return at;
}

// Exact equality, with a comparison involving NaN counting as equal.
bool equal_or_nan(float u, float v) {
    return u == v || std::isnan(u) || std::isnan(v);
}

bool same_position(const Vertex* u, const Vertex* v) {
    return equal_or_nan(u->x, v->x) && equal_or_nan(u->y, v->y);
}

VertexNode* chain_of(const Vertex* first, const Vertex* second) {
    VertexNode* head = listvertex_node_new(first);
    head->next = listvertex_node_new(second);
    return head;
}

// The step of clip_edge, given the two side values.
VertexNode* edge_chain(const Vertex* p, const Vertex* q, float dp, float dq) {
    if (inside(dp) && inside(dq)) {
        return listvertex_node_new(q);
    }
    if (!inside(dp) && !inside(dq)) {
        return nullptr;
    }
    const Vertex at = crossing(p, q, dp, dq);
    if (inside(dp)) {
        // Leaving from a vertex on the line: the previous edge has already emitted it.
        return same_position(&at, p) ? nullptr : listvertex_node_new(&at);
    }
    // Entering exactly at Q: the crossing stands for it.
    return same_position(&at, q) ? listvertex_node_new(&at) : chain_of(&at, q);
}

bool keeps_every_vertex(const ListVertex* shape, const Vertex* a, const Vertex* b) {
    for (const VertexNode* node = shape->head; node != nullptr; node = node->next) {
        if (!inside(side_value(&node->vertex, a, b))) {
            return false;
        }
    }
    return true;
}

} // namespace

VertexNode* clip_edge(const VertexNode* p, const VertexNode* q, const Vertex* a, const Vertex* b) {
    return edge_chain(&p->vertex, &q->vertex, side_value(&p->vertex, a, b),
                      side_value(&q->vertex, a, b));
}

VertexNode* clip_segment(const VertexNode* p, const VertexNode* q, const Vertex* a,
                         const Vertex* b) {
    const float dp = side_value(&p->vertex, a, b);
    const float dq = side_value(&q->vertex, a, b);
    if (inside(dp) && inside(dq)) {
        return chain_of(&p->vertex, &q->vertex);
    }
    if (!inside(dp) && !inside(dq)) {
        return nullptr;
    }
    const Vertex at = crossing(&p->vertex, &q->vertex, dp, dq);
    return inside(dp) ? chain_of(&p->vertex, &at) : chain_of(&at, &q->vertex);
}

ListVertex* clip_shape(ListVertex* shape, Vertex a, Vertex b) {
    if (shape == nullptr) {
        return nullptr;
    }
    if (shape->nmembers == 0) {
        return listvertex_free(shape);
    }
    // With every vertex inside, the walk below would rebuild the shape node for node, the
    // closing edge giving back the first vertex: the shape itself is that result.
    if (keeps_every_vertex(shape, &a, &b)) {
        return shape;
    }
    ListVertex* result = listvertex_new(nullptr);
    if (shape->nmembers == 1) {
        const VertexNode* v = listvertex_head(shape);
        listvertex_append(result, clip_edge(v, v, &a, &b));
    } else if (shape->nmembers == 2) {
        listvertex_append(result,
                          clip_segment(listvertex_head(shape), listvertex_tail(shape), &a, &b));
    } else {
        // The first edge is the closing one, from the last vertex to the first.
        const VertexNode* prev = listvertex_tail(shape);
        float dPrev = side_value(&prev->vertex, &a, &b);
        VertexNode* last = nullptr;
        for (const VertexNode* cur = listvertex_head(shape); cur != nullptr; cur = cur->next) {
            const float dCur = side_value(&cur->vertex, &a, &b);
            last = listvertex_append_after(result, last,
                                           edge_chain(&prev->vertex, &cur->vertex, dPrev, dCur));
            prev = cur;
            dPrev = dCur;
        }
    }
    listvertex_free(shape);
    return result;
}

ClipCut clip_first_cut(const ListVertex* shape, const LineImage* image) {
    for (int32_t i = 0; i < image->lineCount; ++i) {
        const ImageLine& line = image->lines[static_cast<size_t>(i)];
        const Vertex* a = &image->vertices[static_cast<size_t>(line.first)];
        const Vertex* b = &image->vertices[static_cast<size_t>(line.second)];
        bool keepsAll = true;
        bool keepsAny = false;
        for (const VertexNode* node = shape->head; node != nullptr; node = node->next) {
            const bool in = inside(side_value(&node->vertex, a, b));
            keepsAll = keepsAll && in;
            keepsAny = keepsAny || in;
        }
        if (!keepsAll) {
            return ClipCut{i, !keepsAny};
        }
    }
    return ClipCut{image->lineCount, false};
}
