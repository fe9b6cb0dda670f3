// The shader instance, one per surface that uses the shader, and the handler
// callbacks the host calls on it.
#pragma once

#include <memory>

#include "core/catalogue.h"
#include "core/node.h"
#include "editor/user_panel.h"
#include "host/plugin_abi.h"

namespace vx {

constexpr const char* kServerName = "QK_Valtorimex";
constexpr const char* kDescription = "QK's Valtorimex version 0.52";
constexpr size_t kMaxUsedItems = 512;

struct ShaderInstance {
    ShaderInstance(void* context);
    ~ShaderInstance();

    std::unique_ptr<NodeList> tree;
    std::unique_ptr<NodeFactoryData> catalogue;
    char description[128] = {};
    void* hostContext;
    HostID usedItems[kMaxUsedItems + 1] = {};
    std::unique_ptr<UserPanel> editor;  // made at the first opening, kept until destroy, copy or load
};

// Fills the handler's records; item callbacks only where the host offers them.
void fillHandler(HostShaderHandler& handler);

// The "ShaderInterface" options callback: opens the editor window on the
// instance, made at the first call and reused afterwards; 0 (no error).
int openEditor(HostInstance inst);

}  // namespace vx
