#include "editor/canvas.h"

#include <algorithm>

namespace vx {

void measureNode(Node& node, const TextWidth& textWidth) {
    const int title = std::max(80, textWidth(node.name.c_str()) + 28);
    int inLabel = 0, nIn = 0, outLabel = 0;
    for (const InputPort& in : node.inputs)
        if (in.connectable) {
            inLabel = std::max(inLabel, textWidth(in.name.c_str()));
            ++nIn;
        }
    for (const OutputPort& out : node.outputs) outLabel = std::max(outLabel, textWidth(out.name.c_str()));
    node.width = inLabel + 32 + outLabel;
    node.layout = inLabel;
    if (node.width < title) {
        node.width = title;
        node.layout = title - outLabel - 32;
    }
    const int rows = node.isRoot ? nIn : std::max(nIn, static_cast<int>(node.outputs.size()));
    node.height = (rows + 6) * kRowHeight;
}

int inputRow(const Node& node, int input) {
    if (input < 0 || input >= static_cast<int>(node.inputs.size()) || !node.inputs[input].connectable) return -1;
    int row = 0;
    for (int i = 0; i < input; ++i) row += node.inputs[i].connectable;
    return row;
}

namespace {
int portY(const Node& node, int row) { return node.expanded ? node.y + kFirstRow + 8 + kRowHeight * row : node.y + 8; }
bool inRow(int ry, int row) { return ry >= kFirstRow + kRowHeight * row && ry <= kFirstRow + kRowHeight * (row + 1); }
}  // namespace

Point inputPoint(const Node& node, int input) { return {node.x - 2, portY(node, inputRow(node, input))}; }
Point outputPoint(const Node& node, int output) { return {node.x + node.width + 2, portY(node, output)}; }

NodeHit hitPart(const Node& node, int cx, int cy) {
    const int rx = cx - node.x, ry = cy - node.y;
    if (rx >= node.width - 16 && rx <= node.width - 4 && ry > 1 && ry < 15) return {NodePart::Expand};
    if (rx > 4 && rx < 70 && ry > 21 && ry < 87) return {NodePart::Preview};
    int row = 0;
    for (int i = 0; i < static_cast<int>(node.inputs.size()); ++i) {
        if (!node.inputs[i].connectable) continue;
        if (rx >= 0 && rx <= node.layout + 18 && inRow(ry, row)) return {NodePart::Input, i};
        ++row;
    }
    if (!node.isRoot)
        for (int j = 0; j < static_cast<int>(node.outputs.size()); ++j)
            if (rx >= node.layout + 18 && rx <= node.width && inRow(ry, j)) return {NodePart::Output, j};
    return {NodePart::Body};
}

std::vector<Point> linkPath(Point from, Point to, int lineMode, int output, int outputCount) {
    const Point out{from.x + 8, from.y}, in{to.x - 16, to.y};
    if (lineMode == 0 || outputCount <= 0) return {from, out, in, to};
    const int k = to.y < from.y ? output + 1 : outputCount - output - 1;
    const int xm = from.x + 8 + (to.x - from.x - 24) * k / outputCount;
    return {from, out, {xm, from.y}, {xm, to.y}, in, to};
}

Point placeNewNode(const Node* current, int scrollX, int scrollY, int canvasWidth, int canvasHeight) {
    if (current && current->x >= scrollX && current->x + current->width < scrollX + canvasWidth - kPlaceStep &&
        current->y >= scrollY && current->y + displayedHeight(*current) < scrollY + canvasHeight - kPlaceStep)
        return {current->x + kPlaceStep, current->y + kPlaceStep};
    return {scrollX + kPlaceOffset, scrollY + kPlaceOffset};
}

bool linkMakesCycle(const NodeList& tree, Node& to, int input, Node* from, int output) {
    InputPort& port = to.inputs[input];
    const InputPort before = port;
    port.source = from;
    port.sourceOutput = output;
    const bool cycle = hasCycle(tree);
    port.source = before.source;
    port.sourceOutput = before.sourceOutput;
    return cycle;
}

LinkedOutputs linkedOutputs(const NodeList& tree) {
    LinkedOutputs linked;
    for (const auto& n : tree.nodes)
        for (const InputPort& in : n->inputs)
            if (in.source && in.connectable) linked.emplace(in.source, in.sourceOutput);
    return linked;
}

}  // namespace vx
