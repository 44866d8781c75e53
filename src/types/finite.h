// finite: the check every reader makes of the numbers it takes.
#pragma once

#include <algorithm>
#include <cmath>
#include <initializer_list>

// True when every value is finite. nan, inf and numbers too large for a float are refused where
// they are read: the renderer would walk such geometry one unit at a time.
inline bool all_finite(std::initializer_list<float> values) {
    return std::all_of(values.begin(), values.end(),
                       [](float value) { return std::isfinite(value); });
}
