// A fixed pop-up menu of the host, shown over a panel; the chosen item's index.
#pragma once

#include <string>
#include <vector>

#include "host/ui_services.h"

namespace vx {

class PContextMenu {
public:
    // `items` ends with a null entry.
    PContextMenu(const char* const* items, unsigned char width);
    ~PContextMenu();
    PContextMenu(const PContextMenu&) = delete;
    PContextMenu& operator=(const PContextMenu&) = delete;

    // The chosen index, or -1 when nothing was chosen or there is no menu.
    int show(HostPanel panel) const;

private:
    static int count(void* data);
    static const char* name(void* data, int index);

    const HostContextMenuFuncs* services_;
    unsigned char width_;
    std::vector<std::string> items_;
    HostMenu menu_ = nullptr;
};

}  // namespace vx
