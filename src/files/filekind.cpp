#include "files/filekind.h"

#include "files/scenefile.h"
#include "files/textfile.h"

#include <cstdio>
#include <string>

namespace {

// Each test is the pattern its reader scans a line with, up to the first conversion that tells
// the kinds apart.
bool config_line(const char* text) {
    long long n;
    float f;
    return std::sscanf(text, "WindowWidth: %lld", &n) >= 1 ||
           std::sscanf(text, "WindowHeight: %lld", &n) >= 1 ||
           std::sscanf(text, "ColourCount: %lld", &n) >= 1 || std::sscanf(text, "RGBA(%f", &f) >= 1;
}

bool clip_line(const char* text) {
    long long n;
    return std::sscanf(text, "LineCount: %lld", &n) >= 1 ||
           std::sscanf(text, "VertexCount: %lld", &n) >= 1 ||
           std::sscanf(text, "Vertex %lld:", &n) >= 1 || std::sscanf(text, "Line %lld:", &n) >= 1;
}

bool scene_line(const std::string& text) {
    float f;
    return scenefile_shape_line(text) || std::sscanf(text.c_str(), "Vertex: (%f", &f) >= 1;
}

} // namespace

FileKind file_kind(const char* path, FileKind preferred) {
    const auto lines = load_lines(path, nullptr);
    if (!lines) {
        return FileKind::Unknown;
    }
    size_t config = 0;
    size_t clip = 0;
    size_t scene = 0;
    for (const std::string& line : *lines) {
        config += config_line(line.c_str()) ? 1 : 0;
        clip += clip_line(line.c_str()) ? 1 : 0;
        scene += scene_line(line) ? 1 : 0;
    }
    const size_t taken[] = {0, config, clip, scene};
    if (taken[static_cast<size_t>(preferred)] > 0) {
        return preferred;
    }
    if (config > clip && config > scene) {
        return FileKind::Config;
    }
    if (clip > config && clip > scene) {
        return FileKind::ClipPolygon;
    }
    if (scene > config && scene > clip) {
        return FileKind::Scene;
    }
    return FileKind::Unknown;
}
