#include "render/clip.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// d(P) = (P - A) . n, the differences formed first: the one expression of a side value, for one
// line in floats and for four lines in the lanes of vectors, so that both give the same bits.
template <typename F> F side_of(F px, F py, F ax, F ay, F nx, F ny) {
    return dot2(px - ax, py - ay, nx, ny);
}

// The side value with n = (-(B.y - A.y), B.x - A.x), the normal pointing to the line's left.
float side_value(const Vertex* p, const Vertex* a, const Vertex* b) {
    return side_of(p->x, p->y, a->x, a->y, -(b->y - a->y), b->x - a->x);
}

// A NaN side value counts as outside.
bool inside(float side) {
    return side >= 0.0f;
}

// Where the edge from p to q crosses the line, all six fields interpolated at s = dP / (dP - dQ).
Vertex crossing(const Vertex* p, const Vertex* q, float s) {
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

// Who records what each edge gave, and a line that keeps every vertex: nobody in the frame
// pass, where this compiles to nothing.
struct Unrecorded {
    void edge(ClipCase, const VertexNode*, const VertexNode*, float) {}
    void keeps_every_vertex() {}
};
struct EdgeList {
    std::vector<ClipEdge>* edges;
    bool keptEvery;
    void edge(ClipCase clipCase, const VertexNode* chain, const VertexNode* cut, float s) {
        const int32_t made = chain == nullptr ? 0 : chain->next == nullptr ? 1 : 2;
        edges->push_back(ClipEdge{clipCase, made, cut, s});
    }
    void keeps_every_vertex() { keptEvery = true; }
};

// The step of clip_edge, given the two side values.
template <typename Record>
VertexNode* edge_chain(const Vertex* p, const Vertex* q, float dp, float dq, Record* record) {
    if (inside(dp) && inside(dq)) {
        VertexNode* chain = listvertex_node_new(q);
        record->edge(ClipCase::BothInside, chain, nullptr, 0.0f);
        return chain;
    }
    if (!inside(dp) && !inside(dq)) {
        record->edge(ClipCase::BothOutside, nullptr, nullptr, 0.0f);
        return nullptr;
    }
    const float s = dp / (dp - dq);
    const Vertex at = crossing(p, q, s);
    VertexNode* chain = nullptr;
    if (inside(dp)) {
        // Leaving from a vertex on the line: the previous edge has already emitted it.
        chain = same_position(&at, p) ? nullptr : listvertex_node_new(&at);
    } else {
        // Entering exactly at Q: the crossing stands for it.
        chain = same_position(&at, q) ? listvertex_node_new(&at) : chain_of(&at, q);
    }
    record->edge(inside(dp) ? ClipCase::Leaving : ClipCase::Entering, chain, chain, s);
    return chain;
}

bool keeps_every_vertex(const ListVertex* shape, const Vertex* a, const Vertex* b) {
    for (const VertexNode* node = shape->head; node != nullptr; node = node->next) {
        if (!inside(side_value(&node->vertex, a, b))) {
            return false;
        }
    }
    return true;
}

template <typename Record>
VertexNode* segment_chain(const VertexNode* p, const VertexNode* q, const Vertex* a,
                          const Vertex* b, Record* record) {
    const float dp = side_value(&p->vertex, a, b);
    const float dq = side_value(&q->vertex, a, b);
    if (inside(dp) && inside(dq)) {
        VertexNode* chain = chain_of(&p->vertex, &q->vertex);
        record->edge(ClipCase::BothInside, chain, nullptr, 0.0f);
        return chain;
    }
    if (!inside(dp) && !inside(dq)) {
        record->edge(ClipCase::BothOutside, nullptr, nullptr, 0.0f);
        return nullptr;
    }
    const float s = dp / (dp - dq);
    const Vertex at = crossing(&p->vertex, &q->vertex, s);
    VertexNode* chain = inside(dp) ? chain_of(&p->vertex, &at) : chain_of(&at, &q->vertex);
    record->edge(inside(dp) ? ClipCase::Leaving : ClipCase::Entering, chain,
                 inside(dp) ? chain->next : chain, s);
    return chain;
}

template <typename Record>
ListVertex* shape_clipped(ListVertex* shape, Vertex a, Vertex b, Record* record) {
    if (shape == nullptr) {
        return nullptr;
    }
    if (shape->nmembers == 0) {
        return listvertex_free(shape);
    }
    // With every vertex inside, the walk below would rebuild the shape node for node, the
    // closing edge giving back the first vertex: the shape itself is that result.
    if (keeps_every_vertex(shape, &a, &b)) {
        record->keeps_every_vertex();
        return shape;
    }
    ListVertex* result = listvertex_new(nullptr);
    if (shape->nmembers == 1) {
        const Vertex* v = &listvertex_head(shape)->vertex;
        const float d = side_value(v, &a, &b);
        listvertex_append(result, edge_chain(v, v, d, d, record));
    } else if (shape->nmembers == 2) {
        listvertex_append(
            result, segment_chain(listvertex_head(shape), listvertex_tail(shape), &a, &b, record));
    } else {
        // The first edge is the closing one, from the last vertex to the first.
        const VertexNode* prev = listvertex_tail(shape);
        float dPrev = side_value(&prev->vertex, &a, &b);
        VertexNode* last = nullptr;
        for (const VertexNode* cur = listvertex_head(shape); cur != nullptr; cur = cur->next) {
            const float dCur = side_value(&cur->vertex, &a, &b);
            last = listvertex_append_after(
                result, last, edge_chain(&prev->vertex, &cur->vertex, dPrev, dCur, record));
            prev = cur;
            dPrev = dCur;
        }
    }
    listvertex_free(shape);
    return result;
}

// Where the lines of an image start to matter for a shape: the first line, in image order, that
// does not keep every vertex (lineCount when every line keeps every vertex), and whether that
// line keeps none of them. clip_shape gives a shape back unchanged up to that line, and after a
// line that keeps none of its vertices there is nothing left of it.
struct ClipCut {
    int32_t line;
    bool dropsAll;
};

// The lines of an image, starts and normals four lines to a vector, so that the first cut of a
// shape is found four lines at a time.
struct ClipLines {
    using Floats = float __attribute__((vector_size(16)));
    struct Group {
        Floats ax, ay, nx, ny;
    };
    int32_t count;
    std::vector<Group> groups;
};

ClipLines clip_lines_of(const LineImage* image) {
    ClipLines lines{image->lineCount, {}};
    lines.groups.resize(static_cast<size_t>((image->lineCount + 3) / 4), ClipLines::Group{});
    for (int32_t i = 0; i < image->lineCount; ++i) {
        const LineEnds ends = lineimage_line_ends(image, i);
        const Vertex& a = ends.a;
        const Vertex& b = ends.b;
        ClipLines::Group& group = lines.groups[static_cast<size_t>(i / 4)];
        group.ax[i % 4] = a.x;
        group.ay[i % 4] = a.y;
        group.nx[i % 4] = -(b.y - a.y);
        group.ny[i % 4] = b.x - a.x;
    }
    return lines;
}

ClipCut clip_first_cut(const ListVertex* shape, const ClipLines* lines) {
    using Lanes = int32_t __attribute__((vector_size(16)));
    for (size_t g = 0; g < lines->groups.size(); ++g) {
        const ClipLines::Group& group = lines->groups[g];
        Lanes keepsAll = {-1, -1, -1, -1};
        Lanes keepsAny = {0, 0, 0, 0};
        for (const VertexNode* node = shape->head; node != nullptr; node = node->next) {
            const float vx = node->vertex.x;
            const float vy = node->vertex.y;
            const ClipLines::Floats x = {vx, vx, vx, vx};
            const ClipLines::Floats y = {vy, vy, vy, vy};
            // A NaN side value compares false: outside, as in the clipper.
            const Lanes in = side_of(x, y, group.ax, group.ay, group.nx, group.ny) >= 0.0f;
            keepsAll &= in;
            keepsAny |= in;
        }
        for (int32_t lane = 0; lane < 4; ++lane) {
            const int32_t line = static_cast<int32_t>(g) * 4 + lane;
            if (line < lines->count && keepsAll[lane] == 0) {
                return ClipCut{line, keepsAny[lane] == 0};
            }
        }
    }
    return ClipCut{lines->count, false};
}

// The pass's observer in the frame: nothing to hear, no cut points to list.
struct Unheard {
    static constexpr bool noting = false;
    void line(int32_t, const Vertex&, const Vertex&, ClipVerdict, const ListVertex*,
              const std::vector<ClipEdge>&) {}
};

struct Heard {
    static constexpr bool noting = true;
    ShapePassObserver* to;
    void line(int32_t index, const Vertex& a, const Vertex& b, ClipVerdict verdict,
              const ListVertex* polygon, const std::vector<ClipEdge>& edges) {
        to->line(index, a, b, verdict, polygon, edges);
    }
};

void draw(const ListVertex* shape, const DrawContext* ctx, Unheard*) {
    draw_shape(shape, ctx);
}

void draw(const ListVertex* shape, const DrawContext* ctx, Heard* observer) {
    draw_shape_observed(shape, ctx, observer->to);
}

// The lines from first on, each as it leaves nothing of the shape.
template <typename Observer>
void nothing_left_from(int32_t first, const LineImage* image, Observer* observer) {
    const std::vector<ClipEdge> none;
    for (int32_t i = first; i < image->lineCount; ++i) {
        const LineEnds ends = lineimage_line_ends(image, i);
        observer->line(i, ends.a, ends.b, ClipVerdict::NothingLeft, nullptr, none);
    }
}

// One committed shape, clipped by every line of the image and drawn. A shape is copied only
// when a line cuts it: up to the first such line every line would give it back unchanged, and
// once a line keeps none of its vertices nothing of it is drawn.
template <typename Observer>
void clip_and_draw(const ListVertex* shape, const ClipLines* lines, const DrawContext* ctx,
                   Observer* observer) {
    const LineImage* image = ctx->image;
    const std::vector<ClipEdge> none;
    if (shape == nullptr || shape->nmembers == 0) {
        nothing_left_from(0, image, observer);
        return;
    }
    const ClipCut cut = clip_first_cut(shape, lines);
    for (int32_t i = 0; i < cut.line; ++i) {
        const LineEnds ends = lineimage_line_ends(image, i);
        observer->line(i, ends.a, ends.b, ClipVerdict::KeepsAll, shape, none);
    }
    if (cut.line == image->lineCount) {
        draw(shape, ctx, observer);
        return;
    }
    if (cut.dropsAll) {
        const LineEnds ends = lineimage_line_ends(image, cut.line);
        observer->line(cut.line, ends.a, ends.b, ClipVerdict::DropsAll, nullptr, none);
        nothing_left_from(cut.line + 1, image, observer);
        return;
    }
    ListVertex* copy = listvertex_copy(shape);
    std::vector<ClipEdge> edges;
    for (int32_t i = cut.line; i < image->lineCount; ++i) {
        const LineEnds ends = lineimage_line_ends(image, i);
        if (copy == nullptr || copy->nmembers == 0) {
            copy = listvertex_free(copy);
            nothing_left_from(i, image, observer);
            break;
        }
        if constexpr (Observer::noting) {
            EdgeList list{&edges, false};
            edges.clear();
            copy = shape_clipped(copy, ends.a, ends.b, &list);
            const ClipVerdict verdict = list.keptEvery        ? ClipVerdict::KeepsAll
                                        : copy->nmembers == 0 ? ClipVerdict::DropsAll
                                                              : ClipVerdict::Cuts;
            observer->line(i, ends.a, ends.b, verdict, copy->nmembers > 0 ? copy : nullptr, edges);
        } else {
            copy = clip_shape(copy, ends.a, ends.b);
        }
    }
    draw(copy, ctx, observer);
    copy = listvertex_free(copy);
}

} // namespace

