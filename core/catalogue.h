// The per-instance catalogue of node kinds, grouped by category in the order
// of registration. Nodes are made by (category, name), never by class.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/node.h"

namespace vx {

class NodeFactoryData {
public:
    NodeFactoryData() = default;
    explicit NodeFactoryData(std::string category) : category_(std::move(category)) {}
    explicit NodeFactoryData(std::unique_ptr<Node> prototype) : prototype_(std::move(prototype)) {}

    // False, with nothing changed, when the category already has the name.
    bool registerKind(std::unique_ptr<Node> prototype);
    std::unique_ptr<Node> createByName(std::string_view category, std::string_view name) const;
    // A new node of this entry's kind.
    std::unique_ptr<Node> create() const;

    const std::string& category() const { return category_; }
    const Node* prototype() const { return prototype_.get(); }
    const std::vector<std::unique_ptr<NodeFactoryData>>& children() const { return children_; }

    bool expanded = false;  // shown opened in the editor's Components tree

private:
    std::string category_;
    std::unique_ptr<Node> prototype_;
    std::vector<std::unique_ptr<NodeFactoryData>> children_;
};

// What prototypes that hold host resources or build inner trees are given.
struct KindContext {
    void* hostContext = nullptr;
    const char* serverName = "QK_Valtorimex";
    const NodeFactoryData* catalogue = nullptr;
};

// Builds the full catalogue in its fixed order (defined with the node kinds).
std::unique_ptr<NodeFactoryData> buildCatalogue(void* hostContext, const char* serverName);

}  // namespace vx
