// The texture editor and envelope editing as host windows. Their windows
// come with the editor; what is asked of them is recorded, so that a user of
// the command line and the tests can see it.
#pragma once

#include <string>
#include <vector>

#include "host/texture_services.h"

namespace vxs {

struct EditorEvent {
    std::string what;  // "subscribe", "open", "close", "unsubscribe", "envelopes"
    const void* subject = nullptr;  // the editor, or the parameter for "envelopes"
};

std::vector<EditorEvent> editorEvents();
void clearEditorEvents();
void recordEnvelopeEditing(const HostVParm* parm);

const HostTextureEditor* textureEditorService();

}  // namespace vxs
