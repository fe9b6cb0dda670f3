#include "standin/scene/demo_scene.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>

#include <nlohmann/json.hpp>

#include "standin/streams/files.h"
#include "standin/scene/scene.h"
#include "standin/streams/tree_builder.h"

namespace vxs {

namespace {
using Json = nlohmann::json;
using vx::NodeValue;
constexpr double kPi = std::numbers::pi;

// The root's colour runs from `a` to `b` as output "r" of `by` runs from 0
// to 1.
void colourBetween(TreeBuilder& t, const NodeValue& a, const NodeValue& b, const vx::Node* by) {
    vx::Node* colour = t.add("Function", "mix");
    t.set(colour, "a", a);
    t.set(colour, "b", b);
    t.link(colour, "n", by, "r");
    t.link(t.root(), "color", colour, "r");
}

// Two colours in squares half a metre wide over the floor's "uv" map: each
// coordinate scaled to 28 squares, wrapped by "mod" into [0, 2) and cut by
// "step" at 1 into stripes; where the stripes of u and v differ, the second
// colour.
bool writeCheckerTree(const std::string& path, std::string& error) {
    TreeBuilder t;
    vx::Node* uv = t.add("Global", "uv");
    t.setText(uv, "uv", "uv");
    vx::Node* split = t.add("Generic", "vec -> val3");
    t.link(split, "vec", uv, "uv");
    vx::Node* stripes[2];
    for (int axis = 0; axis < 2; ++axis) {
        vx::Node* scale = t.add("Operator", "mul");
        t.link(scale, "a", split, axis == 0 ? "x" : "y");
        t.set(scale, "b", 28);
        vx::Node* wrapped = t.add("Function", "mod");
        t.link(wrapped, "a", scale, "r");
        t.set(wrapped, "b", 2);
        stripes[axis] = t.add("Function", "step");
        t.set(stripes[axis], "n", 1);
        t.link(stripes[axis], "v", wrapped, "r");
    }
    vx::Node* differ = t.add("Operator", "sub");
    t.link(differ, "a", stripes[0], "r");
    t.link(differ, "b", stripes[1], "r");
    vx::Node* cell = t.add("Function", "abs");
    t.link(cell, "n", differ, "r");
    colourBetween(t, {0.86, 0.84, 0.78}, {0.30, 0.36, 0.50}, cell);
    return t.write(path, error);
}

// The shading normal as a colour: each component from [-1, 1] to [0, 1].
bool writeNormalTree(const std::string& path, std::string& error) {
    TreeBuilder t;
    vx::Node* geom = t.add("Global", "geom");
    vx::Node* half = t.add("Operator", "mul");
    t.link(half, "a", geom, "norm");
    t.set(half, "b", 0.5);
    vx::Node* lifted = t.add("Operator", "add");
    t.link(lifted, "a", half, "r");
    t.set(lifted, "b", 0.5);
    t.link(t.root(), "color", lifted, "r");
    return t.write(path, error);
}

bool writeVertexColourTree(const std::string& path, std::string& error) {
    TreeBuilder t;
    vx::Node* paint = t.add("Global", "vcolor");
    t.setText(paint, "vcolor", "paint");
    t.link(t.root(), "color", paint, "col");
    return t.write(path, error);
}

// Orange outside, teal inside, by the side of the polygon the ray sees.
bool writeFaceTree(const std::string& path, std::string& error) {
    TreeBuilder t;
    vx::Node* face = t.add("Utility", "pol_face");
    t.set(face, "front", {0.95, 0.50, 0.12});
    t.set(face, "back", {0.10, 0.62, 0.66});
    t.link(t.root(), "color", face, "result");
    return t.write(path, error);
}

// Warm and glowing where the item `orb` is near, cool farther away: the
// distance from the sample to the item's world position, smoothed.
bool writeProximityTree(const std::string& path, HostID orb, std::string& error) {
    TreeBuilder t;
    vx::Node* geom = t.add("Global", "geom");
    vx::Node* item = t.add("Global", "item");
    t.setInt(item, "item", orb);
    vx::Node* distance = t.add("Function", "distance");
    t.link(distance, "p1", geom, "pos");
    t.link(distance, "p2", item, "pos");
    vx::Node* far = t.add("Function", "smoothstep");
    t.set(far, "min", 0.2);
    t.set(far, "max", 1.6);
    t.link(far, "v", distance, "r");
    colourBetween(t, {1.0, 0.55, 0.15}, {0.32, 0.40, 0.72}, far);
    vx::Node* near = t.add("Operator", "sub");
    t.set(near, "a", 0.6);
    t.link(near, "b", far, "r");
    vx::Node* glow = t.add("Function", "clamp_low");
    t.link(glow, "v", near, "r");
    t.set(glow, "min", 0);
    t.link(t.root(), "lumi", glow, "r");
    return t.write(path, error);
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.5g", v);
    return buf;
}

// Fully saturated hue h in [0, 1) at value v and saturation s.
Vec3 hsv(double h, double s, double v) {
    const double k[3] = {5, 3, 1};
    Vec3 c;
    for (int i = 0; i < 3; ++i) {
        const double x = std::fmod(k[i] + h * 6, 6.0);
        c[i] = v - v * s * std::max(0.0, std::min({x, 4 - x, 1.0}));
    }
    return c;
}

// A ring lying in the x-z plane, its polygons facing outwards, and a colour
// per point: the hue runs once around the ring, the tube is lighter on top.
bool writeRing(const std::string& path, Json& paint, std::string& error) {
    constexpr int kAround = 48, kTube = 16;
    constexpr double kRadius = 0.85, kThickness = 0.3;
    std::string obj = "# Valtorimex demo: a ring with a colour per point\n";
    paint = Json::array();
    for (int i = 0; i < kAround; ++i)
        for (int j = 0; j < kTube; ++j) {
            const double u = 2 * kPi * i / kAround, v = 2 * kPi * j / kTube;
            const double r = kRadius + kThickness * std::cos(v);
            obj += "v " + number(r * std::cos(u)) + " " + number(kThickness * std::sin(v)) + " " +
                   number(r * std::sin(u)) + "\n";
            const Vec3 c = hsv(double(i) / kAround, 0.8, 0.75 + 0.25 * std::sin(v));
            paint.push_back({c[0], c[1], c[2]});
        }
    const auto at = [](int i, int j) { return std::to_string((i % kAround) * kTube + (j % kTube) + 1); };
    for (int i = 0; i < kAround; ++i)
        for (int j = 0; j < kTube; ++j)
            obj += "f " + at(i, j) + " " + at(i, j + 1) + " " + at(i + 1, j + 1) + " " + at(i + 1, j) + "\n";
    return writeFile(path, obj, error);
}

// A tube without ends standing on the floor, its polygons facing outwards,
// so that its inside shows the polygons' backs.
bool writeTube(const std::string& path, std::string& error) {
    constexpr int kSides = 40;
    constexpr double kRadius = 0.7, kHeight = 1.1;
    std::string obj = "# Valtorimex demo: an open tube\n";
    for (int i = 0; i < kSides; ++i) {
        const double a = 2 * kPi * i / kSides;
        const std::string x = number(kRadius * std::cos(a)), z = number(kRadius * std::sin(a));
        obj += "v " + x + " 0 " + z + "\nv " + x + " " + number(kHeight) + " " + z + "\n";
    }
    for (int i = 0; i < kSides; ++i) {
        const int b0 = 2 * i + 1, t0 = b0 + 1, b1 = 2 * ((i + 1) % kSides) + 1, t1 = b1 + 1;
        obj += "f " + std::to_string(b0) + " " + std::to_string(t0) + " " + std::to_string(t1) + " " +
               std::to_string(b1) + "\n";
    }
    return writeFile(path, obj, error);
}

Json surface(const char* name, Json channels) {
    channels["name"] = name;
    return channels;
}

Json key(double time, const Vec3& v) { return {{"time", time}, {"value", {v[0], v[1], v[2]}}}; }
}  // namespace

bool writeDemoScene(const std::string& folder, std::string& error) {
    Json lights = Json::array({
        {{"name", "Sun"},
         {"type", "distant"},
         {"intensity", 1.0},
         {"color", {1.0, 0.97, 0.9}},
         {"rotation", {35, 50, 0}},
         {"shadow_color", {0.04, 0.05, 0.12}}},
        {{"name", "Sky"},
         {"type", "distant"},
         {"intensity", 0.3},
         {"color", {0.75, 0.85, 1.0}},
         {"rotation", {-140, 35, 0}},
         {"shadow", "off"},
         {"affect_specular", false}},
        {{"name", "Orb light"},
         {"type", "point"},
         {"parent", "Orb"},
         {"intensity", 0.8},
         {"color", {1.0, 0.7, 0.35}},
         {"falloff", "inverse_square"},
         {"range", 0.5},
         {"shadow", "off"}},
    });
    Json objects = Json::array({
        {{"name", "Floor"}, {"type", "plane"}, {"size", {14, 14}}, {"surface", "Checker"}},
        {{"name", "Normal ball"},
         {"type", "sphere"},
         {"radius", 0.9},
         {"segments", 64},
         {"position", {-2.3, 0.9, 0.9}},
         {"surface", "Normals"}},
        {{"name", "Painted ring"},
         {"type", "mesh"},
         {"file", "ring.obj"},
         {"position", {0.1, 1.45, 2.4}},
         {"rotation", {0, -70, 0}},
         {"surface", "Paint"}},
        {{"name", "Open tube"},
         {"type", "mesh"},
         {"file", "tube.obj"},
         {"position", {2.5, 0, 1.1}},
         {"surface", "Two sides"}},
        {{"name", "Proximity box"},
         {"type", "box"},
         {"size", {1, 1, 1}},
         {"position", {0.5, 0.5, -1.2}},
         {"rotation", {25, 0, 0}},
         {"surface", "Near the orb"}},
        {{"name", "Orb"},
         {"type", "sphere"},
         {"radius", 0.18},
         {"surface", "Orb"},
         {"position", {1.35, 1.0, -1.5}},
         {"keys",
          {{"position",
            Json::array({key(0, {1.35, 1.0, -1.5}), key(0.5, {-0.4, 1.2, -2.0}), key(1, {-0.6, 1.1, -0.5}),
                         key(1.5, {1.3, 1.3, -0.3}), key(2, {1.35, 1.0, -1.5})})}}}},
    });
    // Items are numbered as the scene reader numbers them: the camera, the
    // lights, then the objects.
    const HostID orb = makeItemId(HOST_OBJECT, 1 + lights.size() + objects.size() - 1);

    Json paint;
    const std::string dir = folder + "/";
    if (!writeRing(dir + "ring.obj", paint, error) || !writeTube(dir + "tube.obj", error) ||
        !writeCheckerTree(dir + "checker.shd", error) || !writeNormalTree(dir + "normals.shd", error) ||
        !writeVertexColourTree(dir + "paint.shd", error) || !writeFaceTree(dir + "two_sides.shd", error) ||
        !writeProximityTree(dir + "proximity.shd", orb, error))
        return false;
    objects[2]["vertex_maps"] = Json::array({{{"name", "paint"}, {"type", "rgb"}, {"points", paint}}});

    const Json scene = {
        {"frame", {{"width", 640}, {"height", 480}, {"fps", 24}, {"start", 0}, {"end", 47}}},
        {"render", {{"shadows", true}, {"reflection", true}, {"refraction", true}}},
        {"camera", {{"position", {0, 3.4, -6.6}}, {"rotation", {0, 22, 0}}, {"fov", 52}}},
        {"ambient", {{"color", {0.8, 0.85, 1.0}}, {"intensity", 0.12}}},
        {"backdrop", {0.16, 0.18, 0.24}},
        {"surfaces",
         Json::array({
             surface("Checker", {{"reflection", 0.12}, {"tree", "checker.shd"}}),
             surface("Normals", {{"specularity", 0.5}, {"glossiness", 0.55}, {"tree", "normals.shd"}}),
             surface("Paint", {{"specularity", 0.35}, {"glossiness", 0.45}, {"tree", "paint.shd"}}),
             surface("Two sides", {{"specularity", 0.2}, {"tree", "two_sides.shd"}}),
             surface("Near the orb", {{"specularity", 0.25}, {"glossiness", 0.4}, {"tree", "proximity.shd"}}),
             surface("Orb", {{"color", {1.0, 0.85, 0.5}}, {"luminosity", 1.0}, {"diffuse", 0.0}}),
         })},
        {"lights", lights},
        {"objects", objects},
    };
    return writeFile(dir + "demo.json", scene.dump(2) + "\n", error);
}

std::optional<DemoScene> DemoScene::write(std::string& error) {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "valtorimex-demo-XXXXXX").string();
    if (ec || !mkdtemp(pattern.data())) {
        error = "cannot make a temporary folder";
        return std::nullopt;
    }
    DemoScene demo(pattern);
    if (!writeDemoScene(pattern, error)) return std::nullopt;
    return demo;
}

DemoScene::~DemoScene() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
}

}  // namespace vxs
