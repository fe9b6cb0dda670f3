// Tree files loaded into a shader instance as a host does: through the
// instance's load callback.
#pragma once

#include <string>

#include "standin/services/module_loader.h"

namespace vxs {

// Loads a tree file's bytes (see readTreeBytes) into the instance. False,
// with a one-line reason in `error`, when the module refuses them or the
// stream's structure is damaged.
bool loadShaderTree(const Shader& shader, HostInstance inst, std::string bytes, std::string& error);

}  // namespace vxs
