// Test support for the renderer: rasters read back as pictures of written spans, so a failure
// prints what was drawn next to what was expected.
#pragma once

#include "lists/listvertex.h"
#include "render/drawcontext.h"
#include "render/raster.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// No drawing colour of these tests is negative, so a pixel still holding this was not written.
inline constexpr Colour kUnwritten{-1.0f, -1.0f, -1.0f, -1.0f};

inline bool same_bits(const Colour& a, const Colour& b) {
    return std::memcmp(&a, &b, sizeof(Colour)) == 0;
}

inline const Colour& pixel_at(const Raster* raster, int32_t column, int32_t row) {
    return raster->pixels[column + static_cast<size_t>(row) * raster->width];
}

// Columns first to last, both included, of one row.
struct Span {
    int32_t row;
    int32_t first;
    int32_t last;
};

// "row 2: 1-4\nrows 3-5: 1-8 12": the rows bottom up with their runs of columns, rows alike in
// a row merged.
inline std::string spans_text(const std::vector<Span>& spans) {
    std::vector<std::pair<int32_t, std::string>> rows;
    for (const Span& s : spans) {
        if (rows.empty() || rows.back().first != s.row) {
            rows.push_back({s.row, ""});
        }
        rows.back().second += " " + std::to_string(s.first);
        if (s.last != s.first) {
            rows.back().second += "-" + std::to_string(s.last);
        }
    }
    std::string text;
    for (size_t i = 0; i < rows.size();) {
        size_t j = i + 1;
        while (j < rows.size() && rows[j].first == rows[j - 1].first + 1 &&
               rows[j].second == rows[i].second) {
            ++j;
        }
        text += text.empty() ? "" : "\n";
        text += j - i == 1 ? "row " + std::to_string(rows[i].first)
                           : "rows " + std::to_string(rows[i].first) + "-" +
                                 std::to_string(rows[j - 1].first);
        text += ":" + rows[i].second;
        i = j;
    }
    return text;
}

// The runs of pixels that differ from background, as spans_text writes them.
inline std::string written_spans(const Raster* raster, Colour background = kUnwritten) {
    std::vector<Span> spans;
    for (int32_t row = 0; row < raster->height; ++row) {
        for (int32_t col = 0; col < raster->width; ++col) {
            if (same_bits(pixel_at(raster, col, row), background)) {
                continue;
            }
            if (!spans.empty() && spans.back().row == row && spans.back().last == col - 1) {
                spans.back().last = col;
            } else {
                spans.push_back({row, col, col});
            }
        }
    }
    return spans_text(spans);
}

inline std::string colour_text(const Colour& c) {
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "(%.9g %.9g %.9g %.9g)", c.r, c.g, c.b, c.a);
    return buffer;
}

// "(0.75 0 0.25 1) (0.5 0 0.5 1)": the colours of columns first to last of one row.
inline std::string colours_text(const Raster* raster, int32_t row, int32_t first, int32_t last) {
    std::string text;
    for (int32_t col = first; col <= last; ++col) {
        text += (text.empty() ? "" : " ") + colour_text(pixel_at(raster, col, row));
    }
    return text;
}

// The spans of a rectangle, rows first to last by columns first to last.
inline std::vector<Span> rectangle(int32_t firstRow, int32_t lastRow, int32_t first, int32_t last) {
    std::vector<Span> spans;
    for (int32_t row = firstRow; row <= lastRow; ++row) {
        spans.push_back({row, first, last});
    }
    return spans;
}

// A 17 x 17 raster with both extents 2, where view (x, y) maps exactly to raster
// (8x + 8, 8y + 8); vertices are given in raster units and converted back.
struct Raster17 {
    Raster17() : raster(raster_new(17, 17)), ctx{raster, nullptr, 2.0f, 2.0f} {
        raster_fill(raster, kUnwritten);
    }
    ~Raster17() { raster_free(raster); }
    Raster17(const Raster17&) = delete;
    Raster17& operator=(const Raster17&) = delete;

    static Vertex at(float column, float row, Colour c = {1, 1, 1, 1}) {
        return Vertex{(column - 8) / 8, (row - 8) / 8, c.r, c.g, c.b, c.a};
    }

    Raster* raster;
    DrawContext ctx;
};

inline ListVertex* shape_of(const std::vector<Vertex>& vertices) {
    ListVertex* shape = listvertex_new(nullptr);
    VertexNode* last = nullptr;
    for (const Vertex& v : vertices) {
        last = listvertex_append_after(shape, last, listvertex_node_new(&v));
    }
    return shape;
}
