#include "core/node.h"

#include <algorithm>
#include <stdexcept>

#include "core/catalogue.h"
#include "core/env.h"

namespace vx {

Node::Node(int32_t x_, int32_t y_, int32_t width_, int32_t height_)
    : x(x_), y(y_), width(width_), height(height_) {}

Node::~Node() = default;

void Node::setup(const char* name_, const char* category_, const InputDecl* inputTable,
                 const OutputDecl* outputTable, bool root) {
    name = name_;
    category = category_;
    isRoot = root;
    inputs.clear();
    outputs.clear();
    for (const InputDecl* d = inputTable; d && d->name; ++d) {
        InputPort& p = inputs.emplace_back();
        p.name = d->name;
        p.connectable = d->connectable != 0;
        p.paramKind = d->paramKind;
        p.valueType = d->valueType;
        p.param = {d->intValue, d->value, d->text ? d->text : ""};
    }
    for (const OutputDecl* d = outputTable; d && d->name; ++d) outputs.push_back({d->name, d->valueType});
    inputCount = static_cast<int32_t>(inputs.size());
    outputCount = static_cast<int32_t>(outputs.size());
}

namespace {
// A pull this far below the outermost one of its chain starts no deeper
// evaluation: it unwinds to the outermost pull, which evaluates the node from
// there and then runs the interrupted evaluations again. So a chain as long
// as memory allows needs only this much of a thread's stack per sample.
constexpr uintptr_t kPullStackBudget = 64 * 1024;

struct DeepPull {
    const Node* node;
};

// Evaluations a deep pull interrupted from the outermost pull, deepest last;
// each runs again once the one below it has its outputs.
[[gnu::noinline]] void evaluateFromTop(const Node* source, NodeEnv& env, const char* base) {
    env.pullBase = base;
    const Node* deeper = nullptr;
    const auto run = [&](const Node* n) {
        try {
            n->evaluate(env);
            return true;
        } catch (const DeepPull& d) {
            env.cache.forget(n);
            deeper = d.node;
            return false;
        } catch (...) {
            env.pullBase = nullptr;
            throw;
        }
    };
    if (!run(source)) {
        std::vector<const Node*> pending{source, deeper};
        while (!pending.empty())
            if (!run(pending.back())) {
                pending.push_back(deeper);
            } else {
                if (!env.cache.find(pending.back())) env.outputless.push_back(pending.back());
                pending.pop_back();
            }
    }
    env.pullBase = nullptr;
}

[[gnu::noinline]] void tooDeep(const Node* source, const NodeEnv& env) {
    if (std::find(env.outputless.begin(), env.outputless.end(), source) == env.outputless.end())
        throw DeepPull{source};
}
}  // namespace

const NodeValue& Node::pull(const InputPort& port, NodeEnv& env) const {
    const Node* source = port.source;
    // The frame's own address: a sanitizer may move locals off the stack.
    const char* here = static_cast<const char*>(__builtin_frame_address(0));
    if (!env.pullBase) {
        evaluateFromTop(source, env, here);
    } else {
        if (reinterpret_cast<uintptr_t>(env.pullBase) - reinterpret_cast<uintptr_t>(here) > kPullStackBudget)
            tooDeep(source, env);
        try {
            source->evaluate(env);
        } catch (...) {
            // Outputs written before the interruption must not be read as final.
            env.cache.forget(source);
            throw;
        }
    }
    const NodeValue* out = env.cache.find(source, source->cacheSlot);
    if (!out || static_cast<uint32_t>(port.sourceOutput) >= static_cast<uint32_t>(source->outputCount))
        return port.param.value;
    return out[port.sourceOutput];
}

void removeNode(NodeList& list, Node* node) {
    for (auto& n : list.nodes)
        for (InputPort& in : n->inputs)
            if (in.source == node) {
                in.source = nullptr;
                in.sourceOutput = 0;
            }
    std::erase_if(list.nodes, [node](const std::unique_ptr<Node>& n) { return n.get() == node; });
}

Node* bringToFront(NodeList& list, int32_t px, int32_t py) {
    for (auto it = list.nodes.rbegin(); it != list.nodes.rend(); ++it) {
        Node& n = **it;
        const int32_t h = n.expanded ? n.height : 16;
        // Edges included: the outline drawn at x + width and y + height is the node's.
        if (px >= n.x && px <= n.x + n.width && py >= n.y && py <= n.y + h) {
            std::unique_ptr<Node> owned = std::move(*it);
            list.nodes.erase(std::next(it).base());
            list.nodes.push_back(std::move(owned));
            return list.nodes.back().get();
        }
    }
    return nullptr;
}

Node* findRoot(const NodeList& list) {
    for (const auto& n : list.nodes)
        if (n->isRoot) return n.get();
    return nullptr;
}

void numberNodes(const NodeList& list) {
    int32_t i = 0;
    for (const auto& n : list.nodes) n->listIndex = ++i;
}

namespace {
// Depth-first walk with an explicit path, so a deep chain cannot overflow the
// stack. visitMark is 2 while a node is on the path.
bool cycleFrom(Node* start) {
    struct Frame {
        Node* node;
        size_t next;
    };
    std::vector<Frame> path{{start, 0}};
    start->visitMark = 2;
    while (!path.empty()) {
        Frame& f = path.back();
        if (f.next == f.node->inputs.size()) {
            f.node->visitMark = 1;
            path.pop_back();
            continue;
        }
        Node* src = f.node->inputs[f.next++].source;
        // A finished node cannot close a cycle through the current path: had it
        // reached the path, its own walk would have found the cycle.
        if (!src || src->visitMark == 1) continue;
        if (src->visitMark == 2) return true;
        src->visitMark = 2;
        path.push_back({src, 0});
    }
    return false;
}
}  // namespace

bool hasCycle(const NodeList& list) {
    for (const auto& n : list.nodes) n->visitMark = 0;
    bool found = false;
    for (const auto& n : list.nodes)
        if (!found && n->visitMark == 0) found = cycleFrom(n.get());
    for (const auto& n : list.nodes) n->visitMark = n->visitMark == 2 ? 0 : n->visitMark;
    return found;
}

void copyState(const Node& src, Node& dst) {
    const size_t n = std::min(src.inputs.size(), dst.inputs.size());
    for (size_t i = 0; i < n; ++i) dst.inputs[i].param = src.inputs[i].param;
    dst.x = src.x;
    dst.y = src.y;
    dst.width = src.width;
    dst.height = src.height;
    dst.layout = src.layout;
    dst.expanded = src.expanded;
    src.copyTo(dst);
}

std::unique_ptr<NodeList> cloneList(const NodeList& list, const NodeFactoryData& factory) {
    auto copy = std::make_unique<NodeList>();
    numberNodes(list);
    std::vector<uint32_t> positions;
    for (const auto& src : list.nodes) {
        std::unique_ptr<Node> n = factory.createByName(src->category, src->name);
        if (!n) n = std::make_unique<N_Null>();
        copyState(*src, *n);
        for (size_t i = 0; i < n->inputs.size(); ++i) {
            const InputPort* in = i < src->inputs.size() ? &src->inputs[i] : nullptr;
            positions.push_back(in && in->source ? static_cast<uint32_t>(in->source->listIndex) : 0);
            n->inputs[i].sourceOutput = in ? in->sourceOutput : 0;
        }
        copy->nodes.push_back(std::move(n));
    }
    resolveLinks(*copy, positions);
    removePlaceholders(*copy);
    return copy;
}

// One pass to unlink and one to erase, however many placeholders there are.
void removePlaceholders(NodeList& list) {
    const auto isNull = [](const Node* n) { return dynamic_cast<const N_Null*>(n) != nullptr; };
    for (auto& n : list.nodes)
        for (InputPort& in : n->inputs)
            if (in.source && isNull(in.source)) {
                in.source = nullptr;
                in.sourceOutput = 0;
            }
    std::erase_if(list.nodes, [&](const std::unique_ptr<Node>& n) { return isNull(n.get()); });
}

void resolveLinks(NodeList& list, const std::vector<uint32_t>& positions) {
    size_t k = 0;
    for (auto& n : list.nodes)
        for (InputPort& in : n->inputs) {
            const uint32_t pos = k < positions.size() ? positions[k++] : 0;
            if (pos > list.nodes.size()) throw std::out_of_range("invalid vector<T> subscript");
            in.source = pos ? list.nodes[pos - 1].get() : nullptr;
            if (!in.source) in.sourceOutput = 0;
        }
}

}  // namespace vx
