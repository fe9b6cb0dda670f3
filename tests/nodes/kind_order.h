// The kinds the library offers, in the order it offers them, against a
// family's table of kinds and ports.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "tests/nodes/eval_helper.h"

namespace vxn {

// A kind as the library should offer it, its ports as the family's test
// describes them.
struct KindPorts {
    const char* category;
    const char* name;
    const char* inputs;
    const char* outputs;
};

struct OfferedKind {
    const NodeFactoryData* group;
    const Node* kind;
};

inline std::vector<OfferedKind> offeredKinds() {
    std::vector<OfferedKind> out;
    for (const auto& group : library().children())
        for (const auto& entry : group->children()) out.push_back({group.get(), entry->prototype()});
    return out;
}

// The table's kinds are offered in its order, other families' kinds may sit
// between them, each under its group's category; `check(kind, want)`
// compares the rest.
template <class Check>
void expectKindsInOrder(std::span<const KindPorts> kinds, Check check) {
    size_t next = 0;
    for (const OfferedKind& offered : offeredKinds()) {
        if (next == kinds.size() || offered.kind->name != kinds[next].name) continue;
        const KindPorts& want = kinds[next++];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(offered.group->category(), want.category);
        check(*offered.kind, want);
    }
    EXPECT_EQ(next, kinds.size()) << "missing or out of order: " << kinds[next].name;
}

}  // namespace vxn
