// Every kind of the catalogue, its parameters and links through both stream
// forms.
#include "core/persist.h"
#include "standin/streams/streams.h"
#include "tests/nodes/eval_helper.h"

namespace vxn {
namespace {

void collectKinds(const NodeFactoryData& d, NodeList& list) {
    if (d.prototype()) list.nodes.push_back(d.prototype()->createNew());
    for (const auto& child : d.children()) collectKinds(*child, list);
}

// A distinct value in every parameter and the first input linked to the
// node before it, read back from each stream form.
TEST(Library, ParametersAndLinksOfEveryKindSurviveBothStreamForms) {
    NodeList saved;
    collectKinds(library(), saved);
    ASSERT_GT(saved.nodes.size(), 50u);
    for (size_t k = 0; k < saved.nodes.size(); ++k) {
        Node& n = *saved.nodes[k];
        n.x = 10 * static_cast<int>(k);
        for (size_t i = 0; i < n.inputs.size(); ++i) {
            n.inputs[i].param.value = {k + 0.25, -0.5 * static_cast<double>(i), 1.0 / 3};
            n.inputs[i].param.intValue = static_cast<int32_t>(k);
        }
        if (k > 0 && !n.inputs.empty() && n.inputs[0].connectable && saved.nodes[k - 1]->outputCount > 0) {
            n.inputs[0].source = saved.nodes[k - 1].get();
            n.inputs[0].sourceOutput = n.inputs[0].source->outputCount - 1;
        }
    }
    for (int form : {HOST_IO_TEXT, HOST_IO_BINARY}) {
        SCOPED_TRACE(form == HOST_IO_TEXT ? "text" : "binary");
        vxs::SaveStream out(form);
        ASSERT_TRUE(saveList(saved, *out.state()));
        vxs::LoadStream in(out.bytes());
        NodeList loaded;
        ASSERT_TRUE(loadList(loaded, *in.state(), library()));
        EXPECT_FALSE(in.failed());
        ASSERT_EQ(loaded.nodes.size(), saved.nodes.size());
        numberNodes(saved);
        numberNodes(loaded);
        for (size_t k = 0; k < saved.nodes.size(); ++k) {
            const Node &a = *saved.nodes[k], &b = *loaded.nodes[k];
            SCOPED_TRACE(a.name);
            EXPECT_EQ(b.name, a.name);
            EXPECT_EQ(b.x, a.x);
            for (size_t i = 0; i < a.inputs.size(); ++i) {
                const NodeValue& v = a.inputs[i].param.value;
                EXPECT_EQ(b.inputs[i].param.value, (NodeValue{float(v.x), float(v.y), float(v.z)}));
                // An image is stored by name, and no image is named for these ids.
                const int32_t id = a.inputs[i].paramKind == PK_IMAGE ? 0 : a.inputs[i].param.intValue;
                EXPECT_EQ(b.inputs[i].param.intValue, id);
                EXPECT_EQ(b.inputs[i].source ? b.inputs[i].source->listIndex : 0,
                          a.inputs[i].source ? a.inputs[i].source->listIndex : 0);
                EXPECT_EQ(b.inputs[i].sourceOutput, a.inputs[i].sourceOutput);
            }
        }
    }
}

}  // namespace
}  // namespace vxn
