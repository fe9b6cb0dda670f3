// Node geometry on the canvas: measuring, the parts a press can hit, port
// points, link paths and where new nodes go. Canvas coordinates throughout.
#pragma once

#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "core/node.h"

namespace vx {

inline constexpr int kCollapsedHeight = 16;
inline constexpr int kRowHeight = 16;
inline constexpr int kFirstRow = 92;  // top of port row 0, from the node's top
inline constexpr int kPlaceOffset = 64;
inline constexpr int kPlaceStep = 32;

using TextWidth = std::function<int(const char*)>;

inline int displayedHeight(const Node& n) { return n.expanded ? n.height : kCollapsedHeight; }

// Sets width, height and the layout word (the input-label column's width).
void measureNode(Node& node, const TextWidth& textWidth);

enum class NodePart { Expand, Preview, Input, Output, Body };
struct NodeHit {
    NodePart part = NodePart::Body;
    int port = -1;  // index into inputs or outputs
};
// The part under canvas point (cx, cy), assumed inside the node.
NodeHit hitPart(const Node& node, int cx, int cy);

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};
// The row of an input among the connectable ones, -1 when not connectable.
int inputRow(const Node& node, int input);
Point inputPoint(const Node& node, int input);
Point outputPoint(const Node& node, int output);

// The corners of a link from an output port point to an input port point:
// straight (line mode 0) or orthogonal, bent at a column that spreads the
// source's outputs apart.
std::vector<Point> linkPath(Point from, Point to, int lineMode, int output, int outputCount);

// Where a new node goes: 32 right of and below the current node when it lies
// wholly in the visible area shrunk by 32 on the right and bottom, else 64
// into the view.
Point placeNewNode(const Node* current, int scrollX, int scrollY, int canvasWidth, int canvasHeight);

// Would linking input `input` of `to` to output `output` of `from` close a
// cycle? The link is tried and taken back.
bool linkMakesCycle(const NodeList& tree, Node& to, int input, Node* from, int output);

// The outputs some connectable input of the tree is linked to.
using LinkedOutputs = std::set<std::pair<const Node*, int>>;
LinkedOutputs linkedOutputs(const NodeList& tree);

}  // namespace vx
