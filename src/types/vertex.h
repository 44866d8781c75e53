// Vertex: position and colour, six 32-bit floats. Every interpolation treats all six fields
// alike, so colours are interpolated exactly as positions are. Each arithmetic function writes
// its result into its first argument and returns it; every field is rounded to float as stored.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

struct Vertex {
    float x;
    float y;
    float r;
    float g;
    float b;
    float a;
};

// out = (b - a) / d, field by field: the change of every field per unit of d.
// A d of 0 gives infinities or NaN without trapping; callers never use such a step.
inline Vertex* vertex_step(Vertex* out, const Vertex* a, const Vertex* b, float d) {
    out->x = (b->x - a->x) / d;
    out->y = (b->y - a->y) / d;
    out->r = (b->r - a->r) / d;
    out->g = (b->g - a->g) / d;
    out->b = (b->b - a->b) / d;
    out->a = (b->a - a->a) / d;
    return out;
}

// out = a + t * step, field by field.
inline Vertex* vertex_at(Vertex* out, const Vertex* a, const Vertex* step, float t) {
    out->x = a->x + t * step->x;
    out->y = a->y + t * step->y;
    out->r = a->r + t * step->r;
    out->g = a->g + t * step->g;
    out->b = a->b + t * step->b;
    out->a = a->a + t * step->a;
    return out;
}

// v = v + step, field by field.
inline Vertex* vertex_advance(Vertex* v, const Vertex* step) {
    v->x += step->x;
    v->y += step->y;
    v->r += step->r;
    v->g += step->g;
    v->b += step->b;
    v->a += step->a;
    return v;
}

inline void vertex_swap(Vertex* a, Vertex* b) {
    const Vertex t = *a;
    *a = *b;
    *b = t;
}

// u.x * v.x + u.y * v.y over two pairs of numbers: floats, or vectors of floats lane by lane.
template <typename F> F dot2(F ux, F uy, F vx, F vy) {
    return ux * vx + uy * vy;
}

// The same over the first two fields of two vertices.
inline float dot2(const Vertex* u, const Vertex* v) {
    return dot2(u->x, u->y, v->x, v->y);
}

// How the renderer turns a float coordinate into a pixel column or row: rounds toward zero
// (2.9 -> 2, -0.5 -> 0, -1.5 -> -1). Values outside the int range, and NaN, would be undefined
// behaviour in a plain cast; they saturate instead (NaN gives INT32_MIN), which lands them
// outside any raster. (The fill's row counter, a whole number already clamped to the raster,
// needs no such care.)
inline int32_t trunc_to_int(float value) {
    constexpr float lowest = -2147483648.0f; // exactly -2^31
    if (!(value >= lowest)) {
        return std::numeric_limits<int32_t>::min();
    }
    if (value >= -lowest) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}
