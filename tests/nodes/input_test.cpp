#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "core/evaluate.h"
#include "nodes/items.h"
#include "plugin/instance.h"
#include "tests/nodes/eval_helper.h"
#include "tests/nodes/fake_scene.h"

namespace vxn {
namespace {

constexpr HostID kObject = 100, kLight = 200, kCamera = 250, kBone = 301, kOtherObject = 110, kBone2 = 311;
constexpr HostID kQuad = 7, kNeighbour = 8, kEdge = 9, kSliver = 10;

// A quad in the z = 0 plane, wound so that its face normal is +z, a second
// polygon sharing its corner 3, a two-vertex polygon and a collinear triangle.
FakeMesh quadMesh() {
    FakeMesh m;
    m.points = {{1, {0, 0, 0}}, {2, {1, 0, 0}}, {3, {1, 1, 0}}, {4, {0, 1, 0}}, {5, {2, 0, 0}}, {6, {3, 0, 0}}};
    m.polygons = {{kQuad, {1, 2, 3, 4}}, {kNeighbour, {2, 5, 3}}, {kEdge, {1, 2}}, {kSliver, {1, 5, 6}}};
    return m;
}

// An object turned a quarter about z, with a bone; a light; a camera.
std::vector<FakeItem> sceneItems() {
    FakeItem object{kObject, HOST_OBJECT};
    object.params[HOST_IP_POSITION - 1] = {1, 2, 3};
    object.params[HOST_IP_W_POSITION - 1] = {1, 2, 3};
    object.params[HOST_IP_RIGHT - 1] = {0, 1, 0};
    object.params[HOST_IP_UP - 1] = {-1, 0, 0};
    object.params[HOST_IP_FORWARD - 1] = {0, 0, 1};
    object.params[HOST_IP_ROTATION - 1] = {1.5, 0, 0};
    object.params[HOST_IP_SCALING - 1] = {2, 2, 2};
    object.params[HOST_IP_PIVOT - 1] = {0.5, 0, 0};
    object.params[HOST_IP_PIVOT_ROT - 1] = {0, 0, 0.25};
    FakeItem light{kLight, HOST_LIGHT};
    light.params[HOST_IP_W_POSITION - 1] = {0, 10, 0};
    return {object, {kBone, HOST_BONE, kObject}, light, {kCamera, HOST_CAMERA}, {kOtherObject, HOST_OBJECT},
            {kBone2, HOST_BONE, kOtherObject}};
}

struct Scene : FakeScene {
    explicit Scene(FakeServices with = {}) : FakeScene(with) {
        items = sceneItems();
        meshes[kObject] = quadMesh();
    }
};

HostShading sampleOn(HostID polygon, std::array<HostID, 4> verts, std::array<float, 4> weights) {
    HostShading sa{};
    sa.objID = kObject;
    sa.polygon = polygon;
    for (int i = 0; i < 4; ++i) {
        sa.verts[i] = verts[i];
        sa.weights[i] = weights[i];
    }
    sa.gNorm[2] = 1;
    return sa;
}

// The node's outputs after one evaluation of the sample.
std::vector<NodeValue> run(const Node& node, HostShading sa, uint8_t preview = 0) {
    NodeEnv env;
    env.isPreview = preview;
    env.record = &sa;
    env.itemParam = cachedItemParam;
    node.evaluate(env);
    const NodeValue* out = env.cache.find(&node);
    return out ? std::vector<NodeValue>(out, out + node.outputCount) : std::vector<NodeValue>{};
}

// Kind, its item parameter, the shaded object, its vector input, the output
// and what it should be, after the cache was filled at time 2.
struct ItemRow {
    const char* kind;
    HostID item;
    HostID object;
    NodeValue input;
    int output;
    NodeValue expected;
};

void expectItemRows(const std::vector<ItemRow>& rows) {
    for (const ItemRow& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.kind << " item " << r.item << " object " << r.object << " output "
                                          << r.output);
        const char* category = std::string_view(r.kind) == "item" ? "Global" : "Generic";
        std::unique_ptr<Node> node = makeKind(category, r.kind);
        node->inputs[0].param.intValue = r.item;
        if (node->inputCount > 1) node->inputs[1].param.value = r.input;
        HostShading sa{};
        sa.objID = r.object;
        const auto out = run(*node, sa);
        ASSERT_LT(r.output, static_cast<int>(out.size()));
        EXPECT_TRUE(near(out[r.output], r.expected, 1e-12));
    }
}

TEST(InputItem, FramesOfKnownItems) {
    Scene scene;
    itemParams().rebuild(2.0, 48);
    const NodeValue w{3, 6, 9};  // (1, 2, 3) drifted for two seconds
    expectItemRows({
        {"item", kObject, 0, {}, 0, w},
        {"item", kObject, 0, {}, 1, {0, 1, 0}},
        {"item", kObject, 0, {}, 2, {-1, 0, 0}},
        {"item", kObject, 0, {}, 3, {0, 0, 1}},
        {"item", kObject, 0, {}, 4, {1, 2, 3}},
        {"item", kObject, 0, {}, 5, {1.5, 0, 0}},
        {"item", kObject, 0, {}, 6, {2, 2, 2}},
        {"item", kObject, 0, {}, 7, {0.5, 0, 0}},
        {"item", kObject, 0, {}, 8, {0, 0, 0.25}},
        {"item", 0, kObject, {}, 0, w},              // no item chosen: the shaded object
        {"item", kLight, kObject, {}, 0, {2, 14, 6}},
        {"item", 0, 0, {}, 6, {1, 1, 1}},
        {"item", 999, kObject, {}, 6, {1, 1, 1}},      // not in the cache
        {"item", 999, kObject, {}, 2, {0, 1, 0}},
        {"transform", kObject, 0, {1, 0, 0}, 0, w + NodeValue{0, 1, 0}},
        {"transform", kObject, 0, {1, 2, 3}, 0, w + NodeValue{-2, 1, 3}},
        {"transform", 0, kObject, {1, 2, 3}, 0, w + NodeValue{-2, 1, 3}},
        {"transform", 0, 0, {1, 2, 3}, 0, {1, 2, 3}},
        {"transform", 999, kObject, {1, 2, 3}, 0, {1, 2, 3}},
        {"vtransform", kObject, 0, {1, 2, 3}, 0, {-2, 1, 3}},
        {"vtransform", 0, kObject, {1, 0, 0}, 0, {0, 1, 0}},
        {"vtransform", 999, kObject, {1, 2, 3}, 0, {1, 2, 3}},
    });
}

TEST(InputItem, NewTimeRefillsTheCacheBeforeTheNodesHearOfIt) {
    Scene scene;
    HostInstanceFuncs inst{};
    HostRenderFuncs rend{};
    HostShaderHandler h{&inst, nullptr, &rend, nullptr, nullptr};
    fillHandler(h);
    HostInstance shader = inst.create(nullptr, nullptr, nullptr);
    rend.newTime(shader, 12, 0.5);
    inst.destroy(shader);
    EXPECT_EQ(itemParams().time(), 0.5);
    EXPECT_EQ(itemParams().frame(), 12);
    double w[3] = {};
    EXPECT_TRUE(itemParams().lookup(kBone2, HOST_IP_W_POSITION, w));
    EXPECT_EQ(NodeValue(w[0], w[1], w[2]), FakeScene::kDrift * 0.5);
}

TEST(ItemCache, LookupLeavesOutAloneForUnknownItemsAndCodes) {
    Scene scene;
    IParamMan cache;
    cache.rebuild(0, 0);
    struct Row {
        HostID item;
        int code;
        bool found;
    } rows[] = {{kObject, 0, false}, {kObject, 13, false}, {kObject, -1, false}, {999, 1, false}, {0, 1, false},
                {kObject, 1, true},  {kObject, 12, true}};
    for (const Row& r : rows) {
        double out[3] = {7, 7, 7};
        EXPECT_EQ(cache.lookup(r.item, r.code, out), r.found) << r.item << " code " << r.code;
        if (!r.found) {
            EXPECT_EQ(NodeValue(out[0], out[1], out[2]), S(7));
        }
    }
}

TEST(ItemCache, LoopingItemListEnds) {
    Scene scene;
    scene.items.push_back({kLight + 1, HOST_LIGHT});
    scene.loopingLights = true;
    IParamMan cache;
    cache.rebuild(0, 0);
    double out[3] = {};
    EXPECT_TRUE(cache.lookup(kLight + 1, 1, out));
    EXPECT_TRUE(cache.lookup(kBone2, 1, out));
}

// Readers must always find a complete filling: every item present and its
// drifted position one whole time's worth.
TEST(ItemCache, RebuiltWhileRenderThreadsLookUp) {
    Scene scene;
    IParamMan cache;
    cache.rebuild(0, 0);
    std::atomic<bool> done{false};
    std::atomic<int> faults{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t)
        readers.emplace_back([&] {
            while (!done) {
                for (HostID id : {kLight, kBone2, kObject}) {
                    double w[3] = {-1, -1, -1};
                    if (!cache.lookup(id, HOST_IP_W_POSITION, w)) ++faults;
                    if (id == kBone2 && (w[1] != 2 * w[0] || w[2] != 3 * w[0])) ++faults;
                }
            }
        });
    for (int frame = 1; frame <= 200; ++frame) {
        scene.asked.clear();
        cache.rebuild(frame / 24.0, frame);
    }
    done = true;
    for (std::thread& t : readers) t.join();
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(cache.frame(), 200);
}

TEST(InputFace, BackOnlyWhenRenderingTheBackOfAPolygon) {
    struct Row {
        const char* what;
        uint8_t preview;
        HostID polygon;
        double gNormZ;
        bool back;
    } rows[] = {
        {"facing", 0, kQuad, 1, false},
        {"back-facing", 0, kQuad, -1, true},
        {"edge-on", 0, kQuad, 0, false},
        {"back-facing in the preview", 1, kQuad, -1, false},
        {"two vertices", 0, kEdge, -1, false},
        {"collinear vertices", 0, kSliver, -1, false},
        {"no polygon", 0, 0, -1, false},
        {"unknown polygon", 0, 99, -1, false},
    };
    Scene scene;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        NodeList list;
        list.nodes.push_back(makeKind("Generic", "color", {{1, 0, 0}}));
        list.nodes.push_back(makeKind("Generic", "color", {{0, 0, 1}}));
        list.nodes.push_back(makeKind("Utility", "pol_face"));
        Node* face = list.nodes[2].get();
        face->inputs[0].source = list.nodes[0].get();
        face->inputs[1].source = list.nodes[1].get();
        HostShading sa = sampleOn(r.polygon, {1, 2, 3, 4}, {1, 0, 0, 0});
        sa.gNorm[2] = r.gNormZ;
        NodeEnv env;
        env.isPreview = r.preview;
        env.record = &sa;
        face->evaluate(env);
        ASSERT_NE(env.cache.find(face), nullptr);
        EXPECT_EQ(env.cache.find(face)[0], r.back ? NodeValue(0, 0, 1) : NodeValue(1, 0, 0));
        EXPECT_EQ(env.cache.find(list.nodes[r.back ? 0 : 1].get()), nullptr) << "the other side was evaluated";
        EXPECT_EQ(scene.liveMeshes, 0);
    }
}

