// Server activation and the module-wide state it sets up.
#pragma once

#include <string>

#include "host/plugin_abi.h"

namespace vx {

// The module's own directory, separator included; empty when unknown.
const std::string& pluginDirectory();
// Keeps everything up to and including the last '/' of the module's path.
void recordModulePath(const char* path);

int activateHandler(int version, HostGlobalFunc global, void* local, void* serverData);
int activateInterface(int version, HostGlobalFunc global, void* local, void* serverData);

}  // namespace vx
