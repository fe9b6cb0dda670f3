#include "standin/scene/scene_file.h"

#include <gtest/gtest.h>

#include <cmath>

#include "standin/scene/primitives.h"
#include "tests/temp_dir.h"

namespace {

// An uncompressed 32-bit TGA, rows from the top, pixels as RGBA bytes.
std::string tga(int w, int h, const std::vector<uint8_t>& rgba) {
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = char(w & 0xFF), out[13] = char(w >> 8);
    out[14] = char(h & 0xFF), out[15] = char(h >> 8);
    out[16] = 32;
    out[17] = 0x28;  // top-left origin, 8 alpha bits
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        out += char(rgba[i + 2]);
        out += char(rgba[i + 1]);
        out += char(rgba[i]);
        out += char(rgba[i + 3]);
    }
    return out;
}

// Two quads sharing an edge; point 2 has different UVs on the two faces.
constexpr const char* kObj =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0.5 0\nvt 0.5 1\n"
    "f 1/1 2/2 3/3 4/4\nf 2/5 5/2 6/3 3/6\n";

class SceneFile : public ::testing::Test, protected vxt::TempDir {
protected:
    void SetUp() override {
        write("two.obj", kObj);
        write("tex/pixels.tga", tga(2, 1, {255, 0, 0, 255, 0, 0, 255, 128}));
        write("trees/red.shd", "272\n");
    }

    bool load(const std::string& text, vxs::Scene& scene, std::string& error) const {
        write("scene.json", text);
        return vxs::loadSceneFile(path("scene.json"), scene, error);
    }
    vxs::Scene load(const std::string& text) const {
        vxs::Scene scene;
        std::string error;
        EXPECT_TRUE(load(text, scene, error)) << error;
        return scene;
    }
};

const vxs::Item& item(const vxs::Scene& scene, int type, const char* name) {
    const vxs::Item* found = vxs::findItem(scene, type, name);
    if (!found) throw std::runtime_error(std::string("no item ") + name);
    return *found;
}

TEST_F(SceneFile, VertexMapsFromTheFileWithPerPolygonValues) {
    const vxs::Scene s = load(R"({"objects": [{"name": "B", "type": "box", "vertex_maps": [
        {"name": "paint", "type": "rgb", "points": [[1, 0, 0], null, [0, 0, 1]],
         "polygons": [{"polygon": 3, "point": 1, "value": [0, 1, 0]}]},
        {"name": "w", "type": "weight", "points": [[0.5]]},
        {"name": "uv", "type": "uv", "points": [[0.25, 0.75]]}]}]})");
    const vxs::Mesh& mesh = item(s, HOST_OBJECT, "B").object.mesh;
    ASSERT_EQ(mesh.maps.size(), 3u);  // the file's "uv" replaced the box's own
    const vxs::VertexMap& paint = mesh.maps[0];
    EXPECT_EQ(paint.type, HOST_VMAP_RGB);
    EXPECT_EQ(paint.dimension, 3);
    EXPECT_EQ(paint.points.size(), 2u);
    EXPECT_EQ(paint.points.at(3), (std::vector<float>{0, 0, 1}));
    EXPECT_EQ(paint.polygons.at({1, 3}), (std::vector<float>{0, 1, 0}));
    EXPECT_EQ(mesh.maps[1].type, HOST_VMAP_WGHT);
    EXPECT_EQ(mesh.maps[1].dimension, 1);
    EXPECT_EQ(mesh.maps[2].name, "uv");
    EXPECT_EQ(mesh.maps[2].points.size(), 1u);
    EXPECT_TRUE(mesh.maps[2].polygons.empty());
}

TEST_F(SceneFile, ObjFacesKeepTheirPointsAndSplitUVsPerPolygon) {
    const vxs::Scene s = load(R"({"objects": [{"name": "Two", "type": "mesh", "file": "two.obj"}]})");
    const vxs::Mesh& mesh = item(s, HOST_OBJECT, "Two").object.mesh;
    ASSERT_EQ(mesh.points.size(), 6u);
    EXPECT_EQ(mesh.polygons, (std::vector<std::vector<HostID>>{{1, 2, 3, 4}, {2, 5, 6, 3}}));
    ASSERT_EQ(mesh.maps.size(), 1u);
    const vxs::VertexMap& uv = mesh.maps[0];
    EXPECT_EQ(uv.type, HOST_VMAP_TXUV);
    EXPECT_EQ(uv.name, "uv");
    EXPECT_EQ(uv.points.at(2), (std::vector<float>{1, 0}));  // as the first face has it
    EXPECT_EQ(uv.points.at(5), (std::vector<float>{1, 0}));
    // Points 2 and 3 differ on the second face; point 5 and 6 do not.
    EXPECT_EQ(uv.polygons.size(), 2u);
    EXPECT_EQ(uv.polygons.at({2, 2}), (std::vector<float>{0.5f, 0}));
    EXPECT_EQ(uv.polygons.at({3, 2}), (std::vector<float>{0.5f, 1}));
}