VertexNode* clip_edge(const VertexNode* p, const VertexNode* q, const Vertex* a, const Vertex* b) {
    Unrecorded nobody;
    return edge_chain(&p->vertex, &q->vertex, side_value(&p->vertex, a, b),
                      side_value(&q->vertex, a, b), &nobody);
}

VertexNode* clip_segment(const VertexNode* p, const VertexNode* q, const Vertex* a,
                         const Vertex* b) {
    Unrecorded nobody;
    return segment_chain(p, q, a, b, &nobody);
}

ListVertex* clip_shape(ListVertex* shape, Vertex a, Vertex b) {
    Unrecorded nobody;
    return shape_clipped(shape, a, b, &nobody);
}

void clip_and_draw_shapes(const ListObject* shapes, const DrawContext* ctx) {
    const ClipLines lines = clip_lines_of(ctx->image);
    Unheard nobody;
    for (const ObjectNode* node = shapes->head; node != nullptr; node = node->next) {
        clip_and_draw(node->shape, &lines, ctx, &nobody);
    }
}

void clip_and_draw_shape(const ListVertex* shape, const DrawContext* ctx,
                         ShapePassObserver* observer) {
    const ClipLines lines = clip_lines_of(ctx->image);
    if (observer == nullptr) {
        Unheard nobody;
        clip_and_draw(shape, &lines, ctx, &nobody);
        return;
    }
    Heard heard{observer};
    clip_and_draw(shape, &lines, ctx, &heard);
}
