// textfile: the first stage of both data-file readers, the whole file as a list of lines.
#pragma once

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// Reads every line of the file at path whole, whatever its length, without its line feed and
// without a carriage return directly before it. A last line without a line feed is read and
// counted like any other. Prints countMessage (a printf format with one %d) with the number of
// lines. Returns nothing when the file cannot be opened; then nothing is printed.
std::optional<std::vector<std::string>> load_lines(const char* path, const char* countMessage);

// True when every value is finite. nan, inf and numbers too large for a float are refused where
// they are read: the renderer would walk such geometry one unit at a time.
inline bool all_finite(std::initializer_list<float> values) {
    return std::all_of(values.begin(), values.end(),
                       [](float value) { return std::isfinite(value); });
}
