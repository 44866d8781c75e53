#include "listtest.h"

#include <gtest/gtest.h>

namespace {

TEST(ListObject, NewAndNodeNew) {
    ListObject* empty = listobject_new(nullptr);
    EXPECT_EQ(empty->nmembers, 0);
    EXPECT_EQ(empty->head, nullptr);
    EXPECT_EQ(listobject_node_new(nullptr), nullptr);
    ListVertex* shape = shape_of({1, 2});
    ObjectNode* node = listobject_node_new(shape);
    EXPECT_EQ(node->shape, shape);
    EXPECT_EQ(node->next, nullptr);
    ListObject* one = listobject_new(node);
    EXPECT_EQ(one->nmembers, 1);
    EXPECT_EQ(one->head, node);
    EXPECT_EQ(listobject_free(empty), nullptr);
    EXPECT_EQ(listobject_free(one), nullptr);
    EXPECT_EQ(listobject_free(nullptr), nullptr);
}

TEST(ListObject, AppendKeepsOrderAndIgnoresNull) {
    ListObject* list = listobject_new(nullptr);
    listobject_append(list, listobject_node_new(nullptr)); // committing no pending shape
    EXPECT_EQ(list->nmembers, 0);
    EXPECT_EQ(list->head, nullptr);
    for (const float x : {1.0f, 2.0f, 3.0f}) {
        listobject_append(list, listobject_node_new(shape_of({x})));
    }
    listobject_append(list, nullptr);
    EXPECT_EQ(list->nmembers, 3);
    std::vector<float> firsts;
    for (const ObjectNode* n = list->head; n != nullptr; n = n->next) {
        firsts.push_back(n->shape->head->vertex.x);
    }
    EXPECT_EQ(firsts, (std::vector<float>{1, 2, 3}));
    listobject_free(list);
}

TEST(ListObject, CopyIsDeepAndIndependent) {
    EXPECT_EQ(listobject_copy(nullptr), nullptr);
    ListObject* empty = listobject_new(nullptr);
    ListObject* emptyCopy = listobject_copy(empty);
    EXPECT_NE(emptyCopy, empty);
    EXPECT_EQ(emptyCopy->nmembers, 0);
    EXPECT_EQ(emptyCopy->head, nullptr);
    listobject_free(empty);
    listobject_free(emptyCopy);

    ListObject* original = listobject_new(listobject_node_new(shape_of({1, 2, 3})));
    listobject_append(original, listobject_node_new(shape_of({4})));
    ListObject* copy = listobject_copy(original);
    ASSERT_EQ(copy->nmembers, 2);
    const ObjectNode* a = original->head;
    const ObjectNode* b = copy->head;
    for (const std::vector<float>& xs : {std::vector<float>{1, 2, 3}, {4}}) {
        EXPECT_NE(b, a);
        EXPECT_NE(b->shape, a->shape);
        EXPECT_EQ(b->shape->nmembers, std::ssize(xs));
        EXPECT_EQ(fields_of(b->shape), fields_of(xs));
        b->shape->head->vertex.y = 99;
        EXPECT_EQ(fields_of(a->shape), fields_of(xs));
        a = a->next;
        b = b->next;
    }
    EXPECT_EQ(b, nullptr);
    listobject_free(original);
    EXPECT_EQ(copy->head->next->shape->head->vertex.x, 4.0f);
    listobject_free(copy);
}

// The shape pass may leave a node without a shape; the release takes the rest all the same.
TEST(ListObject, FreeAcceptsANodeWithoutShape) {
    ListObject* list = listobject_new(listobject_node_new(shape_of({1})));
    listobject_append(list, listobject_node_new(shape_of({2, 3})));
    listobject_append(list, listobject_node_new(shape_of({4})));
    list->head->next->shape = listvertex_free(list->head->next->shape);
    EXPECT_EQ(listobject_free(list), nullptr);
}

TEST(ListObject, CopyTakesLinearTime) {
    ListObject* list = listobject_new(nullptr);
    ObjectNode* last = nullptr;
    for (int i = 0; i < 100000; ++i) {
        ObjectNode* node = listobject_node_new(shape_of({static_cast<float>(i)}));
        (last == nullptr ? list->head : last->next) = node;
        last = node;
        ++list->nmembers;
    }
    ListObject* copy = nullptr;
    EXPECT_LT(seconds_for([&] { copy = listobject_copy(list); }), 1.0);
    EXPECT_EQ(copy->nmembers, 100000);
    listobject_free(list);
    listobject_free(copy);
}

} // namespace
