// Small node kinds for exercising the core without the node library.
#pragma once

#include <atomic>
#include <memory>

#include "core/catalogue.h"
#include "core/env.h"
#include "core/evaluate.h"
#include "core/macro.h"
#include "core/root.h"

namespace vxt {

using namespace vx;

// Outputs its "val" parameter.
class TConst final : public NodeKind<TConst> {
public:
    TConst() {
        static constexpr InputDecl in[] = {{"val", VT_COLOR, PK_COLOR, 0}, {nullptr}};
        static constexpr OutputDecl out[] = {{"v", VT_COLOR}, {nullptr}};
        setup("const", "Test", in, out, false);
    }
    void evaluate(NodeEnv& env) const override { outputSlots(env)[0] = inputs[0].param.value; }
};

// Passes "a" through and counts how often it ran.
class TCount final : public NodeKind<TCount> {
public:
    static inline std::atomic<int> runs{0};
    TCount() {
        static constexpr InputDecl in[] = {{"a", VT_ANY}, {"b", VT_ANY}, {nullptr}};
        static constexpr OutputDecl out[] = {
            {"r", VT_ANY}, {"normal_x", VT_SCALAR}, {"texture_normal_x", VT_SCALAR}, {nullptr}};
        setup("count", "Test", in, out, false);
    }
    void evaluate(NodeEnv& env) const override {
        ++runs;
        const NodeValue a = readValue(0, env);
        NodeValue* o = outputSlots(env);
        o[0] = a;
        o[1] = NodeValue::scalar(env.record ? env.record->wNorm[0] : 0);
        o[2] = NodeValue::scalar(env.textureSample ? textureSample(env).wNorm[0] : 0);
    }
};

// Reads "a" and writes no outputs, so whoever reads it gets its own parameter.
class TMute final : public NodeKind<TMute> {
public:
    TMute() {
        static constexpr InputDecl in[] = {{"a", VT_ANY}, {nullptr}};
        static constexpr OutputDecl out[] = {{"r", VT_ANY}, {nullptr}};
        setup("mute", "Test", in, out, false);
    }
    void evaluate(NodeEnv& env) const override { readValue(0, env); }
};

// Refers to a host item.
class TItem final : public NodeKind<TItem> {
public:
    TItem() {
        static constexpr InputDecl in[] = {{"item", VT_INT, PK_ITEM, 0}, {"other", VT_INT, PK_INT, 0}, {nullptr}};
        static constexpr OutputDecl out[] = {{"r", VT_ANY}, {nullptr}};
        setup("item", "Test", in, out, false);
    }
};

inline std::unique_ptr<NodeFactoryData> testCatalogue() {
    auto cat = std::make_unique<NodeFactoryData>();
    cat->registerKind(std::make_unique<NRoot>());
    cat->registerKind(std::make_unique<TConst>());
    cat->registerKind(std::make_unique<TCount>());
    cat->registerKind(std::make_unique<TItem>());
    cat->registerKind(std::make_unique<TMute>());
    cat->registerKind(std::make_unique<NMacro>(cat.get()));
    cat->registerKind(std::make_unique<NMacroRoot>());
    return cat;
}

inline Node* add(NodeList& list, const NodeFactoryData& cat, const char* category, const char* name) {
    list.nodes.push_back(cat.createByName(category, name));
    return list.nodes.back().get();
}

inline void link(Node* to, int input, Node* from, int output = 0) {
    to->inputs[input].source = from;
    to->inputs[input].sourceOutput = output;
}

}  // namespace vxt
