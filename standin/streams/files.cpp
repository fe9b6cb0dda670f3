#include "standin/streams/files.h"

#include <fcntl.h>
#include <sys/stat.h>
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

namespace {
// Where the bytes really go: a link is followed so that it keeps pointing at
// the new file rather than being replaced by it.
std::string finalTarget(const std::string& path) {
    std::error_code ec;
    const auto target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

// An unnamed file in the target's folder vanishes by itself if the process
// dies before it is linked; folders that cannot hold one get a named file.
int openTemporary(const std::string& folder, std::string& name) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    name = folder + "/.valtorimex-XXXXXX";
    return ::mkostemp(name.data(), O_CLOEXEC);
}

// Gives the unnamed file a name beside the target, for the rename.
bool nameTemporary(int fd, const std::string& folder, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.valtorimex-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) break;
    }
    name.clear();
    return false;
}
}  // namespace

bool writeFile(const std::string& path, std::string_view bytes, std::string& error) {
    const std::string target = finalTarget(path);
    struct stat old{};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or pipe cannot be replaced; it takes the bytes as they come.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        const bool written = fd >= 0 && writeAll(fd, bytes);
        if (fd < 0 || !written || ::close(fd) != 0) {
            error = failure(fd < 0 ? "cannot open" : "cannot write");
            return false;
        }
        return true;
    }
    const std::string parent = std::filesystem::path(target).parent_path().string();
    const std::string folder = parent.empty() ? "." : parent;
    std::string temporary;
    const int fd = openTemporary(folder, temporary);
    if (fd < 0) {
        error = failure("cannot create");
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    bool ok = writeAll(fd, bytes) && (!exists || ::fchmod(fd, old.st_mode & 07777) == 0) && ::fsync(fd) == 0 &&
              (!temporary.empty() || nameTemporary(fd, folder, temporary));
    int writeErrno = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        writeErrno = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) == 0) return true;
    if (!ok) errno = writeErrno;
    error = failure(ok ? "cannot replace" : "cannot write");
    if (!temporary.empty()) ::unlink(temporary.c_str());
    return false;
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
