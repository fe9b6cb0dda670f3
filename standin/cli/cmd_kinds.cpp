// valtorimex kinds: every node kind of the catalogue with its ports and
// defaults, as the Markdown page docs/node-kinds.md is made from.
#include <charconv>
#include <cstdio>
#include <string>

#include "standin/cli/commands.h"
#include "standin/cli/kind_examples.h"
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
    if (const KindExample* e = findKindExample(n.name))
        std::printf("![%s](kinds/%s.png)\n\n%s\n\n", n.name.c_str(), kindStem(n.name).c_str(), e->sentence);
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

struct KindsOptions {
    std::string examples, pictures;
};

int runKinds(const KindsOptions& o) {
    if (!o.examples.empty()) {
        std::string where, error;
        if (!writeKindExamples(o.examples, o.pictures, where, error)) return reportBadInput(where, error);
    }
    const auto catalogue = nodeCatalogue();
    size_t count = 0;
    for (const auto& group : catalogue->children()) count += group->children().size();
    std::printf("# Node kinds\n\n"
                "The %zu kinds a tree can hold, by category in the order the editor offers them.\n"
                "A tree file names a kind by its category and name. \"link\" says whether an\n"
                "input takes a link; the others are parameters only.\n\n"
                "Each kind's picture is its output shown on the root of a small tree, with no\n"
                "light of its own: on the editor's preview ball, where \"the horizontal ramp\"\n"
                "is the \"scene\" node's \"sx\" (0 at the picture's left edge, 1 at its right)\n"
                "and the normal faces the viewer, or, for kinds that need lights, rays and\n"
                "objects, on the surface \"Subject\" of a small scene: a ball on a checker floor\n"
                "between a red and a green box under a sky, lit by a warm key light from the\n"
                "upper left and a blue rim light from behind. The trees are in\n"
                "`examples/kinds/`, one per kind, to open in the editor, and the scenes beside\n"
                "them. This page and the pictures in `kinds/` are the output of\n\n"
                "    valtorimex kinds --examples examples/kinds --pictures docs/kinds > docs/node-kinds.md\n\n"
                "which writes the trees, then renders each picture from its tree file; trees\n"
                "whose nodes own textures, envelopes or images are written by hand.\n\n",
                count);
    for (const auto& group : catalogue->children()) {
        std::printf("## %s\n\n", group->category().c_str());
        for (const auto& entry : group->children()) printKind(*entry->prototype());
    }
    return 0;
}
}  // namespace

void addKindsCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<KindsOptions>();
    CLI::App* cmd = app.add_subcommand(
        "kinds", "Lists every node kind with its picture, inputs, outputs and defaults, as Markdown.");
    CLI::Option* examples = cmd->add_option(
        "--examples", o->examples, "First write each kind's example tree into this folder (where the scenes the "
                                   "pictures need are)");
    cmd->add_option("--pictures", o->pictures, "The folder for the pictures made from the example trees")
        ->needs(examples);
    examples->needs("--pictures");
    cmd->callback([o, &status] { status = runKinds(*o); });
}

}  // namespace vxs
