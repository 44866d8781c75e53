// A copy of the shape list shares no node with it (each frame clips copies), and every release
// returns null. Appending and the vertex copy are exercised by every reader and frame test.
#include "lists/listobject.h"

#include <gtest/gtest.h>

TEST(Lists, CopiesShareNothingAndReleasesReturnNull) {
    const Vertex a{1, 0, 0, 0, 0, 1}, b{2, 0, 0, 0, 0, 1};
    ListVertex* shape = listvertex_new(listvertex_node_new(&a));
    listvertex_append(shape, listvertex_node_new(&b));
    ListObject* list = listobject_new(listobject_node_new(shape));
    listobject_append(list, listobject_node_new(listvertex_new(nullptr)));
    ListObject* copy = listobject_copy(list);
    ASSERT_EQ(copy->nmembers, 2);
    EXPECT_EQ(copy->head->shape->nmembers, 2);
    EXPECT_EQ(copy->head->shape->head->next->vertex.x, 2);
    EXPECT_EQ(copy->head->next->shape->nmembers, 0);
    copy->head->shape->head->next->vertex.x = 9;
    EXPECT_EQ(shape->head->next->vertex.x, 2) << "the copy shares a node";
    EXPECT_EQ(listobject_free(list), nullptr);
    EXPECT_EQ(listobject_free(copy), nullptr);
    EXPECT_EQ(listobject_free(nullptr), nullptr);
    EXPECT_EQ(listvertex_free(nullptr), nullptr);
}
