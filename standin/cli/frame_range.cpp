#include "standin/cli/frame_range.h"

#include <charconv>
#include <cstdio>

namespace vxs {

namespace {
// Reads a whole number at `at`, moving past it.
bool readNumber(const char*& at, const char* end, int& value) {
    const auto [stop, ec] = std::from_chars(at, end, value);
    if (ec != std::errc()) return false;
    at = stop;
    return true;
}

// The run of "#" nearest the end of the file name: its start and length, or
// (npos, 0).
std::pair<size_t, size_t> frameRun(const std::string& pattern) {
    const size_t slash = pattern.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t last = pattern.rfind('#');
    if (last == std::string::npos || last < nameStart) return {std::string::npos, 0};
    size_t first = last;
    while (first > nameStart && pattern[first - 1] == '#') --first;
    return {first, last - first + 1};
}
}  // namespace

std::optional<FrameRange> parseFrameRange(const std::string& text, std::string& error) {
    FrameRange r;
    const char* at = text.data();
    const char* end = at + text.size();
    const bool ok = readNumber(at, end, r.first) && at != end && *at++ == '-' && readNumber(at, end, r.last) &&
                    (at == end || (*at++ == ':' && readNumber(at, end, r.step) && at == end));
    if (!ok) {
        error = "not a frame range: write FIRST-LAST or FIRST-LAST:STEP, as in 0-48 or 0-48:2";
        return std::nullopt;
    }
    if (r.last < r.first) {
        error = "the last frame comes before the first";
        return std::nullopt;
    }
    if (r.step < 1) {
        error = "the step must be 1 or more";
        return std::nullopt;
    }
    return r;
}

bool hasFrameRun(const std::string& pattern) { return frameRun(pattern).second > 0; }

std::string framePath(const std::string& pattern, int frame) {
    const auto [start, width] = frameRun(pattern);
    if (!width) return pattern;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", int(width), frame);
    return pattern.substr(0, start) + digits + pattern.substr(start + width);
}

}  // namespace vxs
