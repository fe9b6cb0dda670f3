// The file requester of the Open and Save commands. It keeps one directory
// for every editor while the module is loaded, so each request starts where
// the previous one ended.
#pragma once

#include <string>
#include <string_view>

namespace vx {

inline constexpr int kPathLength = 260;

// "<*.ext" for loading, ">*.ext" for saving.
std::string filePattern(bool load, std::string_view extension);

// What an accepted request gives back: one trailing "." dropped from the name
// and the path, then the default extension appended to both unless the path
// already ends with it in any letter case.
void applyDefaultExtension(std::string& name, std::string& path, std::string_view extension);

// The chosen path, or empty when the request was cancelled or no requester
// exists.
std::string requestFile(const char* title, std::string_view extension, bool load);

}  // namespace vx
