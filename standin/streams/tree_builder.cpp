#include "standin/streams/tree_builder.h"

#include "core/macro.h"
#include "standin/streams/tree_file.h"

namespace vxs {

TreeBuilder::TreeBuilder() : catalogue_(nodeCatalogue()) { root_ = add("Root", "root"); }

vx::Node* TreeBuilder::add(std::string_view category, std::string_view name, vx::Node* macro) {
    auto node = catalogue_->createByName(category, name);
    auto* inside = dynamic_cast<vx::NMacro*>(macro);
    if (!node || (macro && !inside)) {
        fail(node ? macro->name + " is not a macro" : "no node kind " + std::string(category) + "/" + std::string(name));
        return nullptr;
    }
    vx::NodeList& list = inside ? inside->inner : list_;
    // Laid out in a row on the canvas, in the order they come.
    node->x = int32_t(list.nodes.size()) * 160;
    list.nodes.push_back(std::move(node));
    return list.nodes.back().get();
}

void TreeBuilder::link(vx::Node* to, std::string_view input, const vx::Node* from, std::string_view output) {
    vx::InputPort* in = port(to, input);
    if (!in || !from) return;
    for (size_t i = 0; i < from->outputs.size(); ++i)
        if (from->outputs[i].name == output) {
            // Links are non-owning and never written through.
            in->source = const_cast<vx::Node*>(from);
            in->sourceOutput = int32_t(i);
            return;
        }
    fail(from->name + " has no output " + std::string(output));
}

void TreeBuilder::set(vx::Node* node, std::string_view input, const vx::NodeValue& value) {
    if (vx::InputPort* in = port(node, input)) in->param.value = value;
}

void TreeBuilder::setInt(vx::Node* node, std::string_view input, int32_t value) {
    if (vx::InputPort* in = port(node, input)) in->param.intValue = value;
}

void TreeBuilder::setText(vx::Node* node, std::string_view input, const std::string& text) {
    if (vx::InputPort* in = port(node, input)) in->param.text = text;
}

void TreeBuilder::placeRootLast() {
    for (const auto& node : list_.nodes) node->x -= 160;
    root_->x = int32_t(list_.nodes.size() - 1) * 160;
}

bool TreeBuilder::write(const std::string& path, std::string& error) const {
    if (!error_.empty()) {
        error = path + ": " + error_;
        return false;
    }
    return writeTreeFile(path, list_, HOST_IO_TEXT, error);
}

vx::InputPort* TreeBuilder::port(vx::Node* node, std::string_view name) {
    if (!node) return nullptr;
    for (vx::InputPort& in : node->inputs)
        if (in.name == name) return &in;
    fail(node->name + " has no input " + std::string(name));
    return nullptr;
}

void TreeBuilder::fail(const std::string& what) {
    if (error_.empty()) error_ = what;
}

}  // namespace vxs
