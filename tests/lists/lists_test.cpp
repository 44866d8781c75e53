#include "lists/listobject.h"
#include "lists/listvertex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

// Vertex x holds x, x + 1, ..., x + 5, so a copy that loses any field shows.
VertexNode* chain_of(const std::vector<float>& xs) {
    VertexNode* first = nullptr;
    VertexNode** link = &first;
    for (const float x : xs) {
        const Vertex v{x, x + 1, x + 2, x + 3, x + 4, x + 5};
        *link = listvertex_node_new(&v);
        link = &(*link)->next;
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

TEST(Lists, NewTakesTheNodeAndFreeReturnsNull) {
    VertexNode* vertex = chain_of({1});
    ListVertex* shape = listvertex_new(vertex);
    EXPECT_EQ(shape->nmembers, 1);
    EXPECT_EQ(shape->head, vertex);
    ObjectNode* node = listobject_node_new(shape);
    EXPECT_EQ(node->shape, shape);
    EXPECT_EQ(node->next, nullptr);
    ListObject* list = listobject_new(node);
    EXPECT_EQ(list->nmembers, 1);
    EXPECT_EQ(list->head, node);
    // The shape pass may leave a node without its shape; the release takes the rest all the same.
    listobject_append(list, listobject_node_new(shape_of({2})));
    list->head->next->shape = listvertex_free(list->head->next->shape);
    EXPECT_EQ(listobject_free(list), nullptr);
    EXPECT_EQ(listobject_free(nullptr), nullptr);
    EXPECT_EQ(listvertex_free(nullptr), nullptr);
}

// Both appends link the whole chain behind the last node and count every node of it; head and
// tail find the ends, null for an empty list.
TEST(ListVertex, AppendLinksAndCountsTheWholeChain) {
    const struct {
        std::vector<float> before, chain;
    } cases[] = {{{}, {}},     {{}, {1}},     {{}, {1, 2, 3}},
                 {{1, 2}, {}}, {{1, 2}, {3}}, {{1, 2}, {3, 4, 5}}};
    for (const auto& c : cases) {
        std::vector<float> fields;
        for (const std::vector<float>* xs : {&c.before, &c.chain}) {
            for (const float x : *xs) {
                fields.insert(fields.end(), {x, x + 1, x + 2, x + 3, x + 4, x + 5});
            }
        }
        for (const bool withLast : {false, true}) {
            SCOPED_TRACE(std::to_string(c.before.size()) + " + " + std::to_string(c.chain.size()) +
                         (withLast ? ", append_after" : ", append"));
            ListVertex* list = shape_of(c.before);
            VertexNode* const head = list->head;
            VertexNode* const chain = chain_of(c.chain);
            if (withLast) {
                VertexNode* const last =
                    listvertex_append_after(list, listvertex_tail(list), chain);
                EXPECT_EQ(last, listvertex_tail(list));
            } else {
                listvertex_append(list, chain);
            }
            EXPECT_EQ(list->nmembers, std::ssize(fields) / 6);
            EXPECT_EQ(fields_of(list), fields);
            EXPECT_EQ(list->head, c.before.empty() ? chain : head);
            EXPECT_EQ(listvertex_head(list), list->head);
            const VertexNode* tail = listvertex_tail(list);
            ASSERT_EQ(tail != nullptr, !fields.empty());
            if (tail != nullptr) {
                EXPECT_EQ(tail->next, nullptr);
                EXPECT_EQ(tail->vertex.x, fields[fields.size() - 6]);
            }
            listvertex_free(list);
        }
    }
}

// listobject_copy copies every shape with listvertex_copy, so this checks both; listobject_append
// and listobject_node_new take null as nothing to add.
TEST(Lists, CopiesAreDeepAndIndependent) {
    EXPECT_EQ(listobject_copy(nullptr), nullptr);
    const std::vector<std::vector<float>> shapes{{1, 2, 3}, {}, {4}};
    ListObject* original = listobject_new(nullptr);
    for (const auto& xs : shapes) {
        listobject_append(original, nullptr);
        listobject_append(original, listobject_node_new(nullptr));
        listobject_append(original, listobject_node_new(shape_of(xs)));
    }
    ListObject* copy = listobject_copy(original);
    ASSERT_EQ(original->nmembers, 3);
    ASSERT_EQ(copy->nmembers, 3);
    const ObjectNode* a = original->head;
    for (const ObjectNode* b = copy->head; b != nullptr; a = a->next, b = b->next) {
        EXPECT_NE(b->shape, a->shape);
        const std::vector<float> fields = fields_of(a->shape);
        EXPECT_EQ(fields_of(b->shape), fields);
        for (VertexNode* n = b->shape->head; n != nullptr; n = n->next) {
            n->vertex.y = 99;
        }
        EXPECT_EQ(fields_of(a->shape), fields) << "a node is shared";
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(original->head->next->next->shape->head->vertex.x, 4.0f) << "out of order";
    listobject_free(original);
    // Read after its source is gone: a shared node would be a use after free.
    EXPECT_EQ(copy->head->shape->nmembers, 3);
    EXPECT_EQ(copy->head->shape->head->next->next->vertex.x, 3.0f);
    listobject_free(copy);
}

// One long shape and many short ones: a quadratic copy of either walks about 5e9 nodes.
TEST(Lists, CopyTakesLinearTime) {
    constexpr int n = 100000;
    ListVertex* longShape = listvertex_new(nullptr);
    VertexNode* last = nullptr;
    for (int i = 0; i < n; ++i) {
        const Vertex v{static_cast<float>(i), 0, 0, 0, 0, 1};
        last = listvertex_append_after(longShape, last, listvertex_node_new(&v));
    }
    ListObject* list = listobject_new(listobject_node_new(longShape));
    for (ObjectNode* node = list->head; list->nmembers < n; ++list->nmembers) {
        node = node->next = listobject_node_new(shape_of({1}));
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
