// walker: a vertex walking a side of a primitive, one step per unit of one coordinate, as the DDA
// line walks its major axis and the fill its rows and spans.
#pragma once

#include "types/vertex.h"

#include <cmath>

// How many steps a walker that starts outside the frame takes one at a time to reach it. Walking
// adds the step once per step, the exact sums the drawing rules give, and 65536 steps cost well
// under a millisecond. From further out, where a float coordinate may stand at 1e38 and walking
// could hang a frame, the walker jumps: one multiplication, which rounds differently from the
// sums, so far-off geometry is drawn close to the rules but not bit for bit.
inline constexpr double kWalkLimit = 65536.0;

// Brings the walker at, which moves by step per unit of its coordinate axis along the side from
// `from` to `to`, forward to target, a whole number of steps ahead (none for a target at or
// behind it). Up to kWalkLimit steps it walks there; from further away it jumps: axis becomes
// target, and the other fields come from whichever end lies nearer target, since from a vertex
// at 1e30 only the near end gives them to any useful precision. Returns false when it jumped.
inline bool walker_move_to(Vertex* at, const Vertex* step, float Vertex::*axis, double target,
                           const Vertex* from, const Vertex* to) {
    const double steps = target - static_cast<double>(at->*axis);
    if (steps <= kWalkLimit) {
        for (double k = 0.0; k < steps; k += 1.0) {
            vertex_advance(at, step);
        }
        return true;
    }
    const Vertex* base =
        std::fabs(to->*axis - target) < std::fabs(from->*axis - target) ? to : from;
    vertex_at(at, base, step, static_cast<float>(target - static_cast<double>(base->*axis)));
    at->*axis = static_cast<float>(target);
    return false;
}
