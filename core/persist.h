// Trees in the host's block streams: the node-list block, image references
// and the instance frame.
#pragma once

#include "core/catalogue.h"
#include "core/node.h"
#include "host/services.h"

namespace vx {

constexpr int32_t kInstanceVersion = 272;
constexpr int32_t kListVersion = 256;

bool saveList(const NodeList& list, const HostSaveState& state);
// Appends the stored nodes to `list`; false when the block is missing or
// malformed, in which case what was appended must be discarded by the caller.
bool loadList(NodeList& list, const HostLoadState& state, const NodeFactoryData& catalogue);

void saveImageRef(const HostSaveState& state, HostID image);
HostID loadImageRef(const HostLoadState& state);

// The instance frame: version 272, then a container with the row "nlist".
void saveInstanceTree(const NodeList& tree, const HostSaveState& state);
// Replaces the tree's nodes only when a whole list was read; true then.
bool loadInstanceTree(NodeList& tree, const NodeFactoryData& catalogue, const HostLoadState& state);

}  // namespace vx
