// The service tables over a small scene, as a module calls them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host.h"
#include "standin/services/globals.h"
#include "standin/scene/scene_file.h"
#include "standin/streams/streams.h"
#include "tests/temp_dir.h"

namespace {

// A light, and a box with maps "c" as both "RGB " and "RGBA", and a "uv"
// with a polygon value.
constexpr const char* kScene = R"({
  "lights": [{"name": "L1"}],
  "objects": [
    {"name": "A", "type": "box",
     "vertex_maps": [{"name": "c", "type": "rgb", "points": [[1, 0, 0], [0, 1, 0]]},
                     {"name": "c", "type": "rgba", "points": [null, [0, 0, 1, 0.5]]},
                     {"name": "uv", "type": "uv", "points": [[0.5, 0.5]],
                      "polygons": [{"polygon": 1, "point": 1, "value": [0.25, 1]}]}]}
  ]
})";

template <class T>
const T* service(const char* name) {
    return static_cast<const T*>(vxs::globalLookup(name, 0));
}

class Services : public ::testing::Test {
protected:
    void SetUp() override {
        saved = vxs::currentScene();
        std::string error;
        ASSERT_TRUE(vxs::readScene(kScene, "", vxs::currentScene(), error)) << error;
    }
    void TearDown() override { vxs::currentScene() = saved; }

    static HostID id(int type, const char* name) {
        const vxs::Item* item = vxs::findItem(vxs::currentScene(), type, name);
        return item ? item->id : -1;
    }

    vxs::Scene saved;
};

TEST_F(Services, MeshRecordsReadPointsPolygonsAndVertexMaps) {
    const auto* objects = service<HostObjectInfo>(HOST_GLOBAL_OBJECT_INFO);
    const HostID a = id(HOST_OBJECT, "A");
    EXPECT_STREQ(objects->filename(a), "box");
    EXPECT_EQ(objects->numPoints(a), 8);
    EXPECT_EQ(objects->numPolygons(a), 6);
    EXPECT_EQ(objects->numPoints(id(HOST_LIGHT, "L1")), 0);
    EXPECT_EQ(objects->meshInfo(id(HOST_LIGHT, "L1"), 1), nullptr);
    EXPECT_EQ(objects->meshInfo(0, 1), nullptr);

    HostMeshInfo* mesh = objects->meshInfo(a, 1);
    ASSERT_NE(mesh, nullptr);
    void* m = mesh->priv;
    EXPECT_EQ(mesh->polSize(m, 1), 4);
    EXPECT_EQ(mesh->polSize(m, 0), 0);
    EXPECT_EQ(mesh->polSize(m, 7), 0);
    EXPECT_EQ(mesh->polVertex(m, 1, 0), 1);
    EXPECT_EQ(mesh->polVertex(m, 1, 4), 0);
    EXPECT_EQ(mesh->polVertex(m, 1, -1), 0);
    float pos[3];
    mesh->pntBasePos(m, 8, pos);
    EXPECT_EQ(std::vector<float>(pos, pos + 3), (std::vector<float>{0.5f, 0.5f, 0.5f}));
    mesh->pntBasePos(m, 9, pos);
    EXPECT_EQ(pos[0] + pos[1] + pos[2], 0);

    // Same name, two types: each lookup finds its own.
    void* rgb = mesh->pntVLookup(m, HOST_VMAP_RGB, "c");
    void* rgba = mesh->pntVLookup(m, HOST_VMAP_RGBA, "c");
    ASSERT_TRUE(rgb && rgba);
    EXPECT_NE(rgb, rgba);
    EXPECT_EQ(mesh->pntVLookup(m, HOST_VMAP_WGHT, "c"), nullptr);
    EXPECT_EQ(mesh->pntVLookup(m, HOST_VMAP_RGB, "C"), nullptr);
    EXPECT_EQ(mesh->pntVLookup(m, HOST_VMAP_RGB, nullptr), nullptr);
    EXPECT_EQ(mesh->pntVDim(m, rgb), 3);
    EXPECT_EQ(mesh->pntVDim(m, rgba), 4);

    float v[4] = {9, 9, 9, 9};
    EXPECT_EQ(mesh->pntVGet(m, 1, v), 0) << "nothing selected";
    mesh->pntVSelect(m, rgba);
    EXPECT_EQ(mesh->pntVGet(m, 1, v), 0) << "null in the file";
    ASSERT_NE(mesh->pntVGet(m, 2, v), 0);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{0, 0, 1, 0.5f}));
    mesh->pntVSelect(m, rgb);
    ASSERT_NE(mesh->pntVGet(m, 1, v), 0);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{1, 0, 0, 0.5f})) << "three written, fourth kept";

    // A polygon's own value where it has one, the point's value still there.
    mesh->pntVSelect(m, mesh->pntVLookup(m, HOST_VMAP_TXUV, "uv"));
    ASSERT_NE(mesh->pntVPGet(m, 1, 1, v), 0);
    EXPECT_EQ(v[0], 0.25f);
    EXPECT_EQ(mesh->pntVPGet(m, 1, 3, v), 0);
    EXPECT_EQ(mesh->pntVPGet(m, 2, 1, v), 0);
    ASSERT_NE(mesh->pntVGet(m, 1, v), 0);
    EXPECT_EQ(v[0], 0.5f);
    mesh->pntVSelect(m, nullptr);
    EXPECT_EQ(mesh->pntVPGet(m, 1, 1, v), 0);

    // Records are independent: a second one has its own selection.
    HostMeshInfo* other = objects->meshInfo(a, 0);
    EXPECT_NE(other->priv, mesh->priv);
    other->pntVSelect(other->priv, rgb);
    EXPECT_EQ(mesh->pntVGet(m, 1, v), 0);
    mesh->destroy(mesh);
    other->destroy(other);
}

