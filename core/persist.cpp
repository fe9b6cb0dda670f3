#include "core/persist.h"

#include <stdexcept>

#include "core/macro.h"
#include "core/params.h"
#include "host/host.h"

namespace vx {

namespace {

constexpr HostBlockId kListBlock{HOST_ID4('N', 'L', 'S', 'T'), "NodeList"};
constexpr HostBlockId kNodeBlock{HOST_ID4('N', 'D', 'A', 'T'), "NodeData"};
constexpr HostBlockId kImageBlock{HOST_ID4('I', 'D', 'A', 'T'), "ImageRefData"};
constexpr HostBlockId kListTable[] = {kListBlock, {0, nullptr}};
constexpr HostBlockId kNodeTable[] = {kNodeBlock, {kNodeBlock.id, "NodeUser"}, {0, nullptr}};
constexpr HostBlockId kImageTable[] = {kImageBlock, {0, nullptr}};
constexpr int32_t kImageRefVersion = 256;
constexpr int kMaxTextChars = 1024;

void writeI4(const HostSaveState& s, int32_t v) { s.writeI4(s.data, &v, 1); }
bool readI4(const HostLoadState& s, int32_t& v) { return s.readI4(s.data, &v, 1) == 1; }
bool readText(const HostLoadState& s, char (&buf)[kMaxTextChars + 1]) {
    return s.readStr(s.data, buf, sizeof buf) >= 0;
}

// The 1-based position of a link's source; 0 for none or for a node that is
// not in this list, which no load could resolve.
uint32_t sourcePosition(const NodeList& list, const Node* source) {
    if (!source) return 0;
    const auto k = static_cast<size_t>(source->listIndex);
    const bool inList = k >= 1 && k <= list.nodes.size() && list.nodes[k - 1].get() == source;
    return inList ? static_cast<uint32_t>(k) : 0;
}

void saveNode(const NodeList& list, const Node& node, const HostSaveState& s) {
    s.beginBlk(s.data, &kNodeBlock);
    s.writeStr(s.data, node.category.c_str());
    s.writeStr(s.data, node.name.c_str());
    const int32_t layout[5] = {node.x, node.y, node.width, node.height, node.layout};
    s.writeI4(s.data, layout, 5);
    writeI4(s, node.expanded ? 1 : 0);
    writeI4(s, static_cast<int32_t>(node.inputs.size()));
    for (const InputPort& in : node.inputs) {
        const uint32_t source = sourcePosition(list, in.source);
        s.writeU4(s.data, &source, 1);
        writeI4(s, in.sourceOutput);
        writeI4(s, in.param.intValue);
        const NodeValue& v = in.param.value;
        const float value[3] = {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
        s.writeFP(s.data, value, 3);
        s.writeStr(s.data, in.param.text.c_str());
    }
    node.saveData(s);
    for (const InputPort& in : node.inputs)
        if (in.paramKind == PK_IMAGE && in.param.intValue) saveImageRef(s, in.param.intValue);
    s.endBlk(s.data);
}

bool readPort(const HostLoadState& s, InputPort& in, uint32_t& source) {
    char text[kMaxTextChars + 1];
    float v[3];
    ParamValue& p = in.param;
    if (s.readU4(s.data, &source, 1) != 1 || !readI4(s, in.sourceOutput) || !readI4(s, p.intValue) ||
        s.readFP(s.data, v, 3) != 3 || !readText(s, text))
        return false;
    p.value = {v[0], v[1], v[2]};
    p.text = text;
    return true;
}

// One node block's content; its links stay as positions, one per input.
// False when the block ends before the node's fields do.
bool loadNode(NodeList& list, std::vector<uint32_t>& positions, const HostLoadState& s,
              const NodeFactoryData& catalogue) {
    char category[kMaxTextChars + 1], name[kMaxTextChars + 1];
    if (!readText(s, category) || !readText(s, name)) return false;
    std::unique_ptr<Node> node = catalogue.createByName(category, name);
    if (!node) node = std::make_unique<N_Null>();
    int32_t layout[5], expanded = 0, inputCount = 0;
    if (s.readI4(s.data, layout, 5) != 5 || !readI4(s, expanded) || !readI4(s, inputCount)) return false;
    node->x = layout[0];
    node->y = layout[1];
    node->width = layout[2];
    node->height = layout[3];
    node->layout = layout[4];
    node->expanded = expanded != 0;
    const size_t first = positions.size();
    positions.resize(first + node->inputs.size(), 0);
    // A stored port count that differs from the kind's leaves the defaults.
    if (inputCount == node->inputCount) {
        for (size_t i = 0; i < node->inputs.size(); ++i)
            if (!readPort(s, node->inputs[i], positions[first + i])) return false;
        node->loadData(s);
        for (InputPort& in : node->inputs)
            if (in.paramKind == PK_IMAGE && in.param.intValue) in.param.intValue = loadImageRef(s);
    }
    list.nodes.push_back(std::move(node));
    return true;
}

// Links to outputs the source does not have cannot come from the editor.
void dropInvalidOutputs(NodeList& list) {
    for (const auto& n : list.nodes)
        for (InputPort& in : n->inputs)
            if (in.source && (in.sourceOutput < 0 || in.sourceOutput >= in.source->outputCount)) {
                in.source = nullptr;
                in.sourceOutput = 0;
            }
}

int depth(const HostLoadState& s) { return s.depth(s.data); }

// Leaves every block entered since the stream stood at `level`, whatever a
// node's own reader left open: the stream ends up exactly after them.
void leaveTo(const HostLoadState& s, int level) {
    for (int d = depth(s); d > level; --d) s.endBlk(s.data);
}

bool abandon(const HostLoadState& s, int level) {
    leaveTo(s, level);
    return false;
}

// The lists being read on this thread, the outermost one included, and
// whether one of them held macros nested deeper than a tree may.
struct ListsOpen {
    int count = 0;
    bool tooDeep = false;
};
thread_local ListsOpen gOpen;
struct ListLevel {
    ListLevel() {
        if (gOpen.count++ == 0) gOpen.tooDeep = false;
    }
    ~ListLevel() { --gOpen.count; }
    ListLevel(const ListLevel&) = delete;
    ListLevel& operator=(const ListLevel&) = delete;
};

// Whether no macro in `list` nests more than `levels` deep.
bool nestsWithin(const NodeList& list, int levels) {
    for (const auto& n : list.nodes)
        if (const auto* macro = dynamic_cast<const NMacro*>(n.get()))
            if (levels == 0 || !nestsWithin(macro->inner, levels - 1)) return false;
    return true;
}

struct TreeLoad {
    NodeList* tree;
    const NodeFactoryData* catalogue;
    bool loaded = false;
};

bool saveTree(const HostSaveState& s, void* data) { return saveList(*static_cast<const NodeList*>(data), s); }

bool loadTree(const HostLoadState& s, void* data) {
    auto& load = *static_cast<TreeLoad*>(data);
    NodeList read;
    if (!loadList(read, s, *load.catalogue)) return false;
    load.tree->nodes = std::move(read.nodes);
    load.tree->usedItems.clear();
    load.loaded = true;
    return true;
}

}  // namespace

bool saveList(const NodeList& list, const HostSaveState& state) {
    numberNodes(list);
    state.beginBlk(state.data, &kListBlock);
    writeI4(state, kListVersion);
    writeI4(state, static_cast<int32_t>(list.nodes.size()));
    for (const auto& n : list.nodes) saveNode(list, *n, state);
    state.endBlk(state.data);
    return true;
}

bool loadList(NodeList& list, const HostLoadState& state, const NodeFactoryData& catalogue) {
    const ListLevel level;
    const int outside = depth(state);
    // A deeper list is left unread, which keeps hostile nesting bounded, and
    // the whole tree is refused: no writer made it.
    if (gOpen.count > kMaxMacroNesting + 1) gOpen.tooDeep = true;
    if (gOpen.tooDeep || !state.findBlk(state.data, kListTable)) return abandon(state, outside);
    int32_t version = 0, count = 0;
    if (!readI4(state, version) || version != kListVersion || !readI4(state, count) || count < 0)
        return abandon(state, outside);
    // Nodes are read into a list of their own, so that nothing is appended
    // unless the whole block was read. The count is not trusted for
    // allocation: the blocks present end the loop.
    NodeList read;
    std::vector<uint32_t> positions;
    for (int32_t i = 0; i < count; ++i) {
        if (state.findBlk(state.data, kNodeTable) != kNodeBlock.id) return abandon(state, outside);
        const bool complete = loadNode(read, positions, state, catalogue);
        leaveTo(state, outside + 1);
        if (!complete) return abandon(state, outside);
    }
    leaveTo(state, outside);
    if (gOpen.tooDeep) return false;
    try {
        resolveLinks(read, positions);
    } catch (const std::out_of_range&) {
        return false;
    }
    dropInvalidOutputs(read);
    removePlaceholders(read);
    // A loop would make evaluation recurse without end.
    if (hasCycle(read)) return false;
    for (auto& n : read.nodes) list.nodes.push_back(std::move(n));
    return true;
}

void saveImageRef(const HostSaveState& state, HostID image) {
    const HostImageList* images = host().imageList;
    const char* name = images && images->name && image ? images->name(image) : nullptr;
    const int16_t flag = name ? 1 : 0;
    state.beginBlk(state.data, &kImageBlock);
    writeI4(state, kImageRefVersion);
    state.writeI2(state.data, &flag, 1);
    state.writeStr(state.data, name ? name : "");
    if (name && images->save) images->save(image, &state);
    state.endBlk(state.data);
}

HostID loadImageRef(const HostLoadState& state) {
    if (!state.findBlk(state.data, kImageTable)) return 0;
    int32_t version = 0;
    int16_t flag = 0;
    char name[kMaxTextChars + 1];
    HostID id = 0;
    const HostImageList* images = host().imageList;
    if (readI4(state, version) && version == kImageRefVersion && state.readI2(state.data, &flag, 1) == 1 &&
        readText(state, name) && flag == 1 && images) {
        if (images->load) images->load(&state);
        if (images->findByName) id = images->findByName(name);
    }
    state.endBlk(state.data);
    return id;
}

bool saveInstanceTree(const NodeList& tree, const HostSaveState& state) {
    if (!nestsWithin(tree, kMaxMacroNesting)) return false;
    writeI4(state, kInstanceVersion);
    const PluginParam table[] = {{"nlist", PT_PUSR, const_cast<NodeList*>(&tree), 1, saveTree, nullptr}, {nullptr}};
    savePluginParams(state, table);
    return true;
}

bool loadInstanceTree(NodeList& tree, const NodeFactoryData& catalogue, const HostLoadState& state) {
    int32_t version = 0;
    if (!readI4(state, version) || version != kInstanceVersion) return false;
    TreeLoad load{&tree, &catalogue};
    const PluginParam table[] = {{"nlist", PT_PUSR, &load, 1, nullptr, loadTree}, {nullptr}};
    loadPluginParams(state, table);
    return load.loaded;
}

}  // namespace vx
