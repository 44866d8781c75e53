#include "files/imagefile.h"

#include "files/textfile.h"
#include "types/finite.h"

#include <cstdint>
#include <cstdio>

namespace {

// A Line line as scanned, kept until every vertex is known.
struct LineCandidate {
    size_t fileLine;
    int stored;
    long long first;
    long long second;
};

bool is_stored_vertex(long long index, const std::vector<Vertex>& vertices) {
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
    for (size_t i = 0; i < lines->size(); ++i) {
        long long value = 0; // wide: see take_int32
        if (std::sscanf((*lines)[i].c_str(), "LineCount: %lld", &value) >= 1) {
            take_int32(&announcedLines, value, "line count", path, i + 1);
        } else if (std::sscanf((*lines)[i].c_str(), "VertexCount: %lld", &value) >= 1) {
            take_int32(&announcedVertices, value, "vertex count", path, i + 1);
        }
    }

    std::vector<Vertex> vertices;
    std::vector<LineCandidate> candidates;
    int32_t linesTaken = 0;
    int32_t verticesTaken = 0;
    for (size_t i = 0; i < lines->size(); ++i) {
        const char* text = (*lines)[i].c_str();
        // What a partial match leaves out stays 0. The file gives no alpha: opaque, though the
        // frame is copied without blending anyway.
        Vertex vertex{};
        vertex.a = 1.0f;
        const int storedFields = std::sscanf(text, "Vertex %*d: (%f, %f), RGB(%f, %f, %f)",
                                             &vertex.x, &vertex.y, &vertex.r, &vertex.g, &vertex.b);
        // Fields a partial match leaves out stay 0, so checking all five is checking those read.
        if (storedFields >= 1 && !all_finite({vertex.x, vertex.y, vertex.r, vertex.g, vertex.b})) {
            std::printf("ERROR: %s line %zu: vertex value not finite, ignored.\n", path, i + 1);
        } else if (storedFields >= 1) {
            if (std::ssize(vertices) < announcedVertices) {
                vertices.push_back(vertex);
            }
            ++verticesTaken;
        }

        LineCandidate candidate{i + 1, 0, -1, -1};
        candidate.stored =
            std::sscanf(text, "Line %*d: %lld, %lld", &candidate.first, &candidate.second);
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
            std::printf("ERROR: %s line %zu: line %lld, %lld names a vertex not stored, dropped.\n",
                        path, candidate.fileLine, candidate.first, candidate.second);
        } else {
            imageLines.push_back(ImageLine{static_cast<int32_t>(candidate.first),
                                           static_cast<int32_t>(candidate.second)});
        }
    }

    image->lines = std::move(imageLines);
    image->lineCount = static_cast<int32_t>(image->lines.size());
    image->vertices = std::move(vertices);
    image->vertexCount = static_cast<int32_t>(image->vertices.size());

    std::printf("Image file (%s) read. (%d lines and %d Vertices)\n", path, linesTaken,
                verticesTaken);
}
