// lineimage: the clip polygon and outline of every frame, a table of coloured vertices and a
// table of directed lines between them, as the image file gives them.
#pragma once

#include "types/vertex.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A directed line from vertices[first] to vertices[second]; the clipper keeps its left side.
struct ImageLine {
    int32_t first;
    int32_t second;
};

// lineCount == lines.size(), vertexCount == vertices.size(), and every line's two indices name
// stored vertices, so the drawing indexes them without checks: the image file's reader
// guarantees all three.
struct LineImage {
    int32_t lineCount = 0;
    std::vector<ImageLine> lines;
    int32_t vertexCount = 0;
    std::vector<Vertex> vertices;
};

// The two ends of line i, directed from a to b.
struct LineEnds {
    const Vertex& a;
    const Vertex& b;
};

inline LineEnds lineimage_line_ends(const LineImage* image, int32_t i) {
    const ImageLine& line = image->lines[static_cast<size_t>(i)];
    return LineEnds{image->vertices[static_cast<size_t>(line.first)],
                    image->vertices[static_cast<size_t>(line.second)]};
}
