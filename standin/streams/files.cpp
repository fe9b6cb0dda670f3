#include "standin/streams/files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace vxs {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }
}  // namespace

bool readFile(const std::string& path, std::string& bytes, std::string& error) {
    const File f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        error = failure("cannot open");
        return false;
    }
    bytes.clear();
    char buf[1 << 16];
    while (true) {
        const size_t n = std::fread(buf, 1, sizeof buf, f.get());
        if (bytes.size() + n > kMaxInputBytes) {
            error = "larger than " + std::to_string(kMaxInputBytes >> 20) + " MiB";
            return false;
        }
        bytes.append(buf, n);
        if (n < sizeof buf) break;
    }
    if (std::ferror(f.get())) {
        error = failure("cannot read");
        return false;
    }
    return true;
}

bool writeFile(const std::string& path, std::string_view bytes, std::string& error) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) {
        error = failure("cannot create");
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    // fclose flushes, so a full disk may only show here.
    if (!written || std::fclose(f.release()) != 0) {
        error = failure("cannot write");
        return false;
    }
    return true;
}

bool canCreate(const std::string& path, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "cannot create: it is a folder";
        return false;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0) {
        error = failure("cannot create");
        return false;
    }
    return true;
}

}  // namespace vxs
