// chain: the walk both lists make to the end of a run of nodes linked by next.
#pragma once

#include <cstdint>

// The last node of the chain that starts at node, null for none; adds the chain's length to
// *count when count is given.
template <typename Node> Node* chain_last(Node* node, int32_t* count = nullptr) {
    if (node == nullptr) {
        return nullptr;
    }
    int32_t length = 1;
    while (node->next != nullptr) {
        node = node->next;
        ++length;
    }
    if (count != nullptr) {
        *count += length;
    }
    return node;
}
