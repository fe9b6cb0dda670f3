#include "editor/requester.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "editor/ui.h"

namespace vx {

std::string filePattern(bool load, std::string_view extension) {
    std::string pattern = load ? "<*" : ">*";
    if (extension.empty() || extension.front() != '.') pattern += '.';
    return pattern.append(extension);
}

void applyDefaultExtension(std::string& name, std::string& path, std::string_view extension) {
    const std::string ext = "." + std::string(extension);
    for (std::string* s : {&name, &path})
        if (!s->empty() && s->back() == '.') s->pop_back();
    const bool has = path.size() >= ext.size() &&
                     std::equal(ext.begin(), ext.end(), path.end() - static_cast<long>(ext.size()),
                                [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                            std::tolower(static_cast<unsigned char>(b)); });
    if (!has) {
        name += ext;
        path += ext;
    }
}

namespace {
char directory[kPathLength];
std::string lastPath;
}  // namespace

std::string requestFile(const char* title, std::string_view extension, bool load) {
    const auto* requester = uiService<HostFileRequest>(HOST_GLOBAL_FILE_REQUEST);
    char name[kPathLength] = {};
    char result[kPathLength] = {};
    std::strncpy(name, filePattern(load, extension).c_str(), kPathLength - 1);
    if (!requester || !requester->request(title, name, directory, result, kPathLength)) {
        lastPath.clear();
        return {};
    }
    std::string chosen = name;
    lastPath = result;
    applyDefaultExtension(chosen, lastPath, extension);
    return lastPath;
}

}  // namespace vx
