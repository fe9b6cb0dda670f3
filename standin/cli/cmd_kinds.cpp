// valtorimex kinds: every node kind of the catalogue with its ports and
// defaults, as the Markdown page docs/node-kinds.md is made from.
#include <charconv>
#include <cstdio>
#include <string>

#include "standin/cli/commands.h"
#include "standin/streams/tree_file.h"

namespace vxs {

namespace {
const char* typeName(int32_t t) {
    switch (t) {
        case vx::VT_COLOR: return "colour";
        case vx::VT_SCALAR: return "scalar";
        case vx::VT_VECTOR: return "vector";
        case vx::VT_INT: return "integer";
        default: return "any";
    }
}

const char* controlName(int32_t k) {
    static const char* const names[] = {
        "-", "colour", "number", "vector", "distance", "percent", "angle", "scale", "check box", "integer",
        "item", "item", "item", "item", "item", "image", "text", "file", "directory", "UV map",
        "vertex-colour map", "surface", "choice", "pop-up list", "texture"};
    return k >= 0 && k < static_cast<int32_t>(std::size(names)) ? names[k] : "?";
}

std::string number(double v) {
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// The default as the control shows it: a number, a triple, a whole number or
// a text, whichever the port keeps its value in.
std::string defaultText(const vx::InputPort& in) {
    const vx::ParamValue& p = in.param;
    switch (in.paramKind) {
        case vx::PK_CHECK: return p.intValue ? "on" : "off";
        case vx::PK_INT: case vx::PK_CHOICE: case vx::PK_POPUP: return std::to_string(p.intValue);
        case vx::PK_TEXTURE: return "-";
        default: break;
    }
    if (vx::isItemRef(in.paramKind) || in.paramKind == vx::PK_IMAGE) return "none";
    if (in.paramKind >= vx::PK_TEXT && in.paramKind <= vx::PK_SURFACE) return "\"" + p.text + "\"";
    const vx::NodeValue& v = p.value;
    const bool triple = in.valueType == vx::VT_COLOR || in.valueType == vx::VT_VECTOR;
    if (!triple && v.x == v.y && v.y == v.z) return number(v.x);
    return "(" + number(v.x) + ", " + number(v.y) + ", " + number(v.z) + ")";
}

void printKind(const vx::Node& n) {
    std::printf("### \"%s\"\n\n", n.name.c_str());
    if (!n.inputs.empty()) {
        std::printf("| input | type | control | link | default |\n|---|---|---|---|---|\n");
        for (const vx::InputPort& in : n.inputs)
            std::printf("| \"%s\" | %s | %s | %s | %s |\n", in.name.c_str(), typeName(in.valueType),
                        controlName(in.paramKind), in.connectable ? "yes" : "no", defaultText(in).c_str());
        std::printf("\n");
    }
    std::printf("Outputs:");
    for (size_t i = 0; i < n.outputs.size(); ++i)
        std::printf("%s \"%s\" (%s)", i ? "," : "", n.outputs[i].name.c_str(), typeName(n.outputs[i].valueType));
    std::printf("\n\n");
}

int runKinds() {
    const auto catalogue = nodeCatalogue();
    size_t count = 0;
    for (const auto& group : catalogue->children()) count += group->children().size();
    std::printf("# Node kinds\n\n"
                "The %zu kinds a tree can hold, by category in the order the editor offers them.\n"
                "A tree file names a kind by its category and name. \"link\" says whether an\n"
                "input takes a link; the others are parameters only. This page is the output\n"
                "of `valtorimex kinds`.\n\n",
                count);
    for (const auto& group : catalogue->children()) {
        std::printf("## %s\n\n", group->category().c_str());
        for (const auto& entry : group->children()) printKind(*entry->prototype());
    }
    return 0;
}
}  // namespace

void addKindsCommand(CLI::App& app, int& status) {
    CLI::App* cmd = app.add_subcommand(
        "kinds", "Lists every node kind with its inputs, outputs and defaults, as Markdown.");
    cmd->callback([&status] { status = runKinds(); });
}

}  // namespace vxs
