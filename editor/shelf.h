// The editor's client of the host's preset shelf.
#pragma once

#include "host/ui_services.h"

namespace vx {

class PShelf {
public:
    // `data` is handed to the load and save callbacks.
    PShelf(void* data, HostShelfLoadFunc load, HostShelfSaveFunc save);
    ~PShelf();
    PShelf(const PShelf&) = delete;
    PShelf& operator=(const PShelf&) = delete;

    // When the shelf's window is open, it serves this client from now on.
    void serve() const;
    // Brings the shelf up for this client and adds a preset with the thumbnail.
    void addPreset(HostImage thumbnail) const;

private:
    const HostShelfFuncs* services_;
    HostShelfClient client_ = nullptr;
};

}  // namespace vx
