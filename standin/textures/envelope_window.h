// The host's envelope editor: one window showing a parameter's envelopes as
// curves over time, its keys as points to pick, drag, add and delete, and
// fields for the current key and the curve's ends. A colour parameter's
// three channels are edited one at a time.
#pragma once

#include "host/texture_services.h"

namespace vxs {

inline constexpr const char* kEnvelopeEditorTitle = "Envelope Editor";

// Shows the parameter's envelopes in the window, in place of what it showed,
// and opens it without blocking.
void openEnvelopeEditor(HostVParm& parm);
// Closes the window when it shows this parameter, which is going away.
void forgetEnvelopeEditor(const HostVParm& parm);

}  // namespace vxs
