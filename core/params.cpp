#include "core/params.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "core/host_wrappers.h"

namespace vx {

namespace {

constexpr HostBlockId kLibBlock{HOST_ID4('P', 'D', 'L', 'B'), "PluginDataLib"};
constexpr HostBlockId kParamBlock{HOST_ID4('P', 'D', 'P', 'R'), "PluginDataParam"};
constexpr HostBlockId kLibTable[] = {kLibBlock, {0, nullptr}};
constexpr HostBlockId kParamTable[] = {kParamBlock, {0, nullptr}};
constexpr int kMaxNameChars = 512;

int elements(const PluginParam& row) { return std::max(row.count, 0); }

void saveRow(const HostSaveState& s, const PluginParam& row) {
    const int n = elements(row);
    switch (row.type) {
    case PT_PUNT: s.writeU4(s.data, static_cast<const uint32_t*>(row.data), n); break;
    case PT_PINT: s.writeI4(s.data, static_cast<const int32_t*>(row.data), n); break;
    case PT_PFLT: s.writeFP(s.data, static_cast<const float*>(row.data), n); break;
    case PT_PDBL: {
        const auto* d = static_cast<const double*>(row.data);
        std::vector<unsigned char> bytes;
        for (int i = 0; i < n; ++i)
            for (int shift = 56; shift >= 0; shift -= 8)
                bytes.push_back(static_cast<unsigned char>(std::bit_cast<uint64_t>(d[i]) >> shift));
        s.writeRaw(s.data, bytes.data(), static_cast<int>(bytes.size()));
        break;
    }
    case PT_PSTR: s.writeStr(s.data, static_cast<const std::string*>(row.data)->c_str()); break;
    case PT_PBIN: s.writeRaw(s.data, row.data, n); break;
    case PT_PVTX:
        for (int i = 0; i < n; ++i) static_cast<VTexture* const*>(row.data)[i]->save(s);
        break;
    case PT_PVPR:
        for (int i = 0; i < n; ++i) static_cast<VParam* const*>(row.data)[i]->save(s);
        break;
    case PT_PVEV:
        for (int i = 0; i < n; ++i) static_cast<VEnvelope* const*>(row.data)[i]->param().save(s);
        break;
    case PT_PUSR:
        if (row.save) row.save(s, row.data);
        break;
    default: break;
    }
}

// A short stream leaves the row as it was: the stream reads all or nothing.
void loadRow(const HostLoadState& s, const PluginParam& row) {
    const int n = elements(row);
    switch (row.type) {
    case PT_PUNT: s.readU4(s.data, static_cast<uint32_t*>(row.data), n); break;
    case PT_PINT: s.readI4(s.data, static_cast<int32_t*>(row.data), n); break;
    case PT_PFLT: s.readFP(s.data, static_cast<float*>(row.data), n); break;
    case PT_PDBL: {
        std::vector<unsigned char> bytes(static_cast<size_t>(n) * 8);
        if (s.readRaw(s.data, bytes.data(), n * 8) != n * 8) break;
        auto* d = static_cast<double*>(row.data);
        for (int i = 0; i < n; ++i) {
            uint64_t bits = 0;
            for (int b = 0; b < 8; ++b) bits = bits << 8 | bytes[static_cast<size_t>(i) * 8 + b];
            d[i] = std::bit_cast<double>(bits);
        }
        break;
    }
    case PT_PSTR: {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        if (s.readStr(s.data, buf.data(), n + 1) >= 0) *static_cast<std::string*>(row.data) = buf.data();
        break;
    }
    case PT_PBIN: s.readRaw(s.data, row.data, n); break;
    case PT_PVTX:
        for (int i = 0; i < n; ++i) static_cast<VTexture* const*>(row.data)[i]->load(s);
        break;
    case PT_PVPR:
        for (int i = 0; i < n; ++i) static_cast<VParam* const*>(row.data)[i]->load(s);
        break;
    case PT_PVEV:
        for (int i = 0; i < n; ++i) static_cast<VEnvelope* const*>(row.data)[i]->param().load(s);
        break;
    case PT_PUSR:
        if (row.load) row.load(s, row.data);
        break;
    default: break;
    }
}

}  // namespace

void savePluginParams(const HostSaveState& state, const PluginParam* table) {
    state.beginBlk(state.data, &kLibBlock);
    int32_t count = 0;
    for (const PluginParam* row = table; row->name; ++row) count += row->data != nullptr;
    state.writeI4(state.data, &count, 1);
    for (const PluginParam* row = table; row->name; ++row) {
        if (!row->data) continue;
        state.beginBlk(state.data, &kParamBlock);
        state.writeStr(state.data, row->name);
        state.writeU4(state.data, &row->type, 1);
        saveRow(state, *row);
        state.endBlk(state.data);
    }
    state.endBlk(state.data);
}

void loadPluginParams(const HostLoadState& state, const PluginParam* table) {
    if (!state.findBlk(state.data, kLibTable)) {
        state.endBlk(state.data);
        return;
    }
    int32_t count = 0;
    if (state.readI4(state.data, &count, 1) != 1) count = 0;
    // A stored count can be anything: the rows present end the loop.
    for (int32_t i = 0; i < count && state.findBlk(state.data, kParamTable); ++i) {
        char name[kMaxNameChars + 1];
        uint32_t type = 0;
        const bool named = state.readStr(state.data, name, sizeof name) >= 0;
        if (named && state.readU4(state.data, &type, 1) == 1) {
            const PluginParam* row = table;
            while (row->name && (row->type != type || std::strcmp(row->name, name) != 0)) ++row;
            if (row->name && row->data) loadRow(state, *row);
        }
        state.endBlk(state.data);
    }
    state.endBlk(state.data);
}

}  // namespace vx
