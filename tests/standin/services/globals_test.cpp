#include "standin/services/globals.h"

#include <gtest/gtest.h>

#include "standin/streams/file_io.h"
#include "standin/services/render_memory.h"

namespace {

TEST(GlobalLookup, SuppliesTheTablesEvaluationNeedsAndNothingElse) {
    struct Row {
        const char* service;
        bool supplied;
    };
    const Row rows[] = {
        {HOST_GLOBAL_ITEM_INFO, true},       {HOST_GLOBAL_LIGHT_INFO, true},     {HOST_GLOBAL_OBJECT_INFO, true},
        {HOST_GLOBAL_SCENE_INFO, true},      {HOST_GLOBAL_RENDER_MEMORY, true},  {HOST_GLOBAL_IMAGE_LIST, true},
        {HOST_GLOBAL_SURFACE_FUNCS, true},   {HOST_GLOBAL_FILE_IO, true},        {HOST_GLOBAL_TEXTURE_FUNCS, true},
        {HOST_GLOBAL_ENVELOPES, true},      {HOST_GLOBAL_BACKDROP_INFO, true},  {"LWPanelServices", false},
        {"LW Item Info 2", false},           {"lw item info 3", false},          {"", false},
        {HOST_GLOBAL_INTERFACE_INFO, true},  {HOST_GLOBAL_VPARM_FUNCS, true},    {"Channel Info 2", true},
        {"Texture Editor 2", true},
    };
    for (const Row& r : rows) EXPECT_EQ(vxs::globalLookup(r.service, 0) != nullptr, r.supplied) << r.service;
    EXPECT_EQ(vxs::globalLookup(nullptr, 0), nullptr);
    EXPECT_EQ(vxs::globalLookup(HOST_GLOBAL_RENDER_MEMORY, 0), vxs::renderMemoryService());
    EXPECT_EQ(vxs::globalLookup(HOST_GLOBAL_FILE_IO, 0), vxs::fileIOService());
}

TEST(GlobalLookup, SceneTablesDescribeAnEmptyScene) {
    const auto* items = static_cast<const HostItemInfo*>(vxs::globalLookup(HOST_GLOBAL_ITEM_INFO, 0));
    for (int type : {HOST_OBJECT, HOST_LIGHT, HOST_CAMERA, HOST_BONE}) EXPECT_EQ(items->first(type, 0), 0) << type;
    double v[3] = {7, 7, 7};
    items->param(1, HOST_IP_POSITION, 0.0, v);
    EXPECT_EQ(v[0] + v[1] + v[2], 0.0);

    const auto* images = static_cast<const HostImageList*>(vxs::globalLookup(HOST_GLOBAL_IMAGE_LIST, 0));
    EXPECT_EQ(images->first(), 0);
    EXPECT_EQ(images->findByName("anything"), 0);

    const auto* surf = static_cast<const HostSurfaceFuncs*>(vxs::globalLookup(HOST_GLOBAL_SURFACE_FUNCS, 0));
    EXPECT_EQ(surf->getInt(nullptr, "ReflectionOptions"), 0);
    EXPECT_EQ(surf->getImage(nullptr, "ReflectionImage"), 0);

    const auto* scene = static_cast<const HostSceneInfo*>(vxs::globalLookup(HOST_GLOBAL_SCENE_INFO, 0));
    EXPECT_EQ(scene->frameWidth, 640);
    EXPECT_EQ(scene->frameHeight, 480);
    EXPECT_EQ(scene->framesPerSecond, 24.0);
}

TEST(GlobalLookup, SceneInfoFollowsTheCurrentScene) {
    vxs::Scene& scene = vxs::currentScene();
    const vxs::Scene saved = scene;
    scene.frameWidth = 320;
    scene.name = "other";
    const auto* info = static_cast<const HostSceneInfo*>(vxs::globalLookup(HOST_GLOBAL_SCENE_INFO, 0));
    EXPECT_EQ(info->frameWidth, 320);
    EXPECT_STREQ(info->name, "other");
    scene = saved;
    info = static_cast<const HostSceneInfo*>(vxs::globalLookup(HOST_GLOBAL_SCENE_INFO, 0));
    EXPECT_EQ(info->frameWidth, 640);
}

}  // namespace
