#include "standin/streams/file_io.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "standin/streams/files.h"
#include "standin/streams/streams.h"

namespace vxs {

namespace {

struct OpenSave {
    std::string path;
    SaveStream stream;
    HostSaveState state;  // handed out; the same table as the stream's
};

struct OpenLoad {
    LoadStream stream;
    HostLoadState state;
};

// Open states by the address handed out, so close can find their owner.
struct OpenFiles {
    std::mutex lock;
    std::map<const void*, std::unique_ptr<OpenSave>> saves;
    std::map<const void*, std::unique_ptr<OpenLoad>> loads;
};

OpenFiles& openFiles() {
    static OpenFiles files;
    return files;
}

HostSaveState* openSave(const char* path, int mode) {
    if (!path) return nullptr;
    auto f = std::make_unique<OpenSave>(
        OpenSave{path, SaveStream(mode == HOST_IO_TEXT ? HOST_IO_TEXT : HOST_IO_BINARY), {}});
    f->state = *f->stream.state();
    HostSaveState* state = &f->state;
    std::lock_guard guard(openFiles().lock);
    openFiles().saves.emplace(state, std::move(f));
    return state;
}

// A state nothing was saved into is a save the module gave up (a tree it
// cannot write), so the old file stays.
int closeSave(HostSaveState* state) {
    std::unique_ptr<OpenSave> f;
    {
        std::lock_guard guard(openFiles().lock);
        const auto it = openFiles().saves.find(state);
        if (it == openFiles().saves.end()) return 0;
        f = std::move(it->second);
        openFiles().saves.erase(it);
    }
    std::string error;
    return !f->stream.empty() && writeFile(f->path, f->stream.bytes(), error);
}

HostLoadState* openLoad(const char* path, int /*mode: the form is detected*/) {
    std::string bytes, error;
    if (!path || !readFile(path, bytes, error)) return nullptr;
    auto f = std::make_unique<OpenLoad>(OpenLoad{LoadStream(std::move(bytes)), {}});
    f->state = *f->stream.state();
    HostLoadState* state = &f->state;
    std::lock_guard guard(openFiles().lock);
    openFiles().loads.emplace(state, std::move(f));
    return state;
}

void closeLoad(HostLoadState* state) {
    std::lock_guard guard(openFiles().lock);
    openFiles().loads.erase(state);
}

const HostFileIO kService{openSave, closeSave, openLoad, closeLoad};

}  // namespace

const HostFileIO* fileIOService() { return &kService; }

}  // namespace vxs
