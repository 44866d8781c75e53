// textfile: the first stage of both data-file readers, the whole file as a list of lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reads every line of the file at path whole, whatever its length, without its line feed and
// without a carriage return directly before it. A last line without a line feed is read and
// counted like any other. Prints countMessage (a printf format with one %d) with the number of
// lines, unless it is null. Returns nothing when the file cannot be opened; then nothing is
// printed.
std::optional<std::vector<std::string>> load_lines(const char* path, const char* countMessage);

// Stores value in *number unless it lies beyond the int range, which is reported as "ERROR:
// <path> line <line>: <what> <value> out of range, ignored." and leaves *number as it was. The
// readers scan numbers wide (%lld) and narrow them here: a plain %d conversion would wrap
// numbers beyond its range into plausible ones.
void take_int32(int32_t* number, long long value, const char* what, const char* path, size_t line);
