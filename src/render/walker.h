// walker: a vertex walking a side of a primitive, one step per unit of one coordinate, as the DDA
// line walks its major axis and the fill its rows and spans.
#pragma once

#include "types/vertex.h"

#include <cmath>

// Brings the walker at, which moves by step per unit of its coordinate axis along the side from
// `from` to `to`, forward to target, a whole number of steps ahead (none for a target at or
// behind it). Up to 4096 steps it adds step once per step, exactly the accumulation that walking
// there would give; from further away, where walking would only cost time, it jumps: axis
// becomes target, and the other fields come from whichever end lies nearer target, since from a
// vertex at 1e30 only the near end gives them to any useful precision. Returns the number of
// steps added, or -1 when it jumped.
inline double walker_move_to(Vertex* at, const Vertex* step, float Vertex::*axis, double target,
                             const Vertex* from, const Vertex* to) {
    const double steps = target - static_cast<double>(at->*axis);
    if (steps <= 4096.0) {
        for (double k = 0.0; k < steps; k += 1.0) {
            vertex_advance(at, step);
        }
        return steps > 0.0 ? steps : 0.0;
    }
    const Vertex* base =
        std::fabs(to->*axis - target) < std::fabs(from->*axis - target) ? to : from;
    vertex_at(at, base, step, static_cast<float>(target - static_cast<double>(base->*axis)));
    at->*axis = static_cast<float>(target);
    return -1.0;
}
