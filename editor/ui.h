// The host's interface services as the editor reaches them: looked up by name
// each time they are used, so a host that withdraws one is noticed at once.
#pragma once

#include "host/host.h"
#include "host/ui_services.h"

namespace vx {

template <class Table>
const Table* uiService(const char* name) {
    const HostGlobalFunc lookup = host().lookup;
    return lookup ? static_cast<const Table*>(lookup(name, 0)) : nullptr;
}

inline const HostPanelServices* panelServices() { return uiService<HostPanelServices>(HOST_GLOBAL_PANEL_SERVICES); }
inline const HostRasterServices* rasterServices() {
    return uiService<HostRasterServices>(HOST_GLOBAL_RASTER_SERVICES);
}

}  // namespace vx
