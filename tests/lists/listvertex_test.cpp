#include "listtest.h"

#include <gtest/gtest.h>

namespace {

TEST(ListVertex, NewHoldsTheGivenNode) {
    ListVertex* empty = listvertex_new(nullptr);
    EXPECT_EQ(empty->nmembers, 0);
    EXPECT_EQ(empty->head, nullptr);
    VertexNode* node = chain_of({1});
    ListVertex* one = listvertex_new(node);
    EXPECT_EQ(one->nmembers, 1);
    EXPECT_EQ(one->head, node);
    EXPECT_EQ(listvertex_free(empty), nullptr);
    EXPECT_EQ(listvertex_free(one), nullptr);
    EXPECT_EQ(listvertex_free(nullptr), nullptr);
}

struct AppendCase {
    std::vector<float> before;
    std::vector<float> chain;
};

void PrintTo(const AppendCase& c, std::ostream* os) {
    *os << c.before.size() << " nodes + chain of " << c.chain.size();
}

class ListVertexAppend : public testing::TestWithParam<AppendCase> {};

// Both appends link the whole chain behind the last node and count every node of it.
TEST_P(ListVertexAppend, LinksAndCountsTheWholeChain) {
    const AppendCase& c = GetParam();
    std::vector<float> after = c.before;
    after.insert(after.end(), c.chain.begin(), c.chain.end());
    for (const bool withLast : {false, true}) {
        ListVertex* list = shape_of(c.before);
        VertexNode* const oldHead = list->head;
        VertexNode* const chain = chain_of(c.chain);
        if (withLast) {
            VertexNode* last = listvertex_append_after(list, listvertex_tail(list), chain);
            EXPECT_EQ(last, listvertex_tail(list));
        } else {
            listvertex_append(list, chain);
        }
        EXPECT_EQ(list->nmembers, std::ssize(after));
        EXPECT_EQ(fields_of(list), fields_of(after));
        EXPECT_EQ(list->head, c.before.empty() ? chain : oldHead);
        listvertex_free(list);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ListVertexAppend,
                         testing::Values(AppendCase{{}, {}}, AppendCase{{}, {1}},
                                         AppendCase{{}, {1, 2, 3}}, AppendCase{{1, 2}, {}},
                                         AppendCase{{1, 2}, {3}}, AppendCase{{1, 2}, {3, 4, 5}}));

TEST(ListVertex, HeadAndTail) {
    ListVertex* list = listvertex_new(nullptr);
    EXPECT_EQ(listvertex_head(list), nullptr);
    EXPECT_EQ(listvertex_tail(list), nullptr);
    listvertex_append(list, chain_of({1}));
    EXPECT_EQ(listvertex_tail(list), listvertex_head(list));
    listvertex_append(list, chain_of({2, 3}));
    EXPECT_EQ(listvertex_tail(list), list->head->next->next);
    EXPECT_EQ(listvertex_tail(list)->vertex.x, 3.0f);
    listvertex_free(list);
}

TEST(ListVertex, CopyIsDeepAndIndependent) {
    for (const std::vector<float>& xs : {std::vector<float>{}, {1, 2, 3, 4}}) {
        ListVertex* original = shape_of(xs);
        ListVertex* copy = listvertex_copy(original);
        EXPECT_NE(copy, original);
        EXPECT_EQ(copy->nmembers, original->nmembers);
        EXPECT_EQ(fields_of(copy), fields_of(xs));
        for (VertexNode *a = original->head, *b = copy->head; a != nullptr;
             a = a->next, b = b->next) {
            EXPECT_NE(a, b);
        }
        if (copy->head != nullptr) {
            copy->head->vertex.r = 99;
        }
        EXPECT_EQ(fields_of(original), fields_of(xs));
        listvertex_free(original);
        // Still whole after its source is gone (a shared node would be a use after free).
        EXPECT_EQ(std::ssize(fields_of(copy)), 6 * std::ssize(xs));
        listvertex_free(copy);
    }
}

// A quadratic copy walks 5e9 nodes for this list, seconds rather than milliseconds.
TEST(ListVertex, CopyTakesLinearTime) {
    ListVertex* list = listvertex_new(nullptr);
    VertexNode* last = nullptr;
    for (int i = 0; i < 100000; ++i) {
        const Vertex v = vertex_of(static_cast<float>(i));
        last = listvertex_append_after(list, last, listvertex_node_new(&v));
    }
    ListVertex* copy = nullptr;
    EXPECT_LT(seconds_for([&] { copy = listvertex_copy(list); }), 1.0);
    EXPECT_EQ(copy->nmembers, 100000);
    EXPECT_EQ(listvertex_tail(copy)->vertex.x, 99999.0f);
    listvertex_free(list);
    listvertex_free(copy);
}

} // namespace
