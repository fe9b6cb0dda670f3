#include <gtest/gtest.h>

#include <cstring>

#include "plugin/instance.h"
#include "tests/core/test_kinds.h"

using namespace vxt;

namespace {

struct Handler {
    HostInstanceFuncs inst{};
    HostItemFuncs item{};
    HostRenderFuncs rend{};
    HostShaderHandler h{&inst, &item, &rend, nullptr, nullptr};
    Handler() { fillHandler(h); }
};

struct Instance {
    Handler handler;
    void* context;
    ShaderInstance* s;
    std::unique_ptr<NodeFactoryData> test = testCatalogue();
    explicit Instance(void* ctx = nullptr)
        : context(ctx), s(static_cast<ShaderInstance*>(handler.inst.create(nullptr, ctx, nullptr))) {}
    ~Instance() { handler.inst.destroy(s); }
    void items(std::initializer_list<HostID> ids) {
        for (HostID id : ids) add(*s->tree, *test, "Test", "item")->inputs[0].param.intValue = id;
    }
};

TEST(Instance, UseItemsKeepsFirst512AndNullWhenNone) {
    Instance i;
    EXPECT_EQ(i.handler.item.useItems(i.s), nullptr);
    for (HostID id = 1; id <= 600; ++id) i.items({id, 1});
    const HostID* ids = i.handler.item.useItems(i.s);
    ASSERT_NE(ids, nullptr);
    for (HostID k = 0; k < 512; ++k) ASSERT_EQ(ids[k], k + 1);
    EXPECT_EQ(ids[512], 0);
    EXPECT_EQ(i.s->tree->usedItems.size(), 601u) << "the tree's cache keeps them all";

    i.s->tree->nodes.clear();
    EXPECT_EQ(i.handler.item.useItems(i.s), nullptr);
    EXPECT_EQ(i.s->usedItems[0], 1) << "no ids: the instance's array is left as it was";
}

TEST(Instance, CopyIsIndependentAndKeepsOwnCatalogueAndContext) {
    int surfaceA = 0, surfaceB = 0;
    Instance a(&surfaceA), b(&surfaceB);
    add(*a.s->tree, *a.s->catalogue, "Root", "root")->inputs[RI_DIFF].param.value = NodeValue::scalar(0.3);
    const NodeFactoryData* bCatalogue = b.s->catalogue.get();
    EXPECT_EQ(a.handler.inst.copy(b.s, a.s), nullptr);
    EXPECT_EQ(b.s->catalogue.get(), bCatalogue);
    EXPECT_EQ(b.s->hostContext, &surfaceB);
    ASSERT_EQ(b.s->tree->nodes.size(), 1u);
    b.s->tree->nodes[0]->inputs[RI_DIFF].param.value = {};
    EXPECT_EQ(a.s->tree->nodes[0]->inputs[RI_DIFF].param.value, NodeValue::scalar(0.3));
}

}  // namespace
