#include "lists/listvertex.h"

#include "lists/chain.h"

#include <cassert>

ListVertex* listvertex_new(VertexNode* node) {
    return new ListVertex{node != nullptr ? 1 : 0, node};
}

VertexNode* listvertex_node_new(const Vertex* vertex) {
    return new VertexNode{*vertex, nullptr};
}

ListVertex* listvertex_copy(const ListVertex* original) {
    ListVertex* newlist = listvertex_new(nullptr);
    VertexNode* last = nullptr;
    for (const VertexNode* node = original->head; node != nullptr; node = node->next) {
        last = listvertex_append_after(newlist, last, listvertex_node_new(&node->vertex));
    }
    assert(newlist->nmembers == original->nmembers);
    return newlist;
}

VertexNode* listvertex_head(const ListVertex* list) {
    return list->head;
}

VertexNode* listvertex_tail(const ListVertex* list) {
    return chain_last(list->head);
}

void listvertex_append(ListVertex* list, VertexNode* chain) {
    listvertex_append_after(list, listvertex_tail(list), chain);
}

VertexNode* listvertex_append_after(ListVertex* list, VertexNode* last, VertexNode* chain) {
    if (chain == nullptr) {
        return last;
    }
    if (last == nullptr) {
        list->head = chain;
    } else {
        last->next = chain;
    }
    return chain_last(chain, &list->nmembers);
}

ListVertex* listvertex_free(ListVertex* list) {
    if (list == nullptr) {
        return nullptr;
    }
    VertexNode* node = list->head;
    while (node != nullptr) {
        VertexNode* next = node->next;
        delete node;
        node = next;
    }
    delete list;
    return nullptr;
}
