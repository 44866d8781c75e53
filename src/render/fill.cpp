#include "render/fill.h"

#include "render/line.h"
#include "render/walker.h"

#include <algorithm>
#include <cmath>

namespace {

// The frame pass's observer: nothing to hear, so the row loop compiles without a call.
struct NoFillObserver {
    void triangle(const Vertex&, const Vertex&, const Vertex&) {}
    void row(const Raster&, int32_t, const Vertex&, const Vertex&, int32_t, int32_t) {}
};

// A walker climbing one side of the triangle, one row per step; the side's ends are kept for
// walker_move_to.
struct Walker {
    Vertex at;
    Vertex step;
    Vertex from;
    Vertex to;
};

void walker_start(Walker* w, const Vertex* from, const Vertex* to) {
    w->at = *from;
    vertex_step(&w->step, from, to, to->y - from->y);
    w->from = *from;
    w->to = *to;
}

struct Span {
    int32_t begin;
    int32_t end;
};

// One row's span, from trunc(s.x) up to but not including trunc(e.x), clamped to the raster so
// that a span running far past either edge costs nothing there. Returns the columns written.
Span fill_span(Raster* raster, int32_t row, const Vertex* s, const Vertex* e) {
    if (!(std::isfinite(s->x) && std::isfinite(e->x))) {
        return Span{0, 0};
    }
    int32_t col = trunc_to_int(s->x);
    const int32_t colEnd = std::min(trunc_to_int(e->x), raster->width);
    if (col >= colEnd) {
        return Span{0, 0};
    }
    Vertex p = *s;
    Vertex dp;
    vertex_step(&dp, s, e, e->x - s->x);
    if (col < 0) {
        // Column 0, where the span enters the raster; col may have saturated, s->x has not.
        walker_move_to(&p, &dp, &Vertex::x, static_cast<double>(s->x) - std::trunc(s->x), s, e);
        col = 0;
    }
    const Span written{col, colEnd};
    for (; col < colEnd; ++col) {
        raster_set_pixel(raster, Colour{p.r, p.g, p.b, p.a}, col, row);
        vertex_advance(&p, &dp);
    }
    return written;
}

// The row loop: while row < rowEnd, fill the row's span and move both walkers up one row. Only
// rows inside the raster do any work: rows below it just move the walkers, and the loop ends at
// its top. row holds whole numbers only, in a double because it starts at trunc of a mapped y,
// which may lie far beyond the int range (any finite float does: a double holds each exactly).
template <typename Observer>
void run_rows(Raster* raster, double* row, float rowEnd, Walker* s, Walker* e, Observer* observer) {
    const double stop = std::max(*row, static_cast<double>(std::ceil(rowEnd)));
    const double skipTo = std::min(stop, 0.0);
    if (*row < skipTo) {
        const double skip = skipTo - *row;
        walker_move_to(&s->at, &s->step, &Vertex::y, static_cast<double>(s->at.y) + skip, &s->from,
                       &s->to);
        walker_move_to(&e->at, &e->step, &Vertex::y, static_cast<double>(e->at.y) + skip, &e->from,
                       &e->to);
        *row = skipTo;
    }
    const double drawStop = std::min(stop, static_cast<double>(raster->height));
    if (*row >= drawStop) {
        return;
    }
    // Both lie in 0 to height here, so the conversions are exact.
    int32_t r = static_cast<int32_t>(*row);
    const int32_t rEnd = static_cast<int32_t>(drawStop);
    for (; r < rEnd; ++r) {
        const Span span = fill_span(raster, r, &s->at, &e->at);
        observer->row(*raster, r, s->at, e->at, span.begin, span.end);
        vertex_advance(&s->at, &s->step);
        vertex_advance(&e->at, &e->step);
    }
    *row = static_cast<double>(r);
}

bool finite_position(const Vertex* v) {
    return std::isfinite(v->x) && std::isfinite(v->y);
}

// The fill, heard by observer, which is NoFillObserver or a FillObserver.
template <typename Observer>
void fill_triangle_heard(Vertex t1, Vertex t2, Vertex t3, const DrawContext* ctx,
                         Observer* observer) {
    observer->triangle(t1, t2, t3);
    if (t1.y == t2.y && t2.y == t3.y) {
        return;
    }
    if (std::isnan(t1.y) || std::isnan(t2.y) || std::isnan(t3.y)) {
        return; // no order exists, and the rotation below would never settle
    }
    // Rotations keep the cyclic order and with it the orientation; T1 becomes a lowest vertex.
    while (!(t1.y < t3.y && t1.y <= t2.y)) {
        const Vertex first = t1;
        t1 = t2;
        t2 = t3;
        t3 = first;
    }
    map_to_raster(&t1, ctx);
    map_to_raster(&t2, ctx);
    map_to_raster(&t3, ctx);
    if (!(finite_position(&t1) && finite_position(&t2) && finite_position(&t3))) {
        return;
    }
    Raster* raster = ctx->raster;
    Walker s;
    Walker e;
    double row = static_cast<double>(std::trunc(t1.y));
    walker_start(&s, &t1, &t3);
    if (t1.y == t2.y || t2.y == t3.y) {
        if (t2.y == t3.y) {
            walker_start(&e, &t1, &t2);
        } else {
            walker_start(&e, &t2, &t3);
        }
        run_rows(raster, &row, t3.y, &s, &e, observer);
        return;
    }
    // The walkers are never re-aligned to the row: the one that restarts at the middle vertex
    // stands off its row by that vertex's fraction, so a thin clockwise triangle off whole rows
    // can leave a few pixels, by design.
    walker_start(&e, &t1, &t2);
    run_rows(raster, &row, std::min(t2.y, t3.y), &s, &e, observer);
    if (t3.y > t2.y) {
        walker_start(&e, &t2, &t3);
        run_rows(raster, &row, t3.y, &s, &e, observer);
    } else {
        walker_start(&s, &t3, &t2);
        run_rows(raster, &row, t2.y, &s, &e, observer);
    }
}

template <typename Observer>
void draw_shape_heard(const ListVertex* shape, const DrawContext* ctx, Observer* observer) {
    if (shape == nullptr || shape->head == nullptr) {
        return;
    }
    const VertexNode* v0 = shape->head;
    if (shape->nmembers == 1) {
        draw_point(v0->vertex, ctx);
    } else if (shape->nmembers == 2) {
        draw_line(v0->vertex, v0->next->vertex, ctx);
    } else if (shape->nmembers == 3) {
        fill_triangle_heard(v0->vertex, v0->next->vertex, v0->next->next->vertex, ctx, observer);
    } else if (shape->nmembers > 3) {
        for (const VertexNode* vi = v0->next; vi->next != nullptr; vi = vi->next) {
            fill_triangle_heard(v0->vertex, vi->vertex, vi->next->vertex, ctx, observer);
        }
    }
}

} // namespace

void fill_triangle(Vertex t1, Vertex t2, Vertex t3, const DrawContext* ctx) {
    NoFillObserver nobody;
    fill_triangle_heard(t1, t2, t3, ctx, &nobody);
}

void draw_shape(const ListVertex* shape, const DrawContext* ctx) {
    NoFillObserver nobody;
    draw_shape_heard(shape, ctx, &nobody);
}

void draw_shape_observed(const ListVertex* shape, const DrawContext* ctx, FillObserver* observer) {
    draw_shape_heard(shape, ctx, observer);
}

void draw_shapes(const ListObject* shapes, const DrawContext* ctx) {
    for (const ObjectNode* node = shapes->head; node != nullptr; node = node->next) {
        draw_shape(node->shape, ctx);
    }
}
