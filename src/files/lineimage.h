// lineimage: the image file, a table of coloured vertices and a table of directed lines between
// them; the clip polygon and the outline of every frame.
#pragma once

#include "render/vertex.h"

#include <cstdint>
#include <vector>

// A directed line from vertices[first] to vertices[second]; the clipper keeps its left side.
struct ImageLine {
    int32_t first;
    int32_t second;
};

// After read_image_file: lineCount == lines.size(), vertexCount == vertices.size(), and every
// line's two indices name stored vertices, so the drawing indexes them without checks.
struct LineImage {
    int32_t lineCount = 0;
    std::vector<ImageLine> lines;
    int32_t vertexCount = 0;
    std::vector<Vertex> vertices;
};

// Reads the image file at path into image, whose counts must be 0 on entry, reporting progress
// and errors on standard output. A missing file leaves image unchanged.
void read_image_file(const char* path, LineImage* image);
