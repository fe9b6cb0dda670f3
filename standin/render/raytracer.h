// Ray queries against the scene's meshes at one time, with Embree: the
// nearest hit along a ray, whether anything lies on a segment, and what the
// shading record needs to know of a hit.
#pragma once

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "core/value.h"
#include "host/services.h"
#include "standin/scene/scene.h"
#include "standin/scene/vec_convert.h"

namespace vxs {

using vx::NodeValue;

// An object item with the map that places its mesh in the world.
struct PlacedObject {
    PlacedObject(const Item* item, const Mat& toWorld);
    const Item* item;
    Mat toWorld;
    // Worked out once, as every hit on the object needs them.
    NormalMap normals;
    Mat toObject;
    bool invertible;
};

// The nearest hit of a ray: a triangle of a polygon's fan.
struct RayHit {
    double distance = 0;
    int object = -1;       // index into the tracer's objects
    int polygon = -1;      // index into the object's mesh polygons
    int corner[3] = {};    // the triangle's corners as vertex positions in the polygon
    double weight[3] = {};  // barycentric weights of those corners
};

// What a hit is, in the terms of the shading record.
struct HitPoint {
    NodeValue objectPosition, worldPosition;
    NodeValue faceNormal;    // unit, world, as the polygon's winding faces
    NodeValue smoothNormal;  // unit, world, on the same side as faceNormal
    // The hit moved onto the round surface that the smooth normals describe
    // (the mean of its projections onto the corners' tangent planes): off the
    // flat polygon where the surface bulges, towards either side.
    NodeValue roundPosition;
    HostID verts[4] = {};    // the triangle's points; the fourth is unused
    float weights[4] = {};
    float vertsWPos[4][3] = {};
};

class RayTracer {
public:
    // Throws std::runtime_error when Embree cannot start or build.
    explicit RayTracer(std::vector<PlacedObject> objects);
    ~RayTracer();
    RayTracer(const RayTracer&) = delete;
    RayTracer& operator=(const RayTracer&) = delete;

    // `dir` need not be unit; distances are measured in its lengths. Hits
    // closer than `near` or farther than `far` are not seen.
    std::optional<RayHit> intersect(const NodeValue& origin, const NodeValue& dir, double near = 0,
                                    double far = INFINITY) const;
    bool occluded(const NodeValue& origin, const NodeValue& dir, double near, double far) const;

    HitPoint describe(const RayHit& hit) const;
    // How far along `dir` (unit) from `from` the hit's triangle lies: the
    // distance a ray from `from` itself measures, when the ray that found
    // the hit left from a point nudged off a surface.
    double distanceFrom(const RayHit& hit, const NodeValue& from, const NodeValue& dir) const;

    const std::vector<PlacedObject>& objects() const { return objects_; }
    // A distance below which a ray leaving a surface counts as still on it,
    // scaled to the size of the scene.
    double epsilon() const { return epsilon_; }

private:
    struct Geometry;
    std::vector<PlacedObject> objects_;
    std::vector<Geometry> geometry_;
    double epsilon_ = 1e-5;
    struct Embree;
    std::unique_ptr<Embree> embree_;
};

}  // namespace vxs
