#include "editor/shelf.h"

#include "editor/ui.h"

namespace vx {

namespace {
constexpr int kShelfFlags = 14;
int alwaysLoad(void*) { return 1; }
}  // namespace

PShelf::PShelf(void* data, HostShelfLoadFunc load, HostShelfSaveFunc save)
    : services_(uiService<HostShelfFuncs>(HOST_GLOBAL_SHELF_FUNCS)) {
    if (services_)
        client_ = services_->open("ShaderHandler", "QK_Valtorimex", data, kShelfFlags, alwaysLoad, load, save);
}

PShelf::~PShelf() {
    if (client_) services_->close(client_);
}

void PShelf::serve() const {
    if (client_ && services_->isOpen(client_)) services_->setContext(client_);
}

void PShelf::addPreset(HostImage thumbnail) const {
    if (!client_) return;
    if (services_->isOpen(client_))
        services_->setContext(client_);
    else
        services_->openWindow(client_);
    services_->addPreset(client_, thumbnail, nullptr);
}

}  // namespace vx
