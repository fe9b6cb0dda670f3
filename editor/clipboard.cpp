#include "editor/clipboard.h"

#include <algorithm>
#include <climits>

namespace vx {

NodeList& clipboard() {
    static NodeList nodes;
    return nodes;
}

void copyNodes(const NodeList& tree, const std::vector<Node*>& chosen, const NodeFactoryData& catalogue) {
    std::unique_ptr<NodeList> clone = cloneList(tree, catalogue);
    // The clone drops kinds the catalogue cannot make, so pair nodes by kind.
    std::vector<Node*> unchosen;
    size_t c = 0;
    for (const auto& n : tree.nodes) {
        if (c >= clone->nodes.size()) break;
        Node* twin = clone->nodes[c].get();
        if (twin->category != n->category || twin->name != n->name) continue;
        if (std::find(chosen.begin(), chosen.end(), n.get()) == chosen.end()) unchosen.push_back(twin);
        ++c;
    }
    for (Node* n : unchosen) removeNode(*clone, n);
    clipboard().nodes = std::move(clone->nodes);
}

std::vector<Node*> pasteNodes(NodeList& tree, const NodeFactoryData& catalogue, int left, int top) {
    std::unique_ptr<NodeList> clone = cloneList(clipboard(), catalogue);
    if (findRoot(tree))
        if (Node* root = findRoot(*clone)) removeNode(*clone, root);
    int minX = INT_MAX, minY = INT_MAX;
    for (const auto& n : clone->nodes) {
        minX = std::min(minX, n->x);
        minY = std::min(minY, n->y);
    }
    std::vector<Node*> pasted;
    for (auto& n : clone->nodes) {
        n->x += left - minX;
        n->y += top - minY;
        pasted.push_back(n.get());
        tree.nodes.push_back(std::move(n));
    }
    return pasted;
}

}  // namespace vx
