// Whole files in and out of memory, for the command's inputs and outputs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vxs {

// Inputs larger than this are refused rather than read, so that a device
// such as /dev/zero cannot make a read run without end.
inline constexpr std::size_t kMaxInputBytes = std::size_t{64} << 20;

// False, with a one-line reason in `error`, when the file cannot be read
// whole or is larger than kMaxInputBytes.
bool readFile(const std::string& path, std::string& bytes, std::string& error);
// Writes a temporary file beside the target, flushes it to the disk and only
// then renames it over the target, so that a failure part-way (a full disk,
// an interrupt) leaves the old file as it was and no temporary one behind.
// False, with a one-line reason in `error`, on failure.
bool writeFile(const std::string& path, std::string_view bytes, std::string& error);
// Whether a file could be created at `path` (its folder exists and takes
// new files, and it is not a folder itself), so that a command can say so
// before its work rather than after. False, with a reason as writeFile
// gives it, when not.
bool canCreate(const std::string& path, std::string& error);

}  // namespace vxs
