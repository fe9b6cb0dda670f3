// The clipboard shared by every editor window: nodes, not text, so links
// between copied nodes survive a paste.
#pragma once

#include <vector>

#include "core/catalogue.h"
#include "core/node.h"

namespace vx {

NodeList& clipboard();

// Replaces the clipboard with clones of the chosen nodes of `tree`, keeping
// the links among them.
void copyNodes(const NodeList& tree, const std::vector<Node*>& chosen, const NodeFactoryData& catalogue);

// Appends clones of the clipboard to `tree` (without the clipboard's root when
// the tree has one), moved so that their smallest x and y are (left, top);
// the nodes appended.
std::vector<Node*> pasteNodes(NodeList& tree, const NodeFactoryData& catalogue, int left, int top);

}  // namespace vx
