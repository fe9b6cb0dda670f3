// Shading records aimed at a sample of a scene, for `valtorimex eval --scene`.
#pragma once

#include <string>

#include "host/services.h"
#include "standin/cli/record_json.h"
#include "standin/scene/scene.h"

namespace vxs {

// Points `record` at the target's object and polygon at `time`: their ids,
// the object-space position of the record's world position and, on a
// polygon, the triangle of the polygon's fan from its first point that best
// holds that position (the one whose smallest barycentric weight is largest;
// a position off the polygon gives weights outside 0..1): its three points
// as the surrounding vertices with their weights and world positions, and a
// fourth of weight 0. `surface` becomes the polygon's surface, the host
// context of its shader, or null. False, with a one-line reason in `error`,
// when the target names no object or polygon of the scene.
bool aimRecord(const Scene& scene, const RecordTarget& target, double time, HostShading& record,
               const Surface*& surface, std::string& error);

}  // namespace vxs
