// output: a file written whole or not at all. A failed write must never cost the user what the
// path held before, nor remove what is not ours to remove (a device, a pipe).
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Writes the file at path through write, which returns false when it could not write everything.
// A regular file (or none yet) is written to a temporary file beside it that replaces it by a
// rename only when the whole write succeeded; the new file takes the old one's mode, or the
// mode a plain create would give. A path that names something else, a device or a pipe, is
// written in place and never removed. A symbolic link is followed and stays a link. On failure
// nothing at path has changed but what an in-place write already sent, the temporary file is
// gone, and why says what failed.
bool output_write(const char* path, const std::function<bool(FILE*)>& write, std::string* why);
