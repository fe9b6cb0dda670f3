// The stand-in's interface services: panels with controls, rasters, menus,
// messages, the file requester, the preset shelf, images and scene lists, all
// drawn by the toolkit of standin/ui. Whoever runs the interface (a window or
// a script) answers the questions and feeds the events.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/ui_services.h"
#include "standin/ui/panel.h"

namespace vxs {

const HostPanelServices* panelServices();
const HostRasterServices* rasterServices();
const HostInfoMessages* infoMessagesService();
const HostContextMenuFuncs* contextMenuService();
const HostFileRequest* fileRequestService();
const HostColorPicker* colorPickerService();
const HostShelfFuncs* shelfService();
const HostImageUtility* imageUtilityService();
const HostSceneObjects* sceneObjectsService();

struct UiSession {
    // Answers menus and questions; none: menus are dismissed, questions
    // cancelled.
    ui::Asker* asker = nullptr;
    // The interface time in milliseconds.
    std::function<uint32_t()> clock;
    // Feeds events while the condition holds: a blocking panel's loop.
    std::function<void(const std::function<bool()>& more)> eventLoop;
    // Where the preset shelf keeps its presets and thumbnails.
    std::string presetFolder;
};
UiSession& uiSession();

// The panel events go to: the last opened panel still open, unless the
// focus was moved. A panel that gets the focus back is told it is active.
ui::Panel* focusPanel();
// Moves the focus to the open panel titled `title` (the latest of that
// title); an error text when none is open or a modal panel opened after it
// has not returned yet.
std::string focusOn(std::string_view title);
// The latest open panel titled `title`; null when none is open.
ui::Panel* openPanelTitled(std::string_view title);
// Moves the focus to the open panel that had it longest ago, within the
// panels a modal one leaves reachable: what F6 does in the window.
void focusNext();

// For the host's own windows (the shelf, the colour picker): shown and fed
// like the module's. A modal panel keeps the focus from those under it.
void panelOpened(ui::Panel* panel, bool modal = false);
void panelClosed(ui::Panel* panel);

}  // namespace vxs
