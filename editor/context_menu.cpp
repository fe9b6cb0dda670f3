#include "editor/context_menu.h"

#include "editor/ui.h"

namespace vx {

PContextMenu::PContextMenu(const char* const* items, unsigned char width)
    : services_(uiService<HostContextMenuFuncs>(HOST_GLOBAL_CONTEXT_MENU)), width_(width) {
    for (const char* const* i = items; *i; ++i) items_.emplace_back(*i);
    if (!services_) return;
    const HostPopupDesc desc{width_, this, count, name};
    menu_ = services_->create(&desc);
}

PContextMenu::~PContextMenu() {
    if (menu_) services_->destroy(menu_);
}

int PContextMenu::show(HostPanel panel) const { return menu_ ? services_->deploy(menu_, panel, 0) : -1; }

int PContextMenu::count(void* data) { return static_cast<int>(static_cast<PContextMenu*>(data)->items_.size()); }

const char* PContextMenu::name(void* data, int index) {
    const auto& items = static_cast<PContextMenu*>(data)->items_;
    return index >= 0 && static_cast<size_t>(index) < items.size() ? items[index].c_str() : nullptr;
}

}  // namespace vx
