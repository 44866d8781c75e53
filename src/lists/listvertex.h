// listvertex: one shape, the ordered corners of a polygon as a singly linked list.
// A list owns its nodes; each node holds its own copy of a Vertex. Invariant: nmembers equals
// the number of nodes reachable from head, which the shape drawer relies on.
#pragma once

#include "types/vertex.h"

#include <cstdint>

struct VertexNode {
    Vertex vertex;
    VertexNode* next;
};

struct ListVertex {
    int32_t nmembers;
    VertexNode* head;
};

// A new list holding node (which must stand alone: its next is null), or an empty one for null.
ListVertex* listvertex_new(VertexNode* node);
// A new node holding a copy of *vertex, with a null next.
VertexNode* listvertex_node_new(const Vertex* vertex);
// A deep copy that shares no node with original (not null); takes time linear in its length.
ListVertex* listvertex_copy(const ListVertex* original);
// The first node, or null when the list is empty.
VertexNode* listvertex_head(const ListVertex* list);
// The last node, or null when the list is empty; walks from head.
VertexNode* listvertex_tail(const ListVertex* list);
// Links chain (a node and the nodes after it, or null for no change) behind the last node and
// adds the chain's length to nmembers. The list owns the chain from then on.
void listvertex_append(ListVertex* list, VertexNode* chain);
// As listvertex_append, for a builder that already holds the list's last node (null when the
// list is empty): no walk from head. Returns the new last node, so that building a list of
// n nodes takes time linear in n.
VertexNode* listvertex_append_after(ListVertex* list, VertexNode* last, VertexNode* chain);
// Releases every node, then the record; accepts null. Returns null: callers store it in the
// variable that held the list.
ListVertex* listvertex_free(ListVertex* list);
