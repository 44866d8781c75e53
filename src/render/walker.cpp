#include "render/walker.h"

#include <cmath>

namespace {

// Beyond this many steps the accumulated walk is replaced by a jump.
constexpr double kExactSteps = 4096.0;

} // namespace

double walker_move_to(Vertex* at, const Vertex* step, float Vertex::*axis, double target,
                      const Vertex* from, const Vertex* to) {
    const double steps = target - static_cast<double>(at->*axis);
    if (steps <= kExactSteps) {
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
