#include "lists/listobject.h"

#include "lists/chain.h"

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
    ObjectNode* last = nullptr;
    for (const ObjectNode* node = original->head; node != nullptr; node = node->next) {
        last = listobject_append_after(newlist, last,
                                       listobject_node_new(listvertex_copy(node->shape)));
    }
    assert(newlist->nmembers == original->nmembers);
    return newlist;
}

ObjectNode* listobject_tail(const ListObject* list) {
    return chain_last(list->head);
}

void listobject_append(ListObject* list, ObjectNode* node) {
    listobject_append_after(list, listobject_tail(list), node);
}

ObjectNode* listobject_append_after(ListObject* list, ObjectNode* last, ObjectNode* node) {
    if (node == nullptr) {
        return last;
    }
    if (last == nullptr) {
        list->head = node;
    } else {
        last->next = node;
    }
    ++list->nmembers;
    return node;
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
