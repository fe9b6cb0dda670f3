// `valtorimex eval --scene`: samples on a scene's polygons, read by the
// module through the host's tables.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/root.h"
#include "standin/streams/tree_builder.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

// A 2 x 2 floor one unit up: one quad, points at x, z = -1 or 1. Its "uv"
// map has u = 3 on point 4 for polygon 1 only; its "paint" map exists as
// "RGB " only.
constexpr const char* kScene = R"({
  "frame": {"start": 0},
  "objects": [{"name": "Floor", "type": "plane", "size": [2, 2], "position": [0, 1, 0],
               "vertex_maps": [
                 {"name": "uv", "type": "uv", "points": [[0, 0], [0, 1], [1, 1], [1, 0]],
                  "polygons": [{"polygon": 1, "point": 4, "value": [3, 0]}]},
                 {"name": "paint", "type": "rgb", "points": [[1, 0, 0], [0, 1, 0], [0, 0, 1]]}]}]
})";

class EvalScene : public vxt::CommandTest {
protected:
    EvalScene() : CommandTest("eval") {}
    void SetUp() override {
        write("scene.json", kScene);
        tree("uv.shd", "uv", "uv");
        tree("vcolor.shd", "vcolor", "paint");
        tree("nomap.shd", "uv", "none");
    }

    // A root whose colour is output 0 of a "Global" node naming a map.
    void tree(const std::string& file, const char* kind, const char* map) const {
        const auto catalogue = vxs::nodeCatalogue();
        vx::NodeList list;
        list.nodes.push_back(catalogue->createByName("Root", "root"));
        auto node = catalogue->createByName("Global", kind);
        node->inputs[0].param.text = map;
        list.nodes[0]->inputs[vx::RI_COLOR].source = node.get();
        list.nodes.push_back(std::move(node));
        std::string error;
        ASSERT_TRUE(vxs::writeTreeFile(path(file), list, HOST_IO_TEXT, error)) << error;
    }
};

TEST_F(EvalScene, NodesReadTheVertexMapsAroundTheSample) {
    struct Row { const char* what; const char* tree; std::string record; std::vector<double> color; };
    // (0.5, 1, -0.5) lies in the fan triangle of points 1, 3 and 4 with
    // weights 0.25, 0.25 and 0.5; (-0.5, 1, 0.5) in that of 1, 2 and 3.
    const Row rows[] = {
        {"the polygon's own u of point 4 wins over its point value", "uv.shd",
         R"({"object": "Floor", "polygon": 1, "world_position": [0.5, 1, -0.5]})", {1.75, 0.25, 0}},
        {"point values only", "uv.shd", R"({"object": "Floor", "polygon": 1, "world_position": [-0.5, 1, 0.5]})",
         {0.25, 0.75, 0}},
        {"no RGBA map: the RGB map; point 4 has no value and counts as white", "vcolor.shd",
         R"({"object": "Floor", "polygon": 1, "world_position": [0.5, 1, -0.5]})", {0.75, 0.5, 0.75}},
        {"no polygon: no map is read", "uv.shd", R"({"object": "Floor", "world_position": [0.5, 1, -0.5]})",
         {0, 0, 0}},
        {"no map of that name", "nomap.shd", R"({"object": "Floor", "polygon": 1, "world_position": [0.5, 1, -0.5]})",
         {0, 0, 0}},
    };
    for (const Row& r : rows) {
        write("record.json", r.record);
        const Outcome o = run({path(r.tree), "--scene", path("scene.json"), "--record", path("record.json")});
        ASSERT_EQ(o.status, 0) << r.what << ": " << o.err;
        const auto record = nlohmann::json::parse(o.out);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(record["base_color"][i].get<double>(), r.color[i], 1e-6) << r.what;
        EXPECT_NEAR(record["object_position"][0].get<double>(), record["world_position"][0].get<double>(), 1e-12);
        EXPECT_EQ(record["object_position"][1].get<double>(), 0) << r.what;
    }
}

