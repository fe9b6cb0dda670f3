#include "standin/streams/tree_file.h"

#include <exception>

#include "core/persist.h"
#include "standin/streams/files.h"
#include "standin/streams/streams.h"

namespace vxs {

std::unique_ptr<vx::NodeFactoryData> nodeCatalogue() { return vx::buildCatalogue(nullptr, "QK_Valtorimex"); }

bool readTreeBytes(const std::string& path, std::string& bytes, std::string& error) {
    if (!readFile(path, bytes, error)) return false;
    // The frame's leading version word tells a tree file from anything else.
    LoadStream probe(bytes);
    int32_t version = 0;
    if (probe.state()->readI4(probe.state()->data, &version, 1) != 1 || version != vx::kInstanceVersion) {
        error = "not a tree file";
        return false;
    }
    return true;
}

bool readTreeFile(const std::string& path, vx::NodeList& tree, const vx::NodeFactoryData& catalogue,
                  std::string& error) {
    std::string bytes;
    return readTreeBytes(path, bytes, error) && parseTreeBytes(std::move(bytes), tree, catalogue, error);
}

bool parseTreeBytes(std::string bytes, vx::NodeList& tree, const vx::NodeFactoryData& catalogue, std::string& error) {
    LoadStream stream(std::move(bytes));
    vx::NodeList loaded;
    bool complete = false;
    try {
        complete = vx::loadInstanceTree(loaded, catalogue, *stream.state()) && !stream.failed();
    } catch (const std::exception&) {
        complete = false;  // a stored link beyond the list
    }
    if (!complete) {
        error = vx::kIncompleteMessage;
        return false;
    }
    tree = std::move(loaded);
    return true;
}

bool writeTreeFile(const std::string& path, const vx::NodeList& tree, int ioMode, std::string& error) {
    SaveStream stream(ioMode);
    if (!vx::saveInstanceTree(tree, *stream.state())) {
        error = vx::kTooDeepMessage;
        return false;
    }
    return writeFile(path, stream.bytes(), error);
}

}  // namespace vxs
