#include "files/scenefile.h"

#include "files/textfile.h"
#include "types/finite.h"

#include <cstdio>

bool scenefile_shape_line(const std::string& text) {
    return text.starts_with("Shape") &&
           (text.size() == 5 || text[5] == ' ' || text[5] == '\t' || text[5] == ':');
}

bool scenefile_read(const char* path, ListObject* shapes) {
    const auto lines = load_lines(path, "%d lines in scene file.\n");
    if (!lines) {
        std::printf("ERROR: Scene file not read.\n");
        return false;
    }
    ObjectNode* last = listobject_tail(shapes);
    ListVertex* shape = nullptr; // the shape begun last, owned by shapes
    VertexNode* corner = nullptr;
    int32_t shapesRead = 0;
    int32_t verticesRead = 0;
    const auto begin_shape = [&] {
        shape = listvertex_new(nullptr);
        corner = nullptr;
        last = listobject_append_after(shapes, last, listobject_node_new(shape));
        ++shapesRead;
    };
    for (size_t i = 0; i < lines->size(); ++i) {
        const std::string& text = (*lines)[i];
        if (scenefile_shape_line(text)) {
            begin_shape();
            continue;
        }
        Vertex v{}; // what a partial match leaves out stays 0
        const int stored = std::sscanf(text.c_str(), "Vertex: (%f, %f), RGBA(%f, %f, %f, %f)", &v.x,
                                       &v.y, &v.r, &v.g, &v.b, &v.a);
        if (stored < 1) {
            continue;
        }
        if (stored == 1) {
            std::printf("ERROR: %s line %zu: vertex has no y, ignored.\n", path, i + 1);
            continue;
        }
        // Fields a partial match leaves out stay 0, so checking all six is checking those read.
        if (!all_finite({v.x, v.y, v.r, v.g, v.b, v.a})) {
            std::printf("ERROR: %s line %zu: vertex value not finite, ignored.\n", path, i + 1);
            continue;
        }
        if (shape == nullptr) {
            begin_shape();
        }
        corner = listvertex_append_after(shape, corner, listvertex_node_new(&v));
        ++verticesRead;
    }
    std::printf("Scene file (%s) read. (%d shapes and %d vertices)\n", path, shapesRead,
                verticesRead);
    return true;
}

std::string scenefile_text(const ListObject* shapes) {
    std::string text;
    char line[160];
    for (const ObjectNode* node = shapes->head; node != nullptr; node = node->next) {
        text += "Shape\n";
        for (const VertexNode* n = node->shape->head; n != nullptr; n = n->next) {
            // Nine significant digits give every float back exactly.
            const Vertex& v = n->vertex;
            std::snprintf(line, sizeof line, "Vertex: (%.9g, %.9g), RGBA(%.9g, %.9g, %.9g, %.9g)\n",
                          v.x, v.y, v.r, v.g, v.b, v.a);
            text += line;
        }
    }
    return text;
}
