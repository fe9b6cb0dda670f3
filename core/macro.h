// Macros: nodes that hold a tree of their own, ending in a "macro root".
#pragma once

#include "core/catalogue.h"
#include "core/node.h"

namespace vx {

class NMacro final : public Node {
public:
    explicit NMacro(const NodeFactoryData* catalogue);

    void renderInit() override;
    void renderCleanup() override;
    void newTime(double time, int32_t frame) override;
    void changeID(const HostID* pairs) override;
    void useItems(std::vector<HostID>& ids) override;
    void copyTo(Node& target) const override;
    std::unique_ptr<Node> createNew() const override;
    bool saveData(const HostSaveState& state) const override;
    bool loadData(const HostLoadState& state) override;
    void evaluate(NodeEnv& env) const override;

    const NodeFactoryData* catalogue;
    NodeList inner;
};

class NMacroRoot final : public NodeKind<NMacroRoot> {
public:
    NMacroRoot();
    void evaluate(NodeEnv& env) const override;
};

// The item walks shared by the instance and macros: ids of paramKind 10 to
// 14 inputs, then each node's own additions, zeros and repeats dropped.
void collectItems(const NodeList& list, std::vector<HostID>& ids);
void remapItems(NodeList& list, const HostID* pairs);

// Gives every node of the tree, inner trees of macros included, its own
// cache slot. Call only while nothing evaluates the tree.
void assignCacheSlots(const NodeList& list);

// renderInit on every node and image preparation for its image inputs.
void renderInitList(const NodeList& list);

}  // namespace vx
