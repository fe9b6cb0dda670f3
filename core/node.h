// The node base class, its ports and the list that owns a tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/env.h"
#include "core/value.h"
#include "host/services.h"

namespace vx {

struct NodeEnv;
class Node;
struct Step;

// A step of a render's flat program: runs one node's formula over the
// thread's slab, given the first output of the step before in registers.
using StepFn = void (*)(const Step& step, NodeValue* slab, NodeEnv& env, double x, double y, double z);

// Port value types.
enum ValueType : int32_t { VT_ANY = 0, VT_COLOR = 1, VT_SCALAR = 2, VT_VECTOR = 3, VT_INT = 9 };

// Edit-control kinds of inputs.
enum ParamKind : int32_t {
    PK_NONE = 0, PK_COLOR = 1, PK_NUMBER = 2, PK_VECTOR = 3, PK_DISTANCE = 4, PK_PERCENT = 5,
    PK_ANGLE = 6, PK_SCALE = 7, PK_CHECK = 8, PK_INT = 9, PK_ITEM = 10, PK_ITEM_LAST = 14,
    PK_IMAGE = 15, PK_TEXT = 16, PK_FILE = 17, PK_DIR = 18, PK_UVMAP = 19, PK_VCMAP = 20,
    PK_SURFACE = 21, PK_CHOICE = 22, PK_POPUP = 23, PK_TEXTURE = 24
};

inline bool isItemRef(int32_t paramKind) { return paramKind >= PK_ITEM && paramKind <= PK_ITEM_LAST; }

struct ParamValue {
    int32_t intValue = 0;
    NodeValue value;
    std::string text;
    bool operator==(const ParamValue&) const = default;
};

// When a render may evaluate a node of a kind. OnPull: only when a reader
// pulls it, as it may cast rays, read lights or cost much. PerPass: ahead of
// the pulls, once per pass, as it reads only its inputs and the sample and
// has no effect. Fixed: as PerPass, and it reads only its inputs, so with
// fixed sources it is evaluated once per render and time.
enum class Timing : uint8_t { OnPull, PerPass, Fixed };

// Static port declarations; each table ends with an entry whose name is null.
// The default lives beside the name so it cannot drift from the port.
struct InputDecl {
    const char* name;
    int32_t valueType = VT_ANY;
    int32_t paramKind = PK_NONE;
    int32_t connectable = 1;
    NodeValue value{};
    int32_t intValue = 0;
    const char* text = nullptr;
};

struct OutputDecl {
    const char* name;
    int32_t valueType = VT_ANY;
};

struct InputPort {
    std::string name;
    bool connectable = true;
    Node* source = nullptr;
    int32_t sourceOutput = 0;
    int32_t paramKind = PK_NONE;
    int32_t valueType = VT_ANY;
    ParamValue param;
    // Where a render's plan has the source's output by the time this input is
    // read; -1 when the reader must look for it.
    int32_t planned = -1;
};

struct OutputPort {
    std::string name;
    int32_t valueType = VT_ANY;
};

class Node {
public:
    Node(int32_t x = 0, int32_t y = 0, int32_t width = 128, int32_t height = 128);
    virtual ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    virtual void renderInit() {}
    virtual void renderCleanup() {}
    virtual void newTime(double /*time*/, int32_t /*frame*/) {}
    virtual void changeID(const HostID* /*pairs*/) {}
    virtual void useItems(std::vector<HostID>& /*ids*/) {}
    virtual void copyTo(Node& /*target*/) const {}
    virtual std::unique_ptr<Node> createNew() const = 0;
    virtual bool saveData(const HostSaveState& /*state*/) const { return true; }
    virtual bool loadData(const HostLoadState& /*state*/) { return true; }
    virtual bool openEditor() { return false; }
    virtual bool editParameter(InputPort* /*port*/) { return false; }
    virtual void evaluate(NodeEnv& /*env*/) const {}
    // How a render's flat program runs this kind's formula when the node
    // runs ahead, given its input `carried` in registers by the step before
    // (-1: none); null for a kind the program can only evaluate.
    virtual StepFn step(int /*carried*/) const { return nullptr; }

    void setup(const char* name, const char* category, const InputDecl* inputTable,
               const OutputDecl* outputTable, bool isRoot);

    // The linked value when there is a source and a sample, else the param.
    const NodeValue& readInput(const InputPort& port, NodeEnv* env) const {
        if (!env || !port.source) return port.param.value;
        if (const NodeValue* v = env->cache.planned(port.planned)) return *v;
        const NodeValue* out = port.source->folded;
        if (!out) out = env->cache.find(port.source, port.source->cacheSlot);
        if (out && static_cast<uint32_t>(port.sourceOutput) < static_cast<uint32_t>(port.source->outputCount))
            return out[port.sourceOutput];
        return out ? port.param.value : pull(port, *env);
    }
    double readScalar(int i, NodeEnv& env) const { return scalarOf(readInput(inputs[i], &env)); }
    NodeValue readValue(int i, NodeEnv& env) const { return readInput(inputs[i], &env); }
    // This node's output array in the sample's cache, made on first use.
    NodeValue* outputSlots(NodeEnv& env) const {
        return env.cache.claim(this, cacheSlot, outputCount, place);
    }

    int32_t visitMark = 0;
    int32_t listIndex = 0;
    bool expanded = true;
    int32_t x, y, width, height;
    int32_t layout = 0;
    bool isRoot = false;
    int32_t inputCount = 0, outputCount = 0;
    std::vector<InputPort> inputs;
    std::vector<OutputPort> outputs;
    std::string name;
    std::string category;
    std::unique_ptr<uint8_t[]> preview;
    // Where the node's outputs sit in a sample's cache; a hint only, given
    // out before a render, -1 when none.
    int32_t cacheSlot = -1;
    Timing timing = Timing::OnPull;
    // Where a render's plan keeps the node's outputs in a sample; -1 without.
    int32_t place = -1;
    // The outputs of a fixed node whose sources are all fixed, evaluated once
    // for the render and time; null otherwise.
    const NodeValue* folded = nullptr;

private:
    // Evaluates the source of a linked input not yet in the cache.
    const NodeValue& pull(const InputPort& port, NodeEnv& env) const;
};

// Supplies createNew for kinds whose constructor takes no arguments.
template <class Kind>
class NodeKind : public Node {
public:
    std::unique_ptr<Node> createNew() const override { return std::make_unique<Kind>(); }
};

struct RenderPlan;

struct NodeList {
    std::vector<std::unique_ptr<Node>> nodes;
    std::vector<HostID> usedItems;  // 0-terminated once built
    std::shared_ptr<RenderPlan> plan;  // from a render's start to its end
};

void removeNode(NodeList& list, Node* node);
Node* bringToFront(NodeList& list, int32_t x, int32_t y);
Node* findRoot(const NodeList& list);
void numberNodes(const NodeList& list);

bool hasCycle(const NodeList& list);
void copyState(const Node& src, Node& dst);

// Stands in, during a load or clone, for a kind the catalogue cannot create.
class N_Null final : public NodeKind<N_Null> {
public:
    N_Null() { setup("NullNode", "**Null**", nullptr, nullptr, false); }
};

// Removes every N_Null with its links.
void removePlaceholders(NodeList& list);

class NodeFactoryData;
std::unique_ptr<NodeList> cloneList(const NodeList& list, const NodeFactoryData& factory);

// Turns stored 1-based source positions, one per input in list order, into
// links; 0 is no link. Throws std::out_of_range("invalid vector<T> subscript")
// on a position beyond the list.
void resolveLinks(NodeList& list, const std::vector<uint32_t>& positions);

}  // namespace vx
