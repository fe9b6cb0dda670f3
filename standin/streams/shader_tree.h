// Tree files loaded into a shader instance as a host does: through the
// instance's load callback and "File IO".
#pragma once

#include <string>

#include "standin/services/module_loader.h"

namespace vxs {

// The module's load reports nothing, so a file is first read here with the
// node library to say what is wrong with it. False, with a one-line reason
// in `error`, when the file is not a complete tree.
bool checkShaderTree(const std::string& path, std::string& error);

// Checks the file as above, then loads it. False, with a one-line reason in
// `error`, when either fails.
bool loadShaderTree(const Shader& shader, HostInstance inst, const std::string& path, std::string& error);

}  // namespace vxs
