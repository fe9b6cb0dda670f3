#include "standin/services/globals.h"

#include <string_view>

#include "standin/streams/file_io.h"
#include "standin/services/interface_services.h"
#include "standin/services/render_memory.h"
#include "standin/services/scene_services.h"
#include "standin/services/ui_services.h"
#include "standin/textures/editors.h"
#include "standin/textures/texture.h"
#include "standin/textures/vparm.h"

namespace vxs {

Scene& currentScene() {
    static Scene scene;
    return scene;
}

namespace {
// A data record rather than functions, so it is refreshed from the scene
// whenever a module looks it up.
const HostSceneInfo* sceneInfo() {
    static HostSceneInfo info;
    const Scene& s = currentScene();
    info = {.name = s.name.c_str(),
            .frameStart = s.frameStart,
            .frameEnd = s.frameEnd,
            .frameWidth = s.frameWidth,
            .frameHeight = s.frameHeight,
            .framesPerSecond = s.framesPerSecond,
            .renderOpts = s.renderOpts};
    return &info;
}
}  // namespace

void* globalLookup(const char* serviceName, int) {
    if (!serviceName) return nullptr;
    const std::string_view name = serviceName;
    const void* table = nullptr;
    if (name == HOST_GLOBAL_ITEM_INFO) table = itemInfoService();
    else if (name == HOST_GLOBAL_LIGHT_INFO) table = lightInfoService();
    else if (name == HOST_GLOBAL_OBJECT_INFO) table = objectInfoService();
    else if (name == HOST_GLOBAL_SCENE_INFO) table = sceneInfo();
    else if (name == HOST_GLOBAL_RENDER_MEMORY) table = renderMemoryService();
    else if (name == HOST_GLOBAL_IMAGE_LIST) table = imageListService();
    else if (name == HOST_GLOBAL_BACKDROP_INFO) table = backdropService();
    else if (name == HOST_GLOBAL_SURFACE_FUNCS) table = surfaceService();
    else if (name == HOST_GLOBAL_INTERFACE_INFO) table = interfaceInfoService();
    else if (name == HOST_GLOBAL_FILE_IO) table = fileIOService();
    else if (name == HOST_GLOBAL_PANEL_SERVICES) table = panelServices();
    else if (name == HOST_GLOBAL_RASTER_SERVICES) table = rasterServices();
    else if (name == HOST_GLOBAL_INFO_MESSAGES) table = infoMessagesService();
    else if (name == HOST_GLOBAL_CONTEXT_MENU) table = contextMenuService();
    else if (name == HOST_GLOBAL_FILE_REQUEST) table = fileRequestService();
    else if (name == HOST_GLOBAL_COLOR_PICKER) table = colorPickerService();
    else if (name == HOST_GLOBAL_SHELF_FUNCS) table = shelfService();
    else if (name == HOST_GLOBAL_IMAGE_UTILITY) table = imageUtilityService();
    else if (name == HOST_GLOBAL_SCENE_OBJECTS) table = sceneObjectsService();
    else if (name == HOST_GLOBAL_TEXTURE_FUNCS) table = textureService();
    else if (name == HOST_GLOBAL_TEXTURE_EDITOR) table = textureEditorService();
    else if (name == HOST_GLOBAL_ENVELOPES) table = envelopesService();
    else if (name == HOST_GLOBAL_CHANNEL_INFO) table = channelInfoService();
    else if (name == HOST_GLOBAL_VPARM_FUNCS) table = vparmService();
    // The module holds tables as const pointers; the C lookup type is void*.
    return const_cast<void*>(table);
}

}  // namespace vxs
