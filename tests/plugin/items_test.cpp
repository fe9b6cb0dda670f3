#include <gtest/gtest.h>

#include "core/macro.h"
#include "tests/core/test_kinds.h"

using namespace vxt;

namespace {

TEST(Items, FirstReferenceOrderWithoutZerosOrRepeats) {
    auto cat = testCatalogue();
    NodeList list;
    const HostID refs[] = {3, 0, 8, 3, 5, 8, 3};
    for (HostID id : refs) add(list, *cat, "Test", "item")->inputs[0].param.intValue = id;
    std::vector<HostID> ids;
    collectItems(list, ids);
    EXPECT_EQ(ids, (std::vector<HostID>{3, 8, 5}));
}

TEST(Items, ChangeIdKeepsUnlistedIds) {
    auto cat = testCatalogue();
    NodeList list;
    for (HostID id : {5, 7, 8}) add(list, *cat, "Test", "item")->inputs[0].param.intValue = id;
    const HostID pairs[] = {5, 9, 7, 11, 0};
    remapItems(list, pairs);
    EXPECT_EQ(list.nodes[0]->inputs[0].param.intValue, 9);
    EXPECT_EQ(list.nodes[1]->inputs[0].param.intValue, 11);
    EXPECT_EQ(list.nodes[2]->inputs[0].param.intValue, 8);
}

TEST(Items, SwapIsNotAppliedTwice) {
    auto cat = testCatalogue();
    NodeList list;
    add(list, *cat, "Test", "item")->inputs[0].param.intValue = 1;
    const HostID pairs[] = {1, 2, 2, 1, 0};
    remapItems(list, pairs);
    EXPECT_EQ(list.nodes[0]->inputs[0].param.intValue, 2);
}

}  // namespace
