#include "host/host.h"

namespace vx {

HostServices gHostServices;

void acquireHandlerGlobals(HostGlobalFunc lookup) {
    HostServices& h = host();
    h.lookup = lookup;
    auto get = [lookup](const char* name) { return lookup ? lookup(name, 0) : nullptr; };
    h.itemInfo = static_cast<const HostItemInfo*>(get(HOST_GLOBAL_ITEM_INFO));
    h.lightInfo = static_cast<const HostLightInfo*>(get(HOST_GLOBAL_LIGHT_INFO));
    h.objectInfo = static_cast<const HostObjectInfo*>(get(HOST_GLOBAL_OBJECT_INFO));
    h.sceneInfo = static_cast<const HostSceneInfo*>(get(HOST_GLOBAL_SCENE_INFO));
    h.renderMemory = static_cast<const HostRenderMemory*>(get(HOST_GLOBAL_RENDER_MEMORY));
    h.textureFuncs = get(HOST_GLOBAL_TEXTURE_FUNCS);
    h.envelopes = get(HOST_GLOBAL_ENVELOPES);
    h.vparmFuncs = get(HOST_GLOBAL_VPARM_FUNCS);
    h.imageList = static_cast<const HostImageList*>(get(HOST_GLOBAL_IMAGE_LIST));
    h.backdropInfo = static_cast<const HostBackdropInfo*>(get(HOST_GLOBAL_BACKDROP_INFO));
    h.interfaceInfo = static_cast<const HostInterfaceInfo*>(get(HOST_GLOBAL_INTERFACE_INFO));
    h.fileIO = static_cast<const HostFileIO*>(get(HOST_GLOBAL_FILE_IO));
    h.imageUtility = get(HOST_GLOBAL_IMAGE_UTILITY);
    h.sceneObjects = get(HOST_GLOBAL_SCENE_OBJECTS);
    h.surfaceFuncs = static_cast<const HostSurfaceFuncs*>(get(HOST_GLOBAL_SURFACE_FUNCS));
}

void prepareImage(HostID image) {
    const HostImageList* images = host().imageList;
    if (image && images && images->prepare) images->prepare(image);
}

}  // namespace vx
