// The live view with the real module renders again exactly when the edited
// tree changes, and ends with the picture of the tree the editor holds.
#include "standin/live/live_view.h"

#include <gtest/gtest.h>

#include "standin/services/globals.h"
#include "standin/streams/files.h"
#include "standin/streams/shader_tree.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/render/render_scene.h"

namespace {

using namespace std::chrono_literals;
using vxs::Scene;

const std::string kModule = VX_BINARY_DIR "/QK_Valtorimex.p";
const std::string kRed = VX_SOURCE_DIR "/examples/trees/red.shd";
const std::string kMarble = VX_SOURCE_DIR "/examples/trees/marble.shd";

// A marble floor under a ball whose tree is edited; `ballTree` names the
// tree the ball's surface keeps in the scene.
Scene ballScene(const std::string& ballTree) {
    vxs::testing::SceneBuilder b;
    b.camera({0, 1.5, -5}, {0, 15, 0});
    b.light(vxs::testing::distantLight(), {0, 0, 0}, {30, 50, 0});
    vxs::Surface floor = vxs::testing::matte({0.8, 0.8, 0.7});
    floor.tree = kMarble;
    vxs::Surface ball = vxs::testing::matte({0.2, 0.5, 0.9});
    ball.specular = 0.4;
    ball.tree = ballTree;
    b.object(vxs::planeMesh(20, 20), {0, 0, 0}, b.surface(floor));
    b.object(vxs::sphereMesh(1, 24), {0, 1, 0}, b.surface(ball));
    b.scene.ambientIntensity = 0.1;
    b.scene.frameWidth = 37;  // not a whole number of tiles or coarse blocks
    b.scene.frameHeight = 29;
    return b.scene;
}

class LiveViewTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = vxs::currentScene(); }
    void TearDown() override {
        view.reset();
        editors.clear();
        shaders.reset();
        vxs::currentScene() = saved_;
    }

    // The scene made current with the editor's instances of its trees, the
    // ball's from `ballTree`, and a view on them editing the ball.
    void open(const std::string& ballTree, const vxs::RenderSettings& settings) {
        vxs::currentScene() = ballScene(kRed);
        std::string where, error;
        shaders = vxs::SurfaceShaders::load(vxs::currentScene(), kModule, where, error);
        ASSERT_TRUE(shaders) << where << ": " << error;
        std::vector<HostInstance> shown;
        for (vxs::Surface& s : vxs::currentScene().surfaces) {
            editors.push_back(shaders->shader().make(&s));
            shown.push_back(editors.back().get());
        }
        load(0, kMarble);
        load(1, ballTree);
        view = std::make_unique<vxs::LiveView>(vxs::currentScene(), shaders->shader(), shown, 1, settings);
    }
    void load(size_t surface, const std::string& tree) {
        std::string bytes, error;
        ASSERT_TRUE(vxs::readTreeBytes(tree, bytes, error)) << error;
        ASSERT_TRUE(vxs::loadShaderTree(shaders->shader(), editors[surface].get(), std::move(bytes), error)) << error;
    }
    // What the render command makes of the scene with the ball's tree.
    vxs::Picture rendered(const std::string& ballTree, vxs::RenderSettings settings) {
        vxs::currentScene().surfaces[1].tree = ballTree;
        std::string where, error;
        const auto own = vxs::SurfaceShaders::load(vxs::currentScene(), kModule, where, error);
        EXPECT_TRUE(own) << where << ": " << error;
        settings.threads = 1;
        return vxs::render(vxs::currentScene(), own.get(), settings);
    }

    std::unique_ptr<vxs::SurfaceShaders> shaders;  // the module and a shader
    std::vector<vxs::Shader::InstancePtr> editors;
    std::unique_ptr<vxs::LiveView> view;

private:
    Scene saved_;
};

TEST_F(LiveViewTest, RendersAgainOnlyWhenTheTreeChanges) {
    // Trees loaded into the ball's editor instance between two events; the
    // view must end with the picture of the tree the instance then holds.
    struct Row {
        const char* what;
        bool midRun;  // the event comes while the first run renders
        std::vector<std::string> loads;
        bool restarts;
        const std::string& tree;
    };
    const Row rows[] = {
        {"an event that changes nothing", false, {}, false, kRed},
        {"a new tree after the first run", false, {kMarble}, true, kMarble},
        {"a new tree while the first run renders", true, {kMarble}, true, kMarble},
        {"a change undone before the event ends", false, {kMarble, kRed}, false, kRed},
    };
    for (const Row& r : rows) {
        open(kRed, {});
        if (!r.midRun) {
            ASSERT_TRUE(view->waitFinished(1min));
        }
        const uint64_t before = view->renderer().passesDone();
        for (const std::string& tree : r.loads) load(1, tree);
        view->afterEvent();
        ASSERT_TRUE(view->waitFinished(1min)) << r.what;
        if (!r.midRun) {
            EXPECT_EQ(view->renderer().passesDone() > before, r.restarts) << r.what;
        }
        EXPECT_EQ(view->renderer().latest().picture.rgb, rendered(r.tree, {}).rgb) << r.what;
        TearDown();
        SetUp();
    }
}

}  // namespace
