#include "standin/streams/shader_tree.h"

#include "core/persist.h"
#include "standin/streams/streams.h"
#include "standin/streams/tree_file.h"

namespace vxs {

bool loadShaderTree(const Shader& shader, HostInstance inst, std::string bytes, std::string& error) {
    // A shader's load reports nothing (a tree it cannot read leaves the
    // instance's own), so the node library reads the bytes first to say why.
    vx::NodeList checked;
    if (!parseTreeBytes(bytes, checked, *nodeCatalogue(), error)) return false;
    LoadStream stream(std::move(bytes));
    const char* loadError = shader.load(inst, *stream.state());
    if (!loadError && stream.failed()) loadError = vx::kIncompleteMessage;
    if (loadError) error = loadError;
    return !loadError;
}

}  // namespace vxs
