#include "standin/textures/editors.h"

#include "standin/textures/texture_window.h"

struct HostTextureEditorID {
    vxs::TextureWindow window;
};

namespace vxs {

namespace {
HostTextureEditorID* subscribe(const char*, int, void*, HostTextureAutoSizeFunc) { return new HostTextureEditorID; }
void unsubscribe(HostTextureEditorID* editor) { delete editor; }
void open(HostTextureEditorID* editor, HostTexture* texture, const char*) {
    if (editor && texture) editor->window.open(*texture);
}
void close(HostTextureEditorID* editor) {
    if (editor) editor->window.close();
}
int isOpen(HostTextureEditorID* editor) { return editor && editor->window.isOpen(); }

const HostTextureEditor kEditor{subscribe, unsubscribe, open, close, isOpen};
}  // namespace

const HostTextureEditor* textureEditorService() { return &kEditor; }

}  // namespace vxs
