#include "standin/streams/shader_tree.h"

#include "core/persist.h"
#include "standin/streams/streams.h"

namespace vxs {

bool loadShaderTree(const Shader& shader, HostInstance inst, std::string bytes, std::string& error) {
    LoadStream stream(std::move(bytes));
    const char* loadError = shader.load(inst, *stream.state());
    if (!loadError && stream.failed()) loadError = vx::kIncompleteMessage;
    if (loadError) error = loadError;
    return !loadError;
}

}  // namespace vxs