TEST_F(SceneFile, BadFilesNameTheKeyAndWhatIsWrong) {
    std::string longFace = "v 0 0 0\nf";
    for (int i = 0; i < 300; ++i) longFace += " 1";
    write("big.obj", longFace + "\n");
    write("holes.obj", "v 0 0 0\nv 1 0 0\nf 1 2 7\n");
    write("garbage.tga", "not an image");
    // A TGA header claiming 20000 x 20000 pixels, with no pixels behind it.
    write("huge.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x20\x4e\x20\x4e\x18\0", 18));
    // Three headers of 4096 x 4096 with no pixels: the scene's limit refuses the
    // third before the first is decoded.
    write("big.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x10\0\0\0\x10\0\x08\x02\0\0\0\0\0\0\0", 33));
    struct Row {
        std::string text, error;
    };
    const Row rows[] = {
        {"", "not valid JSON"},
        {"{\"frame\": {}", "not valid JSON: parse error at line 1"},
        {R"({"ambient": {"intensity": 3e3333}})", "not valid JSON: number overflow"},
        {"[]", "must hold a JSON object"},
        {R"({"frames": {}})", "frames: unknown key"},
        {R"({"frame": {"width": 10, "width": 20}})", "duplicate key \"width\""},
        {std::string(1025, '[') + std::string(1025, ']'), "nested deeper than 1024 levels"},
        {R"({"frame": {"width": 0}})", "frame.width: must be an integer from 1 to 16384"},
        {R"({"frame": {"fps": -24}})", "frame.fps: must be a positive number"},
        {R"({"frame": {"start": 5, "end": 4}})", "frame.end: must be an integer from 5 to 1000000"},
        {R"({"render": {"shadows": 1}})", "render.shadows: must be true or false"},
        {R"({"backdrop": [0, "0", 0]})", "backdrop[1]: must be a number"},
        {R"({"gradient_backdrop": {"ground_squeeze": 0}})", "gradient_backdrop.ground_squeeze: must be a positive number"},
        {R"({"camera": {"fov": 180}})", "camera.fov: must be a number above 0 and below 180"},
        {R"({"lights": {}})", "lights: must be an array"},
        {R"({"lights": [{"type": "area"}]})", R"(lights[0].type: must be one of "distant", "point", "spot")"},
        {R"({"lights": [{"cone_angle": 10, "edge_angle": 12}]})",
         "lights[0].edge_angle: must be a number from 0 to 10"},
        {R"({"lights": [{"image": "none"}]})", R"(lights[0].image: no image named "none")"},
        {R"({"lights": [{"name": "A"}, {"name": "A"}]})", R"(lights[1].name: another item is named "A")"},
        {R"({"lights": [{"parent": "Nobody"}]})", R"(lights[0].parent: no item named "Nobody")"},
        {R"({"lights": [{"name": "A", "parent": "B"}, {"name": "B", "parent": "A"}]})",
         R"(lights[0].parent: the parents of "A" come back to it)"},
        {R"({"objects": [{"radius": 1}]})", "objects[0].type: must be given"},
        {R"({"objects": [{"type": "cone"}]})", R"(objects[0].type: must be one of "sphere", "plane", "box", "mesh")"},
        {R"({"objects": [{"type": "sphere", "segments": 100000}]})",
         "objects[0].segments: must be an integer from 3 to 1024"},
        {R"({"objects": [{"type": "box", "size": [1, 1, -1]}]})",
         "objects[0].size: must be an array of three positive"},
        {R"({"objects": [{"type": "mesh"}]})", "objects[0].file: must be given"},
        {R"({"objects": [{"type": "mesh", "file": "nowhere.obj"}]})",
         R"(objects[0].file: "nowhere.obj": cannot open: No such file)"},
        {R"({"objects": [{"type": "mesh", "file": "holes.obj"}]})",
         R"(objects[0].file: "holes.obj": face 1 refers to a point)"},
        {R"({"objects": [{"type": "mesh", "file": "big.obj"}]})",
         R"(objects[0].file: "big.obj": a face has more than 255 vertices)"},
        {R"({"objects": [{"type": "box", "surface": "Glass"}]})", R"(objects[0].surface: no surface named "Glass")"},
        {R"({"objects": [{"type": "box", "exclude": {"lights": ["Sun"]}}]})",
         R"(objects[0].exclude.lights[0]: no light named "Sun")"},
        {R"({"objects": [{"type": "box", "keys": {"position": [{"time": 1, "value": [0, 0, 0]},
                                                               {"time": 1, "value": [1, 0, 0]}]}}]})",
         "objects[0].keys.position[1].time: must be later than the key before"},
        {R"({"objects": [{"type": "box", "keys": {"position": [{"value": [0, 0, 0]}]}}]})",
         "objects[0].keys.position[0].time: must be given"},
        {R"({"objects": [{"type": "box", "keys": {"intensity": []}}]})", "objects[0].keys.intensity: unknown key"},
        {R"({"lights": [{"keys": {"intensity": [{"time": 0, "value": [1, 1, 1]}]}}]})",
         "lights[0].keys.intensity[0].value: must be a number"},
        {R"({"objects": [{"type": "box", "vertex_maps": [{"name": "c", "type": "rgb", "points": [[1, 0]]}]}]})",
         "objects[0].vertex_maps[0].points[0]: must be an array of 3 numbers"},
        {R"({"objects": [{"type": "box", "vertex_maps": [{"name": "c", "type": "cmyk"}]}]})",
         R"(objects[0].vertex_maps[0].type: must be one of "uv", "rgb", "rgba", "weight")"},
        {R"({"objects": [{"type": "box", "vertex_maps": [{"name": "c", "type": "uv",
             "points": [[0,0],[0,0],[0,0],[0,0],[0,0],[0,0],[0,0],[0,0],[0,0]]}]}]})",
         "objects[0].vertex_maps[0].points: has 9 values but the mesh only 8 points"},
        {R"({"objects": [{"type": "box", "vertex_maps": [{"name": "c", "type": "weight",
                                                          "polygons": [{"polygon": 7, "point": 1, "value": [1]}]}]}]})",
         "objects[0].vertex_maps[0].polygons[0].polygon: must be an integer from 1 to 6"},
        {R"({"objects": [{"type": "box", "vertex_maps": [{"name": "c", "type": "weight",
                                                          "polygons": [{"polygon": 1, "point": 8, "value": [1]}]}]}]})",
         "objects[0].vertex_maps[0].polygons[0].point: point 8 is not a vertex of polygon 1"},
        {R"({"surfaces": [{"color": [1, 1, 1]}]})", "surfaces[0].name: must be given"},
        {R"({"surfaces": [{"name": "A"}, {"name": "A"}]})", R"(surfaces[1].name: another surface is named "A")"},
        {R"({"surfaces": [{"name": "A", "reflection_options": 2}]})",
         R"(surfaces[0].reflection_options: must be one of "backdrop", "raytrace", "spherical", "raytrace_spherical")"},
        {R"({"surfaces": [{"name": "A", "tree": "trees/blue.shd"}]})",
         R"(surfaces[0].tree: "trees/blue.shd": no such file)"},
        {R"({"surfaces": [{"name": "A", "textures": {"Colour": {"layers": []}}}]})", "surfaces[0].textures.Colour: unknown key"},
        {R"({"surfaces": [{"name": "A", "textures": {"Diffuse": {"layers": [{"pattern": "stripes"}]}}}]})",
         R"(surfaces[0].textures.Diffuse.layers[0].pattern: unknown name "stripes")"},
        {R"({"surfaces": [{"name": "A", "textures": {"Bump": {"layers": [{"type": "image"}]}}}]})",
         R"(surfaces[0].textures.Bump.layers[0]: an image layer needs an "image")"},
        {R"({"surfaces": [{"name": "A", "textures": {"Bump": {"layers": [{"reference": "Nobody"}]}}}]})",
         R"(surfaces[0].textures.Bump.layers[0].reference: no item named "Nobody")"},
        {R"({"surfaces": [{"name": "A", "textures": {"Bump": {"layers": [{"opacity": {"keys": [{"time": 0}]}}]}}}]})",
         "surfaces[0].textures.Bump.layers[0].opacity.keys[0].value: must be given"},
        {R"({"surfaces": [{"name": "A", "textures": {"Diffuse": {"layers": [{"type": "gradient", "input": "Y Cordinate"}]}}}]})",
         R"(surfaces[0].textures.Diffuse.layers[0].input: surface "A" cannot use "Y Cordinate"; its gradient layers take "X Coordinate", "Y Coordinate", "Z Coordinate", "Camera Distance", "Surface Slope")"},
        {R"({"surfaces": [{"name": "A", "textures": {"Bump": {"layers": [{"type": "gradient", "input": "Slope"}]}}}]})",
         R"(surfaces[0].textures.Bump.layers[0].input: surface "A" cannot use "Slope")"},
        {R"({"images": [{"name": "x"}]})", "images[0].path: must be given"},
        {R"({"images": [{"path": "garbage.tga"}]})", R"(images[0].path: "garbage.tga": not an image)"},
        {R"({"images": [{"path": "huge.tga"}]})", "image of 20000 x 20000 pixels is larger than 16777216 pixels"},
        {R"({"images": [{"name": "a", "path": "big.png"}, {"name": "b", "path": "big.png"}, {"name": "c", "path": "big.png"}]})",
         R"(images[2].path: "big.png": image of 4096 x 4096 pixels is larger than 0 pixels, what the scene's images have left)"},
        {R"({"images": [{"path": "tex/pixels.tga"}, {"path": "tex/pixels.tga"}]})",
         R"(images[1].name: another image is named "pixels")"},
    };
    for (const Row& r : rows) {
        vxs::Scene scene;
        scene.name = "unchanged";
        std::string error;
        EXPECT_FALSE(load(r.text, scene, error)) << r.text;
        EXPECT_NE(error.find(r.error), std::string::npos) << r.text << "\n  gave: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(scene.name, "unchanged");
    }
}

