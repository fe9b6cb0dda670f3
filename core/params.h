// The named-parameter container: a table of named, typed rows written as a
// "PDLB" block of "PDPR" blocks and read back by name and type.
#pragma once

#include <cstdint>

#include "host/services.h"

namespace vx {

constexpr uint32_t PT_PUNT = HOST_ID4('P', 'U', 'N', 'T');
constexpr uint32_t PT_PINT = HOST_ID4('P', 'I', 'N', 'T');
constexpr uint32_t PT_PFLT = HOST_ID4('P', 'F', 'L', 'T');
constexpr uint32_t PT_PDBL = HOST_ID4('P', 'D', 'B', 'L');
constexpr uint32_t PT_PSTR = HOST_ID4('P', 'S', 'T', 'R');
constexpr uint32_t PT_PBIN = HOST_ID4('P', 'B', 'I', 'N');
constexpr uint32_t PT_PVTX = HOST_ID4('P', 'V', 'T', 'X');
constexpr uint32_t PT_PVPR = HOST_ID4('P', 'V', 'P', 'R');
constexpr uint32_t PT_PVEV = HOST_ID4('P', 'V', 'E', 'V');
constexpr uint32_t PT_PUSR = HOST_ID4('P', 'U', 'S', 'R');

struct PluginParam {
    const char* name;  // null ends the table
    uint32_t type = 0;
    void* data = nullptr;  // PSTR: a std::string; PVTX, PVPR, PVEV: VTexture*, VParam*, VEnvelope* each
    int32_t count = 1;     // PSTR: the longest text read back
    bool (*save)(const HostSaveState& state, void* data) = nullptr;
    bool (*load)(const HostLoadState& state, void* data) = nullptr;
};

void savePluginParams(const HostSaveState& state, const PluginParam* table);
void loadPluginParams(const HostLoadState& state, const PluginParam* table);

}  // namespace vx
