// valtorimex info TREE: the tree's nodes, links and changed parameters.
#include <charconv>
#include <cstdio>
#include <memory>

#include "core/macro.h"
#include "nodes/gradient.h"
#include "nodes/texture.h"
#include "standin/cli/commands.h"
#include "standin/streams/tree_file.h"
#include "standin/textures/procedural.h"
#include "standin/textures/texture.h"

namespace vxs {

namespace {
// Stored values are floats, so the shortest float text shows them exactly.
std::string number(double v) {
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<float>(v)).ptr;
    return std::string(buf, end);
}

std::string valueText(const vx::NodeValue& v) {
    if (v.x == v.y && v.y == v.z) return number(v.x);
    return "(" + number(v.x) + ", " + number(v.y) + ", " + number(v.z) + ")";
}

// Compared as stored, so a default that a float cannot hold exactly still
// counts as unchanged after a save and load.
bool sameStored(const vx::NodeValue& a, const vx::NodeValue& b) {
    return float(a.x) == float(b.x) && float(a.y) == float(b.y) && float(a.z) == float(b.z);
}

// The parts of a parameter that differ from the kind's default.
std::string paramChange(const vx::ParamValue& p, const vx::ParamValue& def) {
    std::string out;
    const auto add = [&out](const std::string& part) { out += (out.empty() ? "" : ", ") + part; };
    if (!sameStored(p.value, def.value)) add(valueText(p.value));
    if (p.intValue != def.intValue) add("int " + std::to_string(p.intValue));
    if (p.text != def.text) add("text \"" + p.text + "\"");
    return out;
}

const HostTexture* textureOf(const vx::Node& n) {
    const vx::VTexture* v = nullptr;
    if (const auto* c = dynamic_cast<const vx::NTextureC*>(&n)) v = &c->texture();
    if (const auto* t = dynamic_cast<const vx::NTextureV*>(&n)) v = &t->texture();
    if (const auto* b = dynamic_cast<const vx::NTextureB*>(&n)) v = &b->texture();
    return v ? v->texture() : nullptr;
}

// A texture's layers, one line each, as the stand-in holds them.
void printTexture(const HostTexture& t, const std::string& indent) {
    for (const auto& l : t.layers) {
        std::string what = layerTypeName(l->type);
        if (l->type == LAYER_PROCEDURAL) what += std::string(" ") + patternName(l->pattern);
        if (l->type == LAYER_IMAGE) what += std::string(" ") + projectionName(l->projection) + ", image " + std::to_string(l->image);
        if (l->type == LAYER_GRADIENT) what += " over \"" + l->input + "\", " + std::to_string(l->keys.size()) + " keys";
        std::printf("%s  layer: %s, %s, opacity %s%s\n", indent.c_str(), what.c_str(), blendName(l->blend),
                    number(l->opacity).c_str(), l->invert ? ", inverted" : "");
    }
}

void printList(const vx::NodeList& list, const vx::NodeFactoryData& catalogue, const std::string& indent) {
    vx::numberNodes(list);
    for (const auto& n : list.nodes) {
        std::printf("%snode %d: %s \"%s\" at (%d, %d), %d x %d\n", indent.c_str(), n->listIndex, n->category.c_str(),
                    n->name.c_str(), n->x, n->y, n->width, n->height);
        const auto proto = catalogue.createByName(n->category, n->name);
        for (size_t i = 0; i < n->inputs.size(); ++i) {
            const vx::InputPort& in = n->inputs[i];
            if (const vx::Node* src = in.source) {
                const bool named = in.sourceOutput >= 0 && static_cast<size_t>(in.sourceOutput) < src->outputs.size();
                std::printf("%s  %s <- node %d output \"%s\"\n", indent.c_str(), in.name.c_str(), src->listIndex,
                            named ? src->outputs[in.sourceOutput].name.c_str() : "?");
            }
            if (!proto || i >= proto->inputs.size()) continue;
            const std::string change = paramChange(in.param, proto->inputs[i].param);
            if (!change.empty()) std::printf("%s  %s = %s\n", indent.c_str(), in.name.c_str(), change.c_str());
        }
        if (const HostTexture* t = textureOf(*n)) printTexture(*t, indent);
        const vx::Gradient* g = nullptr;
        if (const auto* c = dynamic_cast<const vx::NGradientC*>(n.get())) g = &c->gradient;
        if (const auto* v = dynamic_cast<const vx::NGradientV*>(n.get())) g = &v->gradient;
        if (g) std::printf("%s  %zu keys\n", indent.c_str(), g->keys.size());
        if (const auto* macro = dynamic_cast<const vx::NMacro*>(n.get())) {
            std::printf("%s  inner tree:\n", indent.c_str());
            printList(macro->inner, catalogue, indent + "    ");
        }
    }
}

int runInfo(const std::string& path) {
    const auto catalogue = hostedCatalogue();
    vx::NodeList tree;
    std::string error;
    if (!readTreeFile(path, tree, *catalogue, error)) return reportBadInput(path, error);
    std::printf("%s: %zu node%s\n", path.c_str(), tree.nodes.size(), tree.nodes.size() == 1 ? "" : "s");
    printList(tree, *catalogue, "");
    return 0;
}
}  // namespace

void addInfoCommand(CLI::App& app, int& status) {
    auto path = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "info", "Lists a tree file's nodes with their place on the canvas, links and changed parameters.");
    cmd->add_option("TREE", *path, "Tree file, in either stream form")->required();
    cmd->callback([path, &status] { status = runInfo(*path); });
}

}  // namespace vxs
