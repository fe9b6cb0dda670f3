#include "nodes/sample.h"

namespace vx {

const HostShading& sampleOf(const NodeEnv& env) {
    static const HostShading none{};
    return env.record ? *env.record : none;
}

NodeValue linkedOr(const Node& node, int i, NodeEnv& env, const NodeValue& fallback) {
    return node.inputs[i].source ? node.readValue(i, env) : fallback;
}

NodeValue normalInput(const Node& node, int i, NodeEnv& env) { return normalized(linkedOr(node, i, env, env.normal)); }

}  // namespace vx
