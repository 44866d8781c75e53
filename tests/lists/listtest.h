// Test support for the lists: shapes built from x values, and read back.
#pragma once

#include "lists/listobject.h"
#include "lists/listvertex.h"

#include <chrono>
#include <vector>

// A vertex whose six fields are x, x + 1, ..., x + 5, so every field of a copy is checked.
inline Vertex vertex_of(float x) {
    return Vertex{x, x + 1, x + 2, x + 3, x + 4, x + 5};
}

// A chain of standalone-built nodes linked in order, or null for no values.
inline VertexNode* chain_of(const std::vector<float>& xs) {
    VertexNode* first = nullptr;
    VertexNode* last = nullptr;
    for (const float x : xs) {
        const Vertex v = vertex_of(x);
        VertexNode* node = listvertex_node_new(&v);
        (last == nullptr ? first : last->next) = node;
        last = node;
    }
    return first;
}

inline ListVertex* shape_of(const std::vector<float>& xs) {
    ListVertex* list = listvertex_new(nullptr);
    listvertex_append(list, chain_of(xs));
    return list;
}

// Every field of every node, in order; the test compares these with vertex_of's.
inline std::vector<float> fields_of(const ListVertex* list) {
    std::vector<float> out;
    for (const VertexNode* n = list->head; n != nullptr; n = n->next) {
        out.insert(out.end(),
                   {n->vertex.x, n->vertex.y, n->vertex.r, n->vertex.g, n->vertex.b, n->vertex.a});
    }
    return out;
}

inline std::vector<float> fields_of(const std::vector<float>& xs) {
    std::vector<float> out;
    for (const float x : xs) {
        out.insert(out.end(), {x, x + 1, x + 2, x + 3, x + 4, x + 5});
    }
    return out;
}

template <typename Call> double seconds_for(Call call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
