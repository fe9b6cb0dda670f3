// The small picture the editor shows in a node: the node's first output on a
// ball in front of a checkerboard, or for the root the whole material, lit.
#pragma once

#include <cstddef>

#include "core/node.h"

namespace vx {

constexpr int kPreviewSize = 64;
// Rows top to bottom, pixels left to right, red, green, blue bytes.
constexpr size_t kPreviewBytes = size_t{kPreviewSize} * kPreviewSize * 3;

// Renders the node's preview into node.preview, made on first use. `list` is
// the tree the node belongs to, prepared and told the interface's time around
// the render as a host render would. The ball's channels come from `surface`
// through the host's surface functions; a channel the host cannot give takes
// the value of a plain grey surface. Call outside a render only.
void renderPreview(void* surface, NodeList& list, Node& node);

}  // namespace vx
