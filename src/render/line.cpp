#include "render/line.h"

#include <cmath>
#include <cstdint>

namespace {

// A walk that starts this many steps or fewer before the raster accumulates from its first
// vertex, exactly as the DDA always has; from further away it jumps (see walk).
constexpr float kExactSkip = 4096.0f;
// Beyond this magnitude a float holds only whole numbers.
constexpr float kWholeOnly = 16777216.0f;

Colour colour_of(const Vertex* v) {
    return Colour{v->r, v->g, v->b, v->a};
}

void plot(const Vertex* cur, const DrawContext* ctx) {
    raster_set_pixel(ctx->raster, colour_of(cur), trunc_to_int(cur->x), trunc_to_int(cur->y));
}

float& major(Vertex* v, bool alongX) {
    return alongX ? v->x : v->y;
}

// The DDA from p (the lower end of the major axis) to q. Only the steps whose pixels can land in
// the raster are walked: the major coordinate only grows, so the walk ends at the raster's far
// edge, and a start far before the near edge jumps ahead instead of stepping there one unit at a
// time (which would take as many steps as the line is long).
void walk(Vertex p, Vertex q, bool alongX, const DrawContext* ctx) {
    const float span = major(&q, alongX) - major(&p, alongX);
    if (!std::isfinite(span)) {
        // The ends lie further apart than a float holds, so p lies far outside; the walk would
        // draw p and then only NaN.
        return;
    }
    Vertex step;
    vertex_step(&step, &p, &q, span);
    const float farEdge = static_cast<float>(alongX ? ctx->raster->width : ctx->raster->height);
    // Pixels at a major coordinate of -1 or below truncate to -1 or less, outside the raster.
    const float start = major(&p, alongX);
    if (start >= -1.0f - kExactSkip) {
        const float bound = span + 0.5f;
        Vertex cur = p;
        for (int64_t i = 0; static_cast<float>(i) < bound; ++i) {
            if (major(&cur, alongX) >= farEdge) {
                return;
            }
            plot(&cur, ctx);
            vertex_advance(&cur, &step);
        }
        return;
    }
    // Resume one or two steps before the near edge, on the walk's own grid of whole steps from p
    // (where floats are that fine), taking the other fields from whichever end lies nearer: from
    // a vertex at 1e30 only the near end gives them to any useful precision.
    const float resume =
        start > -kWholeOnly
            ? static_cast<float>(static_cast<double>(start) +
                                 (std::floor(-1.0 - static_cast<double>(start)) - 1.0))
            : -2.0f;
    const float end = major(&q, alongX) + 0.5f;
    if (!(resume < end)) {
        return;
    }
    const float fromP = resume - start;
    const float fromQ = resume - major(&q, alongX);
    Vertex cur;
    if (std::fabs(fromQ) < fromP) {
        vertex_at(&cur, &q, &step, fromQ);
    } else {
        vertex_at(&cur, &p, &step, fromP);
    }
    major(&cur, alongX) = resume;
    // The step count is lost at such distances; i < span + 0.5 becomes its equivalent along the
    // major axis.
    while (major(&cur, alongX) < end && major(&cur, alongX) < farEdge) {
        plot(&cur, ctx);
        vertex_advance(&cur, &step);
    }
}

} // namespace

void draw_point(Vertex vertex, const DrawContext* ctx) {
    map_to_raster(&vertex, ctx);
    plot(&vertex, ctx);
}

void draw_line(Vertex p, Vertex q, const DrawContext* ctx) {
    map_to_raster(&p, ctx);
    map_to_raster(&q, ctx);
    if (!(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(q.x) && std::isfinite(q.y))) {
        return;
    }
    const float dy = std::fabs(q.y - p.y);
    const float dx = std::fabs(q.x - p.x);
    // A 45-degree line is x-major.
    const bool alongX = dy <= dx;
    if (major(&q, alongX) < major(&p, alongX)) {
        vertex_swap(&p, &q);
    }
    walk(p, q, alongX, ctx);
}

void draw_image_lines(const LineImage* image, const DrawContext* ctx) {
    for (int32_t i = 0; i < image->lineCount; ++i) {
        const ImageLine& line = image->lines[static_cast<size_t>(i)];
        draw_line(image->vertices[static_cast<size_t>(line.first)],
                  image->vertices[static_cast<size_t>(line.second)], ctx);
    }
}
