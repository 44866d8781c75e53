#include "files/textfile.h"

#include <climits>
#include <cstdio>
#include <memory>

std::optional<std::vector<std::string>> load_lines(const char* path, const char* countMessage) {
    // Binary mode: the carriage returns are dropped here, the same on every platform.
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), std::fclose);
    if (file == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::string current;
    bool open = false; // characters read since the last line feed, so a last line counts too
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        for (size_t i = 0; i < got; ++i) {
            if (buffer[i] != '\n') {
                current.push_back(buffer[i]);
                open = true;
                continue;
            }
            if (!current.empty() && current.back() == '\r') {
                current.pop_back();
            }
            lines.push_back(std::move(current));
            current.clear();
            open = false;
        }
    }
    // A path that opens but cannot be read, such as a directory, counts as not opened.
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    if (open) {
        lines.push_back(std::move(current));
    }
    const int lineTotal = lines.size() > INT_MAX ? INT_MAX : static_cast<int>(lines.size());
    if (countMessage != nullptr) {
        std::printf(countMessage, lineTotal);
    }
    return lines;
}

void take_int32(int32_t* number, long long value, const char* what, const char* path, size_t line) {
    if (value < INT32_MIN || value > INT32_MAX) {
        std::printf("ERROR: %s line %zu: %s %lld out of range, ignored.\n", path, line, what,
                    value);
        return;
    }
    *number = static_cast<int32_t>(value);
}