TEST_F(SceneFile, UnreadableSceneFiles) {
    vxs::Scene scene;
    std::string error;
    EXPECT_FALSE(vxs::loadSceneFile(path("missing.json"), scene, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
    EXPECT_FALSE(vxs::loadSceneFile(dir().string(), scene, error));
    EXPECT_FALSE(vxs::readScene(std::string(vxs::kMaxSceneBytes + 1, ' '), "", scene, error));
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
}

TEST_F(SceneFile, MeshesBeyondTheSceneBudgetAreRefused) {
    std::string objects;
    for (int i = 0; i < 4; ++i)
        objects += std::string(i ? ", " : "") + R"({"type": "sphere", "segments": 1024})";
    vxs::Scene scene;
    std::string error;
    EXPECT_FALSE(load(R"({"objects": [)" + objects + "]}", scene, error));
    EXPECT_NE(error.find("objects[3]: the scene's meshes hold more than"), std::string::npos) << error;
}

// The face normal (p2 - p1) x (pN - p1) against the direction from the
// centre to the polygon's first point.
double facing(const vxs::Mesh& mesh, const std::vector<HostID>& polygon) {
    const auto p = [&](HostID id) { return mesh.points[std::size_t(id) - 1]; };
    const auto a = p(polygon[0]), b = p(polygon[1]), c = p(polygon.back());
    const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    return n[0] * a[0] + n[1] * (a[1] == 0 ? 1 : a[1]) + n[2] * a[2];
}

TEST(Primitives, FaceOutwardsAndGiveEveryCornerAUV) {
    struct Row { const char* what; vxs::Mesh mesh; std::size_t points, polygons; };
    const Row rows[] = {
        {"sphere", vxs::sphereMesh(1, 6), 2 + 2 * 6, 6 * 3},
        {"sphere of too few segments", vxs::sphereMesh(1, 1), 2 + 3, 3 * 2},
        {"plane", vxs::planeMesh(2, 3), 4, 1}, {"box", vxs::boxMesh({1, 2, 3}), 8, 6},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.mesh.points.size(), r.points) << r.what;
        ASSERT_EQ(r.mesh.polygons.size(), r.polygons) << r.what;
        ASSERT_EQ(r.mesh.maps.size(), 1u);
        const vxs::VertexMap& uv = r.mesh.maps[0];
        EXPECT_EQ(uv.name, "uv");
        for (std::size_t k = 0; k < r.mesh.polygons.size(); ++k) {
            const auto& polygon = r.mesh.polygons[k];
            EXPECT_GT(facing(r.mesh, polygon), 0) << r.what << " polygon " << k + 1;
            for (HostID point : polygon) {
                const bool own = uv.polygons.contains({point, HostID(k + 1)}) || uv.points.contains(point);
                EXPECT_TRUE(own) << r.what << " polygon " << k + 1 << " point " << point;
            }
        }
    }
}

}  // namespace
