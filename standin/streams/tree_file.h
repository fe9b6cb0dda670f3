// Tree files read and written with the node library linked in, for the
// commands that inspect or convert trees without the module.
#pragma once

#include <memory>
#include <string>

#include "core/catalogue.h"
#include "core/node.h"

namespace vxs {

// The catalogue a fresh shader instance builds, without a host context.
std::unique_ptr<vx::NodeFactoryData> nodeCatalogue();

// The file's bytes, once its leading version word shows a tree file. False,
// with a one-line reason in `error`, when it cannot be read or is no tree file.
bool readTreeBytes(const std::string& path, std::string& bytes, std::string& error);
// Replaces `tree` with the file's tree. False, with a one-line reason in
// `error`, when the file cannot be read, is not a tree file, or its node list
// cannot be read completely; `tree` is then unchanged.
bool readTreeFile(const std::string& path, vx::NodeList& tree, const vx::NodeFactoryData& catalogue,
                  std::string& error);
// The same from a file's bytes (see readTreeBytes).
bool parseTreeBytes(std::string bytes, vx::NodeList& tree, const vx::NodeFactoryData& catalogue, std::string& error);
// ioMode is HOST_IO_TEXT or HOST_IO_BINARY.
bool writeTreeFile(const std::string& path, const vx::NodeList& tree, int ioMode, std::string& error);

}  // namespace vxs
