#include <gtest/gtest.h>

#include <atomic>
#include <numbers>
#include <string_view>
#include <thread>

#include "nodes/items.h"
#include "plugin/instance.h"
#include "standin/services/scene_services.h"
#include "tests/nodes/scene_sample.h"

namespace vxn {
namespace {

// An object at (1, 2, 3) that moves (1, 2, 3) a second, turned a quarter
// about z beyond its rest bank of 0.25 radians, with a bone; a light; a
// camera; an object whose bone moves (1, 2, 3) a second.
constexpr const char* kScene = R"({
  "lights": [{"name": "Light", "position": [0, 10, 0]}],
  "camera": {"position": [0, 0, -5]},
  "objects": [
    {"name": "Object", "type": "sphere", "position": [1, 2, 3], "scale": [2, 2, 2], "pivot": [0.5, 0, 0],
     "rotation": [0, 0, 104.32394487827058], "pivot_rotation": [0, 0, 14.32394487827058],
     "keys": {"position": [{"time": 0, "value": [1, 2, 3]}, {"time": 4, "value": [5, 10, 15]}]},
     "bones": [{"name": "Bone"}]},
    {"name": "Other", "type": "sphere", "bones": [{"name": "Bone2",
     "keys": {"position": [{"time": 0, "value": [0, 0, 0]}, {"time": 4, "value": [4, 8, 12]}]}}]}]
})";

HostID id(const char* name) { return SceneHost::id(name); }

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

// After the cache was filled at time 2: kind, its item parameter, the
// shaded object, its vector input, the output and what it should be.
TEST(InputItem, FramesOfKnownItems) {
    const SceneHost host(kScene);
    itemParams().rebuild(2.0, 48);
    const NodeValue w{3, 6, 9};
    const HostID object = id("Object"), none = 999;
    const double bank = std::numbers::pi / 2 + 0.25;
    struct Row { const char* kind; HostID item, object; NodeValue input; int output; NodeValue expected; };
    const Row rows[] = {
        {"item", object, 0, {}, 0, w}, {"item", object, 0, {}, 1, {0, 1, 0}}, {"item", object, 0, {}, 2, {-1, 0, 0}},
        {"item", object, 0, {}, 3, {0, 0, 1}}, {"item", object, 0, {}, 4, w}, {"item", object, 0, {}, 5, {0, 0, bank}},
        {"item", object, 0, {}, 6, {2, 2, 2}}, {"item", object, 0, {}, 7, {0.5, 0, 0}},
        {"item", object, 0, {}, 8, {0, 0, 0.25}},
        {"item", 0, object, {}, 0, w},  // no item chosen: the shaded object
        {"item", id("Light"), object, {}, 0, {0, 10, 0}},
        {"item", 0, 0, {}, 6, {1, 1, 1}},
        {"item", none, object, {}, 6, {1, 1, 1}},  // not in the cache
        {"item", none, object, {}, 2, {0, 1, 0}},
        {"transform", object, 0, {1, 0, 0}, 0, w + NodeValue{0, 1, 0}},
        {"transform", object, 0, {1, 2, 3}, 0, w + NodeValue{-2, 1, 3}},
        {"transform", 0, object, {1, 2, 3}, 0, w + NodeValue{-2, 1, 3}},
        {"transform", 0, 0, {1, 2, 3}, 0, {1, 2, 3}}, {"transform", none, object, {1, 2, 3}, 0, {1, 2, 3}},
        {"vtransform", object, 0, {1, 2, 3}, 0, {-2, 1, 3}}, {"vtransform", 0, object, {1, 0, 0}, 0, {0, 1, 0}},
        {"vtransform", none, object, {1, 2, 3}, 0, {1, 2, 3}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.kind << " item " << r.item << " object " << r.object << " output "
                                          << r.output);
        std::unique_ptr<Node> node = makeKind(std::string_view(r.kind) == "item" ? "Global" : "Generic", r.kind);
        node->inputs[0].param.intValue = r.item;
        if (node->inputCount > 1) node->inputs[1].param.value = r.input;
        HostShading sa{};
        sa.objID = r.object;
        const auto out = run(*node, sa);
        ASSERT_LT(r.output, static_cast<int>(out.size()));
        EXPECT_TRUE(near(out[r.output], r.expected, 1e-12));
    }
}

TEST(InputItem, NewTimeRefillsTheCacheBeforeTheNodesHearOfIt) {
    const SceneHost host(kScene);
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
    EXPECT_TRUE(itemParams().lookup(id("Bone2"), HOST_IP_W_POSITION, w));
    EXPECT_TRUE(near(NodeValue(w[0], w[1], w[2]), {0.5, 1, 1.5}, 1e-12));
}

