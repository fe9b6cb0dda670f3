#include "standin/cli/commands.h"

#include <cstdio>
#include <filesystem>

#include "host/host.h"
#include "standin/services/globals.h"
#include "standin/streams/tree_file.h"

namespace vxs {

int reportBadInput(const std::string& path, const std::string& what) {
    std::string line = path + ": " + what;
    // Texts from files (a JSON key, a loader message) must not break the line.
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "%s\n", line.c_str());
    return kBadInput;
}

std::string defaultModulePath() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path dir = ec ? std::filesystem::path(".") : exe.parent_path();
    return (dir / "QK_Valtorimex.p").string();
}

std::unique_ptr<vx::NodeFactoryData> hostedCatalogue() {
    vx::acquireHandlerGlobals(globalLookup);
    return nodeCatalogue();
}

}  // namespace vxs
