// listobject: the shapes, an ordered singly linked list whose nodes each own one ListVertex.
#pragma once

#include "lists/listvertex.h"

#include <cstdint>

struct ObjectNode {
    ListVertex* shape;
    ObjectNode* next;
};

struct ListObject {
    int32_t nmembers;
    ObjectNode* head;
};

// A new list holding node (which must stand alone), or an empty one for null.
ListObject* listobject_new(ObjectNode* node);
// A new node that takes over shape; null when shape is null (so committing nothing adds nothing).
ObjectNode* listobject_node_new(ListVertex* shape);
// A deep copy sharing no node and no shape with original; null for null. Every node of original
// must refer to a shape. Takes time linear in the number of nodes and vertices. The frame pass
// copies no whole list (only a shape that a clip line cuts); this stays for a caller that wants
// the list to keep.
ListObject* listobject_copy(const ListObject* original);
// The last node, or null when the list is empty; walks from head.
ObjectNode* listobject_tail(const ListObject* list);
// Appends one standalone node at the end; null changes nothing.
void listobject_append(ListObject* list, ObjectNode* node);
// As listobject_append, for a builder that already holds the list's last node (null when the
// list is empty): no walk from head. Returns the new last node, so that building a list of n
// shapes takes time linear in n.
ObjectNode* listobject_append_after(ListObject* list, ObjectNode* last, ObjectNode* node);
// Releases every node with its shape (a null shape is allowed), then the record; accepts null.
// Returns null: callers store it in the variable that held the list.
ListObject* listobject_free(ListObject* list);