TEST(ItemCache, LookupLeavesOutAloneForUnknownItemsAndCodes) {
    const SceneHost host(kScene);
    IParamMan cache;
    cache.rebuild(0, 0);
    const HostID object = id("Object");
    struct Row { HostID item; int code; bool found; } rows[] = {
        {object, 0, false}, {object, 13, false}, {object, -1, false}, {999, 1, false}, {0, 1, false},
        {object, 1, true},  {object, 12, true}};
    for (const Row& r : rows) {
        double out[3] = {7, 7, 7};
        EXPECT_EQ(cache.lookup(r.item, r.code, out), r.found) << r.item << " code " << r.code;
        if (!r.found) {
            EXPECT_EQ(NodeValue(out[0], out[1], out[2]), S(7));
        }
    }
}

// A host whose light list runs back to its first light.
TEST(ItemCache, LoopingItemListEnds) {
    const SceneHost host(kScene);
    static HostItemInfo looping = *vxs::itemInfoService();
    looping.next = [](HostID item) {
        const HostID next = vxs::itemInfoService()->next(item);
        return next || looping.type(item) != HOST_LIGHT ? next : looping.first(HOST_LIGHT, 0);
    };
    acquireHandlerGlobals([](const char* service, int mode) {
        return std::string_view(service) == HOST_GLOBAL_ITEM_INFO ? &looping : vxs::globalLookup(service, mode);
    });
    IParamMan cache;
    cache.rebuild(0, 0);
    double out[3] = {};
    EXPECT_TRUE(cache.lookup(id("Light"), 1, out));
    EXPECT_TRUE(cache.lookup(id("Bone2"), 1, out));
}

// Readers must always find a complete filling: every item present and the
// moving bone's position one whole time's worth.
TEST(ItemCache, RebuiltWhileRenderThreadsLookUp) {
    const SceneHost host(kScene);
    const HostID light = id("Light"), bone = id("Bone2"), object = id("Object");
    IParamMan cache;
    cache.rebuild(0, 0);
    std::atomic<bool> done{false};
    std::atomic<int> faults{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t)
        readers.emplace_back([&] {
            while (!done) {
                for (HostID id : {light, bone, object}) {
                    double w[3] = {-1, -1, -1};
                    if (!cache.lookup(id, HOST_IP_W_POSITION, w)) ++faults;
                    if (id == bone && (w[1] != 2 * w[0] || w[2] != 3 * w[0])) ++faults;
                }
            }
        });
    for (int frame = 1; frame <= 200; ++frame) cache.rebuild(frame / 60.0, frame);
    done = true;
    for (std::thread& t : readers) t.join();
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(cache.frame(), 200);
}

TEST(InputFace, BackOnlyWhenRenderingTheBackOfAPolygon) {
    struct Row { const char* what; uint8_t preview; HostID polygon; double gNormZ; bool back; } rows[] = {
        {"facing", 0, 1, 1, false}, {"back-facing", 0, 1, -1, true}, {"edge-on", 0, 1, 0, false},
        {"back-facing in the preview", 1, 1, -1, false},
        {"two vertices", 0, 3, -1, false},
        {"collinear vertices", 0, 4, -1, false},
        {"no polygon", 0, 0, -1, false},
        {"unknown polygon", 0, 99, -1, false},
    };
    // A quad in the z = 0 plane facing +z, a polygon sharing its corner 3, a
    // two-vertex polygon and a collinear triangle.
    vxs::Scene scene;
    vxs::Item& object = scene.items.emplace_back();
    object.id = vxs::makeItemId(HOST_OBJECT, 0);
    object.object.mesh.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {3, 0, 0}};
    object.object.mesh.polygons = {{1, 2, 3, 4}, {2, 5, 3}, {1, 2}, {1, 5, 6}};
    const SceneHost host(scene);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        NodeList list;
        list.nodes.push_back(makeKind("Generic", "color", {{1, 0, 0}}));
        list.nodes.push_back(makeKind("Generic", "color", {{0, 0, 1}}));
        list.nodes.push_back(makeKind("Utility", "pol_face"));
        Node* face = list.nodes[2].get();
        face->inputs[0].source = list.nodes[0].get();
        face->inputs[1].source = list.nodes[1].get();
        HostShading sa{};
        sa.objID = object.id;
        sa.polygon = r.polygon;
        sa.verts[0] = 1;
        sa.weights[0] = 1;
        sa.gNorm[2] = r.gNormZ;
        NodeEnv env;
        env.isPreview = r.preview;
        env.record = &sa;
        face->evaluate(env);
        ASSERT_NE(env.cache.find(face), nullptr);
        EXPECT_EQ(env.cache.find(face)[0], r.back ? NodeValue(0, 0, 1) : NodeValue(1, 0, 0));
        EXPECT_EQ(env.cache.find(list.nodes[r.back ? 0 : 1].get()), nullptr) << "the other side was evaluated";
    }
}

TEST(InputSpot, GlossAndSharpnessAreConverted) {
    struct Row {
        double roughness, sharpness, gloss, sharp;
    } rows[] = {
        {1.0 / 64, 1, 0.4, 0}, {0.25, 16, 0, 1}, {1, 0.5, -0.2, -0.25}, {0, 0, kInf, -kInf},
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