TEST(InputSpot, GlossAndSharpnessAreConverted) {
    struct Row {
        double roughness, sharpness, gloss, sharp;
    } rows[] = {
        {1.0 / 64, 1, 0.4, 0},
        {0.25, 16, 0, 1},
        {1, 0.5, -0.2, -0.25},
        {0, 0, kInf, -kInf},
    };
    for (const Row& r : rows) {
        HostShading sa{};
        sa.roughness = r.roughness;
        sa.diffSharpness = r.sharpness;
        const auto out = run(*makeKind("Global", "spot"), sa);
        ASSERT_EQ(out.size(), 18u);
        EXPECT_TRUE(near(out[3], S(r.gloss), 1e-15)) << r.roughness;
        EXPECT_TRUE(near(out[14], S(r.sharp), 1e-15)) << r.sharpness;
    }
}

TEST(InputGeom, NormalIsTheOneTheSampleArrivedWith) {
    HostShading sa{};
    sa.wNorm[0] = 1;    // already bumped by an earlier pass
    sa.wNorm0[1] = 1;
    sa.gNorm[2] = 1;
    sa.wPos[0] = 5;
    sa.oPos[1] = 6;
    const std::unique_ptr<Node> geom = makeKind("Global", "geom");
    NodeEnv env;
    env.record = &sa;
    env.normal = {0, 0, -1};
    geom->evaluate(env);
    const NodeValue* out = env.cache.find(geom.get());
    ASSERT_NE(out, nullptr);
    const NodeValue expected[] = {{0, 0, -1}, {0, 1, 0}, {0, 0, 1}, {5, 0, 0}, {0, 6, 0}};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], expected[i]) << geom->outputs[i].name;
}

}  // namespace
}  // namespace vxn
