#include "standin/services/globals.h"

#include <gtest/gtest.h>

#include "standin/streams/file_io.h"
#include "standin/services/render_memory.h"

namespace {

TEST(GlobalLookup, SuppliesTheTablesOfEvaluationAndTheInterface) {
    struct Row {
        const char* service;
        bool supplied;
    };
    const Row rows[] = {
        {HOST_GLOBAL_ITEM_INFO, true},       {HOST_GLOBAL_LIGHT_INFO, true},     {HOST_GLOBAL_OBJECT_INFO, true},
        {HOST_GLOBAL_SCENE_INFO, true},      {HOST_GLOBAL_RENDER_MEMORY, true},  {HOST_GLOBAL_IMAGE_LIST, true},
        {HOST_GLOBAL_SURFACE_FUNCS, true},   {HOST_GLOBAL_FILE_IO, true},        {HOST_GLOBAL_TEXTURE_FUNCS, true},
        {HOST_GLOBAL_ENVELOPES, true},       {HOST_GLOBAL_BACKDROP_INFO, true},  {"LWPanelServices", true},
        {"LW Item Info 2", false},           {"lw item info 3", false},          {"", false},
        {HOST_GLOBAL_INTERFACE_INFO, true},  {"RasterServices", true},           {"ContextMenuServices", true},
        {"Info Messages 2", true},           {"LWShelfFuncs", true},             {"File Request", true},
        {"Image Utility", true},             {"Scene Objects 4", true},          {"Texture Editor 2", true},
        {HOST_GLOBAL_VPARM_FUNCS, true},     {"Channel Info 2", true},
    };
    for (const Row& r : rows) EXPECT_EQ(vxs::globalLookup(r.service, 0) != nullptr, r.supplied) << r.service;
    EXPECT_EQ(vxs::globalLookup(nullptr, 0), nullptr);
    EXPECT_EQ(vxs::globalLookup(HOST_GLOBAL_RENDER_MEMORY, 0), vxs::renderMemoryService());
    EXPECT_EQ(vxs::globalLookup(HOST_GLOBAL_FILE_IO, 0), vxs::fileIOService());
}

}  // namespace
