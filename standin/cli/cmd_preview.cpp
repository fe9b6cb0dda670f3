// valtorimex preview TREE [--node I | --all] [--scene SCENE.json --surface NAME]
//                   [--time T] [--scale K] -o OUT
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/preview.h"
#include "host/host.h"
#include "standin/cli/commands.h"
#include "standin/services/globals.h"
#include "standin/services/interface_services.h"
#include "standin/render/png.h"
#include "standin/scene/preview_scene.h"
#include "standin/scene/scene_file.h"
#include "standin/streams/tree_file.h"
#include "standin/textures/surface_textures.h"

namespace vxs {

namespace {
struct PreviewOptions {
    std::string tree, scene, surface, out;
    bool nodeGiven = false, all = false;
    std::string node;  // 1-based position in the file, as given
    double time = 0;
    int scale = 1;
};

constexpr int kMaxScale = 32;

// "07-rgb-hsv" for the seventh of up to 99 nodes, of kind "rgb -> hsv".
std::string fileStem(size_t position, size_t count, const vx::Node& node) {
    std::string number = std::to_string(position);
    number.insert(0, std::to_string(count).size() - number.size(), '0');
    std::string kind;
    for (const char c : node.name) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (keep) kind += c;
        else if (!kind.empty() && kind.back() != '-') kind += '-';
    }
    while (!kind.empty() && kind.back() == '-') kind.pop_back();
    return number + "-" + (kind.empty() ? "node" : kind);
}

int runPreview(const PreviewOptions& o) {
    const auto catalogue = hostedCatalogue();
    vx::NodeList tree;
    std::string error;
    if (!readTreeFile(o.tree, tree, *catalogue, error)) return reportBadInput(o.tree, error);

    std::vector<vx::Node*> nodes;
    if (o.all) {
        for (const auto& n : tree.nodes) nodes.push_back(n.get());
    } else if (o.nodeGiven) {
        // Read here rather than by the option, so that any number is named as given.
        size_t position = 0;
        const char* end = o.node.data() + o.node.size();
        const auto [stop, ec] = std::from_chars(o.node.data(), end, position);
        if (ec != std::errc() || stop != end || position < 1 || position > tree.nodes.size())
            return reportBadInput(o.tree, "no node " + o.node + ": the tree has " + std::to_string(tree.nodes.size()) +
                                              " nodes");
        nodes.push_back(tree.nodes[position - 1].get());
    } else if (vx::Node* root = vx::findRoot(tree)) {
        nodes.push_back(root);
    } else {
        return reportBadInput(o.tree, "the tree has no root node");
    }

    Scene scene = defaultPreviewScene();
    if (!o.scene.empty() && !loadSceneFile(o.scene, scene, error)) return reportBadInput(o.scene, error);
    currentScene() = std::move(scene);
    const Surface* surface = nullptr;
    if (!o.surface.empty()) {
        for (const Surface& s : currentScene().surfaces)
            if (s.name == o.surface) surface = &s;
        if (!surface) return reportBadInput(o.scene, "no surface named \"" + o.surface + "\"");
    }
    setInterfaceTime(o.time);
    surfaceTexturesNewTime(currentScene(), o.time, int(std::trunc(o.time * currentScene().framesPerSecond)));
    // The textures' time records end with the command, whichever way it ends.
    const std::unique_ptr<const Scene, void (*)(const Scene*)> timed(&currentScene(),
                                                                     [](const Scene* s) { surfaceTexturesCleanup(*s); });
    // After the scene is in place: the scene information is a record the
    // lookup refreshes.
    vx::acquireHandlerGlobals(globalLookup);

    if (o.all) {
        std::error_code ec;
        std::filesystem::create_directories(o.out, ec);
        if (ec) return reportBadInput(o.out, "cannot make the folder: " + ec.message());
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        // The surface table reads the scene's surface and never writes it.
        vx::renderPreview(const_cast<Surface*>(surface), tree, *nodes[i]);
        const std::string path =
            o.all ? (std::filesystem::path(o.out) / (fileStem(i + 1, nodes.size(), *nodes[i]) + ".png")).string()
                  : o.out;
        if (!writePng(path, enlargedPreview(nodes[i]->preview.get(), o.scale), error)) return reportBadInput(path, error);
    }
    return 0;
}
}  // namespace

Picture enlargedPreview(const uint8_t* rgb, int scale) {
    Picture p;
    p.width = p.height = vx::kPreviewSize * scale;
    p.rgb.resize(size_t(p.width) * size_t(p.height) * 3);
    float* out = p.rgb.data();
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* in = rgb + (size_t(y / scale) * vx::kPreviewSize + size_t(x / scale)) * 3;
            for (int c = 0; c < 3; ++c) *out++ = float(in[c]) / 255.0f;
        }
    return p;
}

void addPreviewCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<PreviewOptions>();
    CLI::App* cmd = app.add_subcommand(
        "preview", "Renders the 64 x 64 preview of a node (the root when none is named) as a PNG: the node's first "
                   "output on a ball over a checkerboard, or for the root the whole material, lit.");
    cmd->add_option("TREE", o->tree, "Tree file, in either stream form")->required();
    CLI::Option* node = cmd->add_option("--node", o->node, "The node's 1-based position in the tree file");
    CLI::Option* all =
        cmd->add_flag("--all", o->all, "One PNG per node into the folder OUT, named by position and kind");
    node->excludes(all);
    CLI::Option* scene =
        cmd->add_option("--scene", o->scene, "Scene file whose lights and ambient light the ball (default: one "
                                              "distant light from the upper left and a dim ambient light)");
    cmd->add_option("--surface", o->surface, "The scene's surface whose channels the ball starts from (default: "
                                             "plain grey)")
        ->needs(scene);
    cmd->add_option("--time", o->time, "The interface's time in seconds")
        ->check(CLI::Validator(
            [](std::string& s) {
                char* end = nullptr;
                const double t = std::strtod(s.c_str(), &end);
                return std::string(*end == '\0' && std::isfinite(t) ? "" : "must be a finite number of seconds");
            },
            "SECONDS"));
    cmd->add_option("--scale", o->scale, "Enlarge K times, each pixel a K x K square")
        ->check(CLI::Range(1, kMaxScale));
    cmd->add_option("-o,--output", o->out, "The PNG file, or with --all the folder")->required();
    cmd->callback([o, node, &status] {
        o->nodeGiven = node->count() > 0;
        status = runPreview(*o);
    });
}

}  // namespace vxs
