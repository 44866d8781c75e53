#include "lists/listobject.h"

#include <cassert>

ListObject* listobject_new(ObjectNode* node) {
    return new ListObject{node != nullptr ? 1 : 0, node};
}

ObjectNode* listobject_node_new(ListVertex* shape) {
    if (shape == nullptr) {
        return nullptr;
    }
    return new ObjectNode{shape, nullptr};
}

ListObject* listobject_copy(const ListObject* original) {
    if (original == nullptr) {
        return nullptr;
    }
    ListObject* newlist = listobject_new(nullptr);
    // Linked behind a held last node rather than through listobject_append, whose walk from
    // head would make the copy quadratic in the number of shapes.
    ObjectNode* last = nullptr;
    for (const ObjectNode* node = original->head; node != nullptr; node = node->next) {
        ObjectNode* copy = listobject_node_new(listvertex_copy(node->shape));
        if (last == nullptr) {
            newlist->head = copy;
        } else {
            last->next = copy;
        }
        last = copy;
        ++newlist->nmembers;
    }
    assert(newlist->nmembers == original->nmembers);
    return newlist;
}

void listobject_append(ListObject* list, ObjectNode* node) {
    if (node == nullptr) {
        return;
    }
    if (list->head == nullptr) {
        list->head = node;
    } else {
        ObjectNode* last = list->head;
        while (last->next != nullptr) {
            last = last->next;
        }
        last->next = node;
    }
    ++list->nmembers;
}

ListObject* listobject_free(ListObject* list) {
    if (list == nullptr) {
        return nullptr;
    }
    ObjectNode* node = list->head;
    while (node != nullptr) {
        ObjectNode* next = node->next;
        listvertex_free(node->shape);
        delete node;
        node = next;
    }
    delete list;
    return nullptr;
}
