// "Info Messages 2", "ContextMenuServices" and "File Request": questions put
// to whoever runs the interface.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "standin/services/panel_records.h"
#include "standin/services/ui_services.h"

struct HostMenuRec {
    HostPopupDesc desc;
};

namespace vxs {

namespace {
ui::Asker* asker() { return uiSession().asker; }

void info(const char* title, const char* text) {
    if (asker()) asker()->inform(title ? title : "", text ? text : "");
}

int okCancel(const char* title, const char* text) {
    return asker() && asker()->askOkCancel(title ? title : "", text ? text : "");
}

const HostInfoMessages kInfoMessages{.info = info, .error = info, .okCancel = okCancel};

HostMenu createMenu(const HostPopupDesc* desc) { return desc && desc->count && desc->name ? new HostMenuRec{*desc} : nullptr; }

void destroyMenu(HostMenu m) { delete m; }

int deploy(HostMenu m, HostPanel p, int) {
    if (!m || !p || !asker()) return -1;
    std::vector<std::string> items;
    for (int i = 0, n = m->desc.count(m->desc.data); i < n; ++i) {
        const char* s = m->desc.name(m->desc.data, i);
        items.emplace_back(s ? s : "");
    }
    ui::Panel& panel = p->panel;
    return asker()->chooseItem(panel, items, panel.pointerX(), panel.pointerY(), m->desc.width);
}

const HostContextMenuFuncs kContextMenu{.create = createMenu, .deploy = deploy, .destroy = destroyMenu};

// Copies `s` into a buffer of `length` bytes; false when it does not fit.
bool fill(char* buffer, int length, const std::string& s) {
    if (!buffer || length <= 0 || s.size() >= size_t(length)) return false;
    std::memcpy(buffer, s.c_str(), s.size() + 1);
    return true;
}

int request(const char* title, char* name, char* dir, char* result, int length) {
    if (!asker() || !name || !dir || !result) return 0;
    const std::optional<std::string> chosen = asker()->requestFile(title ? title : "", name, dir);
    if (!chosen || chosen->empty()) return 0;
    // A relative answer is taken in the requester's directory.
    std::filesystem::path path(*chosen);
    if (path.is_relative() && dir[0]) path = std::filesystem::path(dir) / path;
    const std::string full = path.string(), file = path.filename().string();
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : "";
    if (!fill(result, length, full) || !fill(name, length, file) || !fill(dir, length, folder)) return 0;
    return 1;
}

const HostFileRequest kFileRequest{.request = request};

}  // namespace

const HostInfoMessages* infoMessagesService() { return &kInfoMessages; }
const HostContextMenuFuncs* contextMenuService() { return &kContextMenu; }
const HostFileRequest* fileRequestService() { return &kFileRequest; }

}  // namespace vxs
