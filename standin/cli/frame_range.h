// Frame sequences on the command line: a range "A-B[:STEP]" and an output
// name whose run of "#" takes each frame's number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vxs {

struct FrameRange {
    int first = 0, last = 0, step = 1;
    int64_t count() const { return (int64_t{last} - first) / step + 1; }
};

// "0-48", "10-20:5", "-3--1". Nothing, with a one-line reason in `error`,
// for anything else, a last frame before the first or a step below 1.
std::optional<FrameRange> parseFrameRange(const std::string& text, std::string& error);

// The name with the last run of "#" in its file name replaced by the frame,
// zero-padded to the run's width ("out-####.png", 7 -> "out-0007.png"); the
// name unchanged when its file name has no "#".
std::string framePath(const std::string& pattern, int frame);
bool hasFrameRun(const std::string& pattern);

}  // namespace vxs
