// Trees put together node by node with the node library, by kind and port
// names, and written as tree files.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/catalogue.h"
#include "core/node.h"

namespace vxs {

// Starts with a root. A kind, input or output the library does not have is
// remembered as the builder's error, which write() reports.
class TreeBuilder {
public:
    TreeBuilder();

    vx::Node* root() const { return root_; }
    // Null for an unknown kind. With a macro, the node goes into its inner
    // tree.
    vx::Node* add(std::string_view category, std::string_view name, vx::Node* macro = nullptr);

    void link(vx::Node* to, std::string_view input, const vx::Node* from, std::string_view output);
    void set(vx::Node* node, std::string_view input, const vx::NodeValue& value);
    void set(vx::Node* node, std::string_view input, double value) {
        set(node, input, vx::NodeValue::scalar(value));
    }
    void setInt(vx::Node* node, std::string_view input, int32_t value);
    void setText(vx::Node* node, std::string_view input, const std::string& text);

    // Moves the root to the end of the row, after its sources, so that
    // links run left to right on the canvas.
    void placeRootLast();

    const std::string& error() const { return error_; }
    // In the text form. False, with a one-line reason in `error`, after a
    // builder error or when the file cannot be written.
    bool write(const std::string& path, std::string& error) const;

private:
    vx::InputPort* port(vx::Node* node, std::string_view name);
    void fail(const std::string& what);

    std::unique_ptr<vx::NodeFactoryData> catalogue_;
    vx::NodeList list_;
    vx::Node* root_ = nullptr;
    std::string error_;
};

}  // namespace vxs
