// The stand-in's global lookup: the service tables a module asks for by name.
#pragma once

#include "host/services.h"
#include "standin/scene/scene.h"

namespace vxs {

// The scene the scene tables answer from. Change it only while no module
// is activating or rendering.
Scene& currentScene();

// A HostGlobalFunc: the table named by `serviceName`, null for a service the
// stand-in does not supply.
void* globalLookup(const char* serviceName, int useMode);

}  // namespace vxs
