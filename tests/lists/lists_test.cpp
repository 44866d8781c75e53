#include "lists/listobject.h"
#include "lists/listvertex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

// Vertex x holds x, x + 1, ..., x + 5, so a copy that loses any field shows.
VertexNode* chain_of(const std::vector<float>& xs) {
    VertexNode* first = nullptr;
    for (auto x = xs.rbegin(); x != xs.rend(); ++x) {
        const Vertex v{*x, *x + 1, *x + 2, *x + 3, *x + 4, *x + 5};
        VertexNode* node = listvertex_node_new(&v);
        node->next = first;
        first = node;
    }
    return first;
}

ListVertex* shape_of(const std::vector<float>& xs) {
    ListVertex* list = listvertex_new(nullptr);
    listvertex_append(list, chain_of(xs));
    return list;
}

std::vector<float> fields_of(const ListVertex* list) {
    std::vector<float> out;
    for (const VertexNode* n = list->head; n != nullptr; n = n->next) {
        out.insert(out.end(),
                   {n->vertex.x, n->vertex.y, n->vertex.r, n->vertex.g, n->vertex.b, n->vertex.a});
    }
    return out;
}

// The lists take what they are given; the release takes a node whose shape is already gone.
TEST(Lists, NewTakesTheNodeAndFreeReturnsNull) {
    VertexNode* vertex = chain_of({1});
    ObjectNode* node = listobject_node_new(listvertex_new(vertex));
    ListObject* list = listobject_new(node);
    EXPECT_EQ(node->shape->head, vertex);
    EXPECT_EQ(node->shape->nmembers, 1);
    EXPECT_EQ(list->head, node);
    EXPECT_EQ(list->nmembers, 1);
    listobject_append(list, listobject_node_new(shape_of({2})));
    list->head->next->shape = listvertex_free(list->head->next->shape);
    EXPECT_EQ(listobject_free(list), nullptr);
    EXPECT_EQ(listobject_free(nullptr), nullptr);
    EXPECT_EQ(listvertex_free(nullptr), nullptr);
}

// Both appends link the whole chain behind the last node and count every node of it.
TEST(ListVertex, AppendLinksAndCountsTheWholeChain) {
    const std::vector<float> cases[][2] = {
        {{}, {}}, {{}, {1, 2, 3}}, {{1, 2}, {}}, {{1, 2}, {3, 4}}};
    for (const auto& [before, added] : cases) {
        std::vector<float> all = before;
        all.insert(all.end(), added.begin(), added.end());
        ListVertex* whole = shape_of(all);
        for (const bool after : {false, true}) {
            SCOPED_TRACE(testing::Message() << before.size() << " + " << added.size() << after);
            ListVertex* list = shape_of(before);
            VertexNode* last = nullptr;
            if (after) {
                last = listvertex_append_after(list, listvertex_tail(list), chain_of(added));
            } else {
                listvertex_append(list, chain_of(added));
            }
            EXPECT_EQ(list->nmembers, std::ssize(all));
            EXPECT_EQ(fields_of(list), fields_of(whole));
            for (VertexNode* n = list->head; !after && n != nullptr; n = n->next) {
                last = n;
            }
            EXPECT_EQ(listvertex_tail(list), last);
            listvertex_free(list);
        }
        listvertex_free(whole);
    }
}

// listobject_copy copies every shape with listvertex_copy, so this checks both.
TEST(Lists, CopiesAreDeepAndIndependent) {
    EXPECT_EQ(listobject_copy(nullptr), nullptr);
    ListObject* original = listobject_new(nullptr);
    for (const auto& xs : {std::vector<float>{1, 2, 3}, {}, {4}}) {
        listobject_append(original, listobject_node_new(nullptr)); // adds nothing
        listobject_append(original, listobject_node_new(shape_of(xs)));
    }
    ListObject* copy = listobject_copy(original);
    ASSERT_EQ(copy->nmembers, 3);
    const ObjectNode* a = original->head;
    for (const ObjectNode* b = copy->head; b != nullptr; a = a->next, b = b->next) {
        const std::vector<float> fields = fields_of(a->shape);
        EXPECT_EQ(fields_of(b->shape), fields);
        for (VertexNode* n = b->shape->head; n != nullptr; n = n->next) {
            n->vertex.y = 99;
        }
        EXPECT_EQ(fields_of(a->shape), fields) << "a node is shared";
    }
    EXPECT_EQ(a, nullptr);
    listobject_free(original);
    // Read after its source is gone: a shared node would be a use after free.
    EXPECT_EQ(copy->head->shape->head->next->next->vertex.x, 3.0f);
    EXPECT_EQ(copy->head->next->next->shape->head->vertex.x, 4.0f) << "out of order";
    listobject_free(copy);
}

// One long shape and many short ones: a quadratic copy of either walks about 5e9 nodes.
TEST(Lists, CopyTakesLinearTime) {
    constexpr int n = 100000;
    ListVertex* longShape = listvertex_new(nullptr);
    ListObject* list = listobject_new(listobject_node_new(longShape));
    VertexNode* lastVertex = nullptr;
    ObjectNode* lastShape = list->head;
    for (int i = 0; i < n; ++i) {
        const Vertex v{static_cast<float>(i), 0, 0, 0, 0, 1};
        lastVertex = listvertex_append_after(longShape, lastVertex, listvertex_node_new(&v));
        if (i > 0) {
            lastShape =
                listobject_append_after(list, lastShape, listobject_node_new(shape_of({1})));
        }
    }
    const auto start = std::chrono::steady_clock::now();
    ListObject* copy = listobject_copy(list);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), 1.0);
    EXPECT_EQ(copy->nmembers, n);
    EXPECT_EQ(listvertex_tail(copy->head->shape)->vertex.x, n - 1.0f);
    listobject_free(list);
    listobject_free(copy);
}

} // namespace
