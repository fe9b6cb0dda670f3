#include "standin/streams/shader_tree.h"

#include "standin/streams/file_io.h"
#include "standin/streams/tree_file.h"

namespace vxs {

bool checkShaderTree(const std::string& path, std::string& error) {
    const auto catalogue = nodeCatalogue();
    vx::NodeList scratch;
    return readTreeFile(path, scratch, *catalogue, error);
}

bool loadShaderTree(const Shader& shader, HostInstance inst, const std::string& path, std::string& error) {
    if (!checkShaderTree(path, error)) return false;
    const HostFileIO* io = fileIOService();
    HostLoadState* state = io->openLoad(path.c_str(), HOST_IO_BINARY);
    if (!state) {
        error = "cannot open";
        return false;
    }
    const char* loadError = shader.load(inst, *state);
    io->closeLoad(state);
    if (loadError) error = loadError;
    return !loadError;
}

}  // namespace vxs
