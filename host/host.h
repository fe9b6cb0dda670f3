// The module's hold on the host: the lookup function and the service tables
// acquired at activation. Written only by activations, read freely afterwards.
#pragma once

#include "host/services.h"

namespace vx {

struct HostServices {
    HostGlobalFunc lookup = nullptr;
    const HostItemInfo* itemInfo = nullptr;
    const HostLightInfo* lightInfo = nullptr;
    const HostObjectInfo* objectInfo = nullptr;
    const HostSceneInfo* sceneInfo = nullptr;
    const HostRenderMemory* renderMemory = nullptr;
    const void* textureFuncs = nullptr;
    const void* envelopes = nullptr;
    const void* vparmFuncs = nullptr;
    const HostImageList* imageList = nullptr;
    const HostBackdropInfo* backdropInfo = nullptr;
    const HostInterfaceInfo* interfaceInfo = nullptr;
    const HostFileIO* fileIO = nullptr;
    const void* imageUtility = nullptr;
    const void* sceneObjects = nullptr;
    const HostSurfaceFuncs* surfaceFuncs = nullptr;
};

// Read on every sample, so reached without a call.
extern HostServices gHostServices;
inline HostServices& host() { return gHostServices; }

// Keeps the lookup and acquires the handler's tables, a missing one as null.
void acquireHandlerGlobals(HostGlobalFunc lookup);

// The tables without which evaluation leaves every sample alone.
inline bool renderGlobalsPresent() {
    const HostServices& h = host();
    return h.itemInfo && h.lightInfo && h.objectInfo && h.sceneInfo && h.renderMemory;
}

// Passes an image id to the host's image preparation, when there is one.
void prepareImage(HostID image);

}  // namespace vx