// Distances count from the point the ray was asked for, not from where the
// host starts it off the surface: light that crosses a ball then leaves it,
// unless a floor under it takes the light.
TEST_F(EvalScene, RaysMeasureFromTheSampleItself) {
    // A lid 2 above the floor, facing it, and a ball lit from straight below.
    const std::string scene = R"({"lights": [{"name": "Under", "rotation": [0, -90, 0]}], "objects": [
        {"name": "Lid", "type": "plane", "position": [0, 3, 0], "rotation": [0, 180, 0]},
        {"name": "Ball", "type": "sphere", "radius": 0.5, "position": [3, 3, 0]})";
    write("open.json", scene + "]}");
    write("rays.json", scene + R"(, {"name": "Floor", "type": "plane", "size": [10, 10], "position": [0, 1, 0]}]})");
    const std::string lid = R"({"object": "Lid", "polygon": 1, "world_position": [0, 3, 0], "normal": [0, -1, 0],
        "geometric_normal": [0, -1, 0], "ray_source": [0, 2, -0.25]})";
    const std::string ballTop = R"({"object": "Ball", "world_position": [3, 3.5, 0], "normal": [0, 1, 0],
        "geometric_normal": [0, 1, 0], "ray_source": [3, 6, 0]})";
    struct Row {
        const char* what;
        const char *category, *kind, *input;
        vx::NodeValue value;
        const char *output, *scene;
        std::string record;
        double expected;
    };
    // translucent with decay 4: the 1 m through the ball keeps 1 - 0.96 / 4
    // of the light, and internal_sc halves that where the floor blocks it.
    const Row rows[] = {
        {"cast onto the floor", "Raytrace", "raycast", "dir", {0, -1, 0}, "dist", "rays.json", lid, 2},
        {"mirrored onto the floor", "Raytrace", "reflect", "refl", vx::NodeValue::scalar(1), "dist", "rays.json", lid,
         2 * std::sqrt(1 + 1 / 16.0)},
        {"light leaves the ball", "Illuminate", "translucent", "decay", vx::NodeValue::scalar(4), "result",
         "open.json", ballTop, 0.76},
        {"the floor blocks it", "Illuminate", "translucent", "decay", vx::NodeValue::scalar(4), "result", "rays.json",
         ballTop, 0.38},
    };
    for (const Row& r : rows) {
        vxs::TreeBuilder t;
        vx::Node* node = t.add(r.category, r.kind);
        t.set(node, r.input, r.value);
        t.link(t.root(), "color", node, r.output);
        std::string error;
        ASSERT_TRUE(t.write(path("ray.shd"), error)) << error;
        write("record.json", r.record);
        const Outcome o = run({path("ray.shd"), "--scene", path(r.scene), "--record", path("record.json")});
        ASSERT_EQ(o.status, 0) << r.what << ": " << o.err;
        EXPECT_NEAR(nlohmann::json::parse(o.out)["base_color"][0].get<double>(), r.expected, 1e-6) << r.what;
    }
}

TEST_F(EvalScene, BadTargetsAndScenesExitWithTwo) {
    write("bad_scene.json", R"({"objects": [{"type": "sphere", "radius": 0}]})");
    struct Row { std::vector<std::string> args; std::string record, error; };
    const std::string scene = path("scene.json"), record = path("record.json");
    const Row rows[] = {
        {{"--scene", scene}, R"({"object": "Wall"})", record + R"(: "object": the scene has no object named "Wall")"},
        {{"--scene", scene}, R"({"object": "Floor", "polygon": 2})", record + R"(: "polygon": "Floor" has 1 polygons)"},
        {{"--scene", scene}, R"({"polygon": 1})", record + R"(: "polygon" needs "object")"},
        {{"--scene", scene}, R"({"polygon": 0})", record + R"(: "polygon" must be a positive integer)"},
        {{"--scene", scene}, R"({"object": 1})", record + R"(: "object" must be a string)"},
        {{}, R"({"object": "Floor"})", record + R"(: "object" needs a scene)"},
        {{"--scene", path("bad_scene.json")}, "{}",
         path("bad_scene.json") + ": objects[0].radius: must be a positive number"},
        {{"--scene", path("none.json")}, "{}", path("none.json") + ": cannot open"},
    };
    for (const Row& r : rows) {
        write("record.json", r.record);
        std::vector<std::string> args{path("uv.shd"), "--record", record};
        args.insert(args.end(), r.args.begin(), r.args.end());
        const Outcome o = run(args);
        EXPECT_EQ(o.status, 2) << r.record;
        EXPECT_EQ(o.err.rfind(r.error, 0), 0u) << o.err;
        EXPECT_TRUE(o.out.empty());
    }
}

}  // namespace
