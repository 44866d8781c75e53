#include "render/line.h"

#include "render/walker.h"

#include <cmath>
#include <cstdint>

namespace {

// Beyond this magnitude a float holds only whole numbers.
constexpr float kWholeOnly = 16777216.0f;

Colour colour_of(const Vertex* v) {
    return Colour{v->r, v->g, v->b, v->a};
}

void plot(const Vertex* cur, const DrawContext* ctx) {
    raster_set_pixel(ctx->raster, colour_of(cur), trunc_to_int(cur->x), trunc_to_int(cur->y));
}

// Where a walk that starts at `start`, far before the raster's near edge, resumes: one or two
// steps before that edge, on the walk's own grid of whole steps where floats are that fine.
// Positions at -1 or below truncate to -1 or less, outside the raster.
double resume_before_edge(float start) {
    if (start <= -kWholeOnly) {
        return -2.0;
    }
    return static_cast<double>(start) + (std::floor(-1.0 - static_cast<double>(start)) - 1.0);
}

// The DDA from p (the lower end of the major axis) to q. Only the steps whose pixels can land in
// the raster are walked: the major coordinate only grows, so the walk ends at the raster's far
// edge, and a start before the near edge moves up to it at once (walker_move_to).
void walk(Vertex p, Vertex q, float Vertex::*major, const DrawContext* ctx) {
    const float span = q.*major - p.*major;
    if (!std::isfinite(span)) {
        // The ends lie further apart than a float holds, so p lies far outside; the walk would
        // draw p and then only NaN.
        return;
    }
    Vertex step;
    vertex_step(&step, &p, &q, span);
    const float farEdge =
        static_cast<float>(major == &Vertex::x ? ctx->raster->width : ctx->raster->height);
    Vertex cur = p;
    // A start from which the edge lies more than two steps ahead moves to one or two steps
    // before it; from nearer there is nothing to skip.
    double steps = 0.0;
    bool walked = true;
    if (p.*major < -2.0f) {
        const double target = resume_before_edge(p.*major);
        steps = target - static_cast<double>(p.*major);
        walked = walker_move_to(&cur, &step, major, target, &p, &q);
    }
    if (walked) {
        // The walk as the DDA counts it: span + 1 positions, rounded.
        const float bound = span + 0.5f;
        for (double i = steps; static_cast<float>(i) < bound; i += 1.0) {
            if (cur.*major >= farEdge) {
                return;
            }
            plot(&cur, ctx);
            vertex_advance(&cur, &step);
        }
        return;
    }
    // After a jump the step count is lost; i < span + 0.5 becomes its equivalent along the
    // major axis.
    const float end = q.*major + 0.5f;
    while (cur.*major < end && cur.*major < farEdge) {
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
    // A 45-degree line is x-major.
    float Vertex::*major = std::fabs(q.y - p.y) <= std::fabs(q.x - p.x) ? &Vertex::x : &Vertex::y;
    if (q.*major < p.*major) {
        vertex_swap(&p, &q);
    }
    walk(p, q, major, ctx);
}

void draw_image_lines(const LineImage* image, const DrawContext* ctx) {
    for (int32_t i = 0; i < image->lineCount; ++i) {
        const LineEnds ends = lineimage_line_ends(image, i);
        draw_line(ends.a, ends.b, ctx);
    }
}
