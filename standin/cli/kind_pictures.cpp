// The pictures of the node reference: each kind's example tree read back
// from its file, as a user opens it, and shown on the preview ball or worn
// by the surface "Subject" of a small scene.
#include <filesystem>
#include <memory>

#include "editor/preview.h"
#include "host/host.h"
#include "standin/cli/commands.h"
#include "standin/cli/kind_examples.h"
#include "standin/render/png.h"
#include "standin/scene/preview_scene.h"
#include "standin/scene/scene_file.h"
#include "standin/services/globals.h"
#include "standin/services/interface_services.h"
#include "standin/streams/tree_file.h"

namespace vxs {

namespace {
namespace fs = std::filesystem;

// Twice the preview's size, and the scenes rendered to match.
constexpr int kPictureSize = 2 * vx::kPreviewSize;
constexpr int kSceneSamples = 4;

bool previewPicture(const std::string& tree, Picture& picture, std::string& error) {
    const auto catalogue = hostedCatalogue();
    vx::NodeList list;
    if (!readTreeFile(tree, list, *catalogue, error)) return false;
    vx::Node* root = vx::findRoot(list);
    if (!root) {
        error = "the tree has no root node";
        return false;
    }
    currentScene() = defaultPreviewScene();
    setInterfaceTime(0);
    vx::acquireHandlerGlobals(globalLookup);
    vx::renderPreview(nullptr, list, *root);
    picture = enlargedPreview(root->preview.get(), 2);
    return true;
}

bool scenePicture(const std::string& scenePath, const std::string& tree, Picture& picture, std::string& where,
                  std::string& error) {
    Scene scene;
    if (!loadSceneFile(scenePath, scene, error)) return false;
    bool found = false;
    for (Surface& s : scene.surfaces)
        if (s.name == "Subject") {
            s.tree = tree;
            found = true;
        }
    if (!found) {
        error = "no surface named \"Subject\"";
        return false;
    }
    currentScene() = std::move(scene);
    const auto shaders = SurfaceShaders::load(currentScene(), defaultModulePath(), where, error);
    if (!shaders) return false;
    RenderSettings settings;
    settings.width = settings.height = kPictureSize;
    settings.samples = kSceneSamples;
    picture = render(currentScene(), shaders.get(), settings);
    return true;
}
}  // namespace

bool writeKindExamples(const std::string& examples, const std::string& pictures, std::string& where,
                       std::string& error) {
    // Every tree first: a scene names one of them for its surface.
    for (const KindExample& e : kindExamples()) {
        if (!e.build) continue;
        where = (fs::path(examples) / (kindStem(e.kind) + ".shd")).string();
        TreeBuilder builder;
        buildKindExample(e, builder);
        error = builder.error();
        if (!error.empty() || !builder.write(where, error)) return false;
    }
    std::error_code ec;
    fs::create_directories(pictures, ec);
    if (ec) {
        where = pictures;
        error = "cannot make the folder: " + ec.message();
        return false;
    }
    for (const KindExample& e : kindExamples()) {
        const std::string stem = kindStem(e.kind);
        const std::string tree = (fs::path(examples) / (stem + ".shd")).string();
        Picture picture;
        if (e.scene) {
            where = (fs::path(examples) / e.scene).string();
            if (!scenePicture(where, fs::absolute(tree).string(), picture, where, error)) return false;
        } else if (where = tree; !previewPicture(tree, picture, error)) {
            return false;
        }
        where = (fs::path(pictures) / (stem + ".png")).string();
        if (!writePng(where, picture, error)) return false;
    }
    return true;
}

}  // namespace vxs