TEST_F(Services, ImageListNamesImagesAndCarriesThemThroughStreams) {
    const vxt::TempDir tmp("vx_images");
    // A 1 x 1 uncompressed 24-bit TGA.
    std::string tga(18, '\0');
    tga[2] = 2, tga[12] = 1, tga[14] = 1, tga[16] = 24;
    tga += std::string("\x10\x20\x30", 3);
    for (const char* name : {"red.tga", "sky.tga"}) tmp.write(name, tga);
    std::string error;
    ASSERT_TRUE(vxs::readScene(R"({"images": [{"path": "red.tga"}, {"name": "blue", "path": "sky.tga"}]})",
                               tmp.dir().string(), vxs::currentScene(), error))
        << error;

    const auto* images = service<HostImageList>(HOST_GLOBAL_IMAGE_LIST);
    const HostID red = images->first(), blue = images->next(red);
    EXPECT_STREQ(images->name(red), "red");
    EXPECT_STREQ(images->name(blue), "blue");
    EXPECT_EQ(images->next(blue), 0);
    EXPECT_EQ(images->findByName("blue"), blue);
    EXPECT_EQ(images->findByName("sky"), 0);
    EXPECT_EQ(images->findByName(nullptr), 0);
    EXPECT_EQ(images->name(0), nullptr);
    EXPECT_EQ(images->name(red + 100), nullptr);
    images->prepare(red);

    const auto carry = [&](HostID image) {
        vxs::SaveStream out(HOST_IO_TEXT);
        images->save(image, out.state());
        vxs::LoadStream in(out.bytes());
        images->load(in.state());
        EXPECT_FALSE(in.failed());
    };
    carry(blue);  // its path is in the scene: nothing added
    EXPECT_EQ(vxs::currentScene().images.size(), 2u);
    vxs::currentScene().images.pop_back();

    vxs::SaveStream out(HOST_IO_BINARY);
    out.state()->writeStr(out.state()->data, tmp.path("sky.tga").c_str());
    vxs::LoadStream in(out.bytes());
    images->load(in.state());  // new to the scene: read and named by its stem
    const HostID sky = images->findByName("sky");
    ASSERT_NE(sky, 0);
    EXPECT_NE(sky, red);
    EXPECT_EQ(vxs::currentScene().images.back().width, 1);

    vxs::SaveStream missing(HOST_IO_BINARY);
    missing.state()->writeStr(missing.state()->data, tmp.path("none.png").c_str());
    vxs::LoadStream none(missing.bytes());
    images->load(none.state());
    EXPECT_EQ(vxs::currentScene().images.size(), 2u);
}

}  // namespace
