#include "files/lineimage.h"

#include "files/textfile.h"

#include <cmath>
#include <cstdio>

namespace {

// A Line line as scanned, kept until every vertex is known.
struct LineCandidate {
    size_t fileLine;
    int stored;
    int32_t first;
    int32_t second;
};

bool is_stored_vertex(int32_t index, const std::vector<Vertex>& vertices) {
    return index >= 0 && index < std::ssize(vertices);
}

} // namespace

void read_image_file(const char* path, LineImage* image) {
    const auto lines = load_lines(path, "%d lines in image file.\n");
    if (!lines) {
        std::printf("ERROR: Image file not read.\n");
        return;
    }

    int32_t announcedLines = 0;
    int32_t announcedVertices = 0;
    for (const std::string& line : *lines) {
        int value = 0;
        if (std::sscanf(line.c_str(), "LineCount: %d", &value) >= 1) {
            announcedLines = value;
        } else if (std::sscanf(line.c_str(), "VertexCount: %d", &value) >= 1) {
            announcedVertices = value;
        }
    }

    std::vector<Vertex> vertices;
    std::vector<LineCandidate> candidates;
    int32_t linesTaken = 0;
    int32_t verticesTaken = 0;
    for (size_t i = 0; i < lines->size(); ++i) {
        const char* text = (*lines)[i].c_str();
        // The file gives no alpha; opaque, though the frame is copied without blending anyway.
        Vertex vertex{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
        const int storedFields = std::sscanf(text, "Vertex %*d: (%f, %f), RGB(%f, %f, %f)",
                                             &vertex.x, &vertex.y, &vertex.r, &vertex.g, &vertex.b);
        if (storedFields >= 1) {
            const float fields[] = {vertex.x, vertex.y, vertex.r, vertex.g, vertex.b};
            bool finite = true;
            for (int f = 0; f < storedFields; ++f) {
                finite = finite && std::isfinite(fields[f]);
            }
            if (!finite) {
                std::printf("ERROR: %s line %zu: vertex value not finite, ignored.\n", path, i + 1);
            } else {
                if (std::ssize(vertices) < announcedVertices) {
                    vertices.push_back(vertex);
                }
                ++verticesTaken;
            }
        }

        LineCandidate candidate{i + 1, 0, -1, -1};
        candidate.stored =
            std::sscanf(text, "Line %*d: %d, %d", &candidate.first, &candidate.second);
        if (candidate.stored >= 1) {
            candidates.push_back(candidate);
            ++linesTaken;
        }
    }

    // A dropped line takes no slot: the next valid line of the file fills it.
    std::vector<ImageLine> imageLines;
    for (const LineCandidate& candidate : candidates) {
        if (std::ssize(imageLines) >= announcedLines) {
            break;
        }
        if (candidate.stored < 2) {
            std::printf("ERROR: %s line %zu: line has no second vertex, dropped.\n", path,
                        candidate.fileLine);
        } else if (!is_stored_vertex(candidate.first, vertices) ||
                   !is_stored_vertex(candidate.second, vertices)) {
            std::printf("ERROR: %s line %zu: line %d, %d names a vertex not stored, dropped.\n",
                        path, candidate.fileLine, candidate.first, candidate.second);
        } else {
            imageLines.push_back(ImageLine{candidate.first, candidate.second});
        }
    }

    image->lines = std::move(imageLines);
    image->lineCount = static_cast<int32_t>(image->lines.size());
    image->vertices = std::move(vertices);
    image->vertexCount = static_cast<int32_t>(image->vertices.size());

    std::printf("Image file (%s) read. (%d lines and %d Vertices)\n", path, linesTaken,
                verticesTaken);
}
