// What the stand-in's panel and control handles point to, shared by the
// panel and raster services.
#pragma once

#include <memory>
#include <vector>

#include "host/ui_services.h"
#include "standin/ui/panel.h"

struct HostControlRec {
    HostPanelRec* panel = nullptr;
    vxs::ui::Control* control = nullptr;
    int kind = 0;                       // HOST_CTL_*
    HostTreeFuncs tree{};               // tree: the module's callbacks
    std::vector<HostID> itemIds;        // item list: the id of each entry
};

struct HostPanelRec {
    HostPanelRec(const char* title, const HostPanelHandlers* h, void* d)
        : panel(title ? title : "", 640, 480), handlers(h ? *h : HostPanelHandlers{}), data(d) {}

    vxs::ui::Panel panel;
    HostPanelHandlers handlers;
    void* data;
    int result = 0;  // a blocking open's: 1 OK, 0 Cancel
    std::vector<std::unique_ptr<HostControlRec>> controls;
};
