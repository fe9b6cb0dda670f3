// The service tables that answer from currentScene(): items, lights, the
// backdrop, objects and their meshes, images and surfaces.
#pragma once

#include "host/services.h"

namespace vxs {

const HostItemInfo* itemInfoService();
const HostLightInfo* lightInfoService();
const HostBackdropInfo* backdropService();
const HostObjectInfo* objectInfoService();
// Image ids are those of Scene::images. save writes the image's path; load
// reads a path back and, when no image of the scene has it, reads the file
// and adds the image, named by the file's stem.
const HostImageList* imageListService();
// The surface a module gets is a `const Surface*` of the scene.
const HostSurfaceFuncs* surfaceService();

}  // namespace vxs
