// Trees in the host's block streams: the node-list block, image references
// and the instance frame.
#pragma once

#include "core/catalogue.h"
#include "core/node.h"
#include "host/services.h"

namespace vx {

constexpr int32_t kInstanceVersion = 272;
constexpr int32_t kListVersion = 256;
// Macros inside macros: a tree saves and loads with at most this many levels
// of them. Saving a deeper tree writes nothing; a file nested deeper is
// refused, having been read no deeper than the limit.
constexpr int kMaxMacroNesting = 256;
constexpr const char* kTooDeepMessage = "macros nest more than 256 levels deep";
constexpr const char* kIncompleteMessage = "the node list cannot be read completely";

bool saveList(const NodeList& list, const HostSaveState& state);
// Appends the stored nodes to `list`; false when the block is missing or
// malformed, in which case what was appended must be discarded by the caller.
bool loadList(NodeList& list, const HostLoadState& state, const NodeFactoryData& catalogue);

void saveImageRef(const HostSaveState& state, HostID image);
HostID loadImageRef(const HostLoadState& state);

// The instance frame: version 272, then a container with the row "nlist".
// False, having written nothing, when macros nest too deep.
bool saveInstanceTree(const NodeList& tree, const HostSaveState& state);
// Replaces the tree's nodes only when a whole list was read; true then.
bool loadInstanceTree(NodeList& tree, const NodeFactoryData& catalogue, const HostLoadState& state);

}  // namespace vx
