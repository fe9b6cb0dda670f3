#include "standin/textures/editors.h"

#include <mutex>

struct HostTextureEditorID {
    bool open = false;
    HostTexture* texture = nullptr;
    void* userData = nullptr;
    HostTextureAutoSizeFunc autoSize = nullptr;
};

namespace vxs {

namespace {
std::mutex gLock;
std::vector<EditorEvent> gEvents;

void record(const char* what, const void* subject) {
    std::lock_guard guard(gLock);
    gEvents.push_back({what, subject});
}

HostTextureEditorID* subscribe(const char*, int, void* userData, HostTextureAutoSizeFunc autoSize) {
    auto* editor = new HostTextureEditorID{false, nullptr, userData, autoSize};
    record("subscribe", editor);
    return editor;
}
void unsubscribe(HostTextureEditorID* editor) {
    record("unsubscribe", editor);
    delete editor;
}
void open(HostTextureEditorID* editor, HostTexture* texture, const char*) {
    if (!editor) return;
    editor->open = true;
    editor->texture = texture;
    record("open", editor);
}
void close(HostTextureEditorID* editor) {
    if (!editor) return;
    editor->open = false;
    record("close", editor);
}
int isOpen(HostTextureEditorID* editor) { return editor && editor->open; }

const HostTextureEditor kEditor{subscribe, unsubscribe, open, close, isOpen};
}  // namespace

std::vector<EditorEvent> editorEvents() {
    std::lock_guard guard(gLock);
    return gEvents;
}

void clearEditorEvents() {
    std::lock_guard guard(gLock);
    gEvents.clear();
}

void recordEnvelopeEditing(const HostVParm* parm) { record("envelopes", parm); }

const HostTextureEditor* textureEditorService() { return &kEditor; }

}  // namespace vxs
