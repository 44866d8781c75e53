// textfile: the first stage of both data-file readers, the whole file as a list of lines.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Reads every line of the file at path whole, whatever its length, without its line feed and
// without a carriage return directly before it. A last line without a line feed is read and
// counted like any other. Prints countMessage (a printf format with one %d) with the number of
// lines. Returns nothing when the file cannot be opened; then nothing is printed.
std::optional<std::vector<std::string>> load_lines(const char* path, const char* countMessage);
