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

// Unlisted ids stay; a swap is applied once, not undone by its second pair.
TEST(Items, ChangeIdKeepsUnlistedIdsAndSwapsOnce) {
    auto cat = testCatalogue();
    NodeList list;
    for (HostID id : {5, 7, 8, 1}) add(list, *cat, "Test", "item")->inputs[0].param.intValue = id;
    const HostID pairs[] = {5, 9, 7, 11, 1, 2, 2, 1, 0};
    remapItems(list, pairs);
    std::vector<HostID> ids;
    for (const auto& n : list.nodes) ids.push_back(n->inputs[0].param.intValue);
    EXPECT_EQ(ids, (std::vector<HostID>{9, 11, 8, 2}));
}

}  // namespace
