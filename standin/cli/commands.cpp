#include "standin/cli/commands.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "host/host.h"
#include "standin/services/globals.h"
#include "standin/streams/tree_file.h"

namespace vxs {

namespace {
// The length of the UTF-8 sequence of a printable character at the start of
// `s`, or 0. C1 controls (U+0080 to U+009F) count as unprintable.
size_t printableLength(std::string_view s) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return lead >= 0x20 && lead != 0x7f;
    const size_t n = lead >= 0xf0 && lead <= 0xf4 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 && lead < 0xe0 ? 2 : 0;
    if (n == 0 || s.size() < n) return 0;
    uint32_t code = lead & (0x7f >> n);
    for (size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xc0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3f);
    }
    const bool shortest = code >= (n == 2 ? 0xa0u : n == 3 ? 0x800u : 0x10000u);
    return shortest && code <= 0x10ffff && !(code >= 0xd800 && code <= 0xdfff) ? n : 0;
}
}  // namespace

std::string printable(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        size_t n = printableLength(text);
        if (n > 0) {
            out.append(text.substr(0, n));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[0]));
            out += escaped;
            n = 1;
        }
        text.remove_prefix(n);
    }
    return out;
}

int reportBadInput(const std::string& path, const std::string& what) {
    std::fprintf(stderr, "%s\n", printable(path + ": " + what).c_str());
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
