#include "standin/services/script_session.h"

#include <functional>

#include "standin/services/ui_services.h"

namespace vxs {

std::string runEditorScript(ui::ScriptReader script, const ui::ScriptRunner::Host& host) {
    std::string failure;
    ui::ScriptRunner runner(std::move(script), host);
    UiSession& session = uiSession();
    session.asker = &runner;
    session.clock = [&runner] { return runner.clock(); };
    // A blocking panel takes the script's next lines until it closes.
    session.eventLoop = [&](const std::function<bool()>& more) {
        if (failure.empty()) runner.run(focusPanel, more, failure);
    };
    host.open();
    if (failure.empty()) runner.run(focusPanel, [&] { return failure.empty(); }, failure);
    session.asker = nullptr;
    session.clock = nullptr;
    session.eventLoop = nullptr;
    return failure;
}

}  // namespace vxs
