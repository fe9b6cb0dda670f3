// A script run on the editor with no window: the runner answers the
// interface services' questions and feeds blocking panels' loops.
#pragma once

#include <string>

#include "standin/ui/script_runner.h"

namespace vxs {

// Opens the editor through `host.open`, then runs the script on whatever
// panel has the focus until it ends. The error, "line N: what", of the line
// that stopped it; empty when it ran to its end. The session's asker, clock
// and event loop are the runner's only while it runs.
std::string runEditorScript(ui::ScriptReader script, const ui::ScriptRunner::Host& host);

}  // namespace vxs
