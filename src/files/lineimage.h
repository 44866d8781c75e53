// lineimage: the image file, a table of coloured vertices and a table of directed lines between
// them; the clip polygon and the outline of every frame.
#pragma once

#include "types/vertex.h"

#include <cstdint>
#include <vector>

// A directed line from vertices[first] to vertices[second]; the clipper keeps its left side.
struct ImageLine {
    int32_t first;
    int32_t second;
};

// After read_image_file: lineCount == lines.size(), vertexCount == vertices.size(), and every
// line's two indices name stored vertices, so the drawing indexes them without checks. Fields
// that a partly matching Vertex line does not give are 0; the alpha of every vertex is 1.
struct LineImage {
    int32_t lineCount = 0;
    std::vector<ImageLine> lines;
    int32_t vertexCount = 0;
    std::vector<Vertex> vertices;
};

// Reads the image file at path into image, whose counts must be 0 on entry, reporting progress
// and errors on standard output. A missing file leaves image unchanged. Only the entries the
// file gives are kept, never more than it announces: a Vertex line with a value that is not
// finite is neither stored nor counted, and a Line line that names no stored vertex is dropped
// with a message but still counted in the final message.
void read_image_file(const char* path, LineImage* image);
