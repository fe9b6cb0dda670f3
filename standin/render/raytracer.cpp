#include "standin/render/raytracer.h"

#include <embree3/rtcore.h>

#include <algorithm>
#include <numbers>
#include <stdexcept>
#include <string>

namespace vxs {

namespace {
// Polygons meeting at a point at a sharper angle than this keep their own
// normals there, so that boxes stay flat while spheres shade round.
const double kSmoothingCos = std::cos(89.5 * std::numbers::pi / 180);

NodeValue point(const Mesh& mesh, HostID id) {
    const auto& p = mesh.points[size_t(id) - 1];
    return {p[0], p[1], p[2]};
}

bool validPolygon(const Mesh& mesh, const std::vector<HostID>& polygon) {
    if (polygon.size() < 3) return false;
    for (HostID id : polygon)
        if (id < 1 || size_t(id) > mesh.points.size()) return false;
    return true;
}

// Newell's normal: twice the polygon's area long, and sound for polygons
// that are not quite planar.
NodeValue polygonNormal(const Mesh& mesh, const std::vector<HostID>& polygon) {
    NodeValue n;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const NodeValue a = point(mesh, polygon[i]), b = point(mesh, polygon[(i + 1) % polygon.size()]);
        n = n + NodeValue{(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y)};
    }
    return n;
}

[[noreturn]] void embreeFailed(RTCDevice device, const char* what) {
    throw std::runtime_error(std::string("Embree: ") + what + " (error " +
                             std::to_string(int(rtcGetDeviceError(device))) + ")");
}
}  // namespace

struct RayTracer::Geometry {
    struct Triangle {
        uint32_t polygon;
        uint32_t corner[3];
    };
    std::vector<NodeValue> worldPoints;
    std::vector<NodeValue> polygonNormals;  // object space, unnormalised
    std::vector<uint32_t> cornerStart;      // per polygon, into cornerNormals
    std::vector<NodeValue> cornerNormals;   // object space, unit
    std::vector<Triangle> triangles;
};

struct RayTracer::Embree {
    RTCDevice device = nullptr;
    RTCScene scene = nullptr;
    ~Embree() {
        if (scene) rtcReleaseScene(scene);
        if (device) rtcReleaseDevice(device);
    }
};

PlacedObject::PlacedObject(const Item* item_, const Mat& toWorld_)
    : item(item_), toWorld(toWorld_), normals(toWorld_), invertible(toWorld_.inverse(toObject)) {}

RayTracer::RayTracer(std::vector<PlacedObject> objects) : objects_(std::move(objects)), embree_(new Embree) {
    // One build thread: the hierarchy, and so every tie between equally
    // near hits, comes out the same in every run.
    embree_->device = rtcNewDevice("threads=1");
    if (!embree_->device) embreeFailed(nullptr, "no device");
    embree_->scene = rtcNewScene(embree_->device);
    rtcSetSceneFlags(embree_->scene, RTC_SCENE_FLAG_ROBUST);

    double extent = 1;
    geometry_.resize(objects_.size());
    for (size_t o = 0; o < objects_.size(); ++o) {
        const PlacedObject& placed = objects_[o];
        const Mesh& mesh = placed.item->object.mesh;
        Geometry& g = geometry_[o];

        g.worldPoints.reserve(mesh.points.size());
        for (const auto& p : mesh.points) {
            const NodeValue w = toValue(placed.toWorld.point({p[0], p[1], p[2]}));
            g.worldPoints.push_back(w);
            extent = std::max({extent, std::abs(w.x), std::abs(w.y), std::abs(w.z)});
        }

        // Polygons around each point, as offsets into one array.
        std::vector<uint32_t> firstAt(mesh.points.size() + 1, 0), around;
        g.polygonNormals.resize(mesh.polygons.size());
        for (size_t p = 0; p < mesh.polygons.size(); ++p) {
            if (!validPolygon(mesh, mesh.polygons[p])) continue;
            g.polygonNormals[p] = polygonNormal(mesh, mesh.polygons[p]);
            for (HostID id : mesh.polygons[p]) ++firstAt[size_t(id)];
        }
        for (size_t i = 1; i < firstAt.size(); ++i) firstAt[i] += firstAt[i - 1];
        around.resize(firstAt.back());
        std::vector<uint32_t> fill(firstAt);
        for (size_t p = 0; p < mesh.polygons.size(); ++p) {
            if (!validPolygon(mesh, mesh.polygons[p])) continue;
            for (HostID id : mesh.polygons[p]) around[fill[size_t(id) - 1]++] = uint32_t(p);
        }

        g.cornerStart.resize(mesh.polygons.size());
        for (size_t p = 0; p < mesh.polygons.size(); ++p) {
            const auto& polygon = mesh.polygons[p];
            g.cornerStart[p] = uint32_t(g.cornerNormals.size());
            if (!validPolygon(mesh, polygon)) continue;
            const NodeValue own = normalized(g.polygonNormals[p]);
            for (HostID id : polygon) {
                NodeValue sum;
                for (uint32_t k = firstAt[size_t(id) - 1]; k < firstAt[size_t(id)]; ++k)
                    if (dot(normalized(g.polygonNormals[around[k]]), own) > kSmoothingCos)
                        sum = sum + g.polygonNormals[around[k]];
                const NodeValue n = normalized(sum);
                g.cornerNormals.push_back(n == NodeValue{} ? own : n);
            }
            for (uint32_t i = 1; i + 1 < polygon.size(); ++i) g.triangles.push_back({uint32_t(p), {0, i, i + 1}});
        }
        if (g.triangles.empty()) continue;

        RTCGeometry geom = rtcNewGeometry(embree_->device, RTC_GEOMETRY_TYPE_TRIANGLE);
        auto* vertices = static_cast<float*>(rtcSetNewGeometryBuffer(geom, RTC_BUFFER_TYPE_VERTEX, 0,
                                                                     RTC_FORMAT_FLOAT3, 3 * sizeof(float),
                                                                     g.worldPoints.size()));
        auto* indices = static_cast<uint32_t*>(rtcSetNewGeometryBuffer(
            geom, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 3 * sizeof(uint32_t), g.triangles.size()));
        if (!vertices || !indices) embreeFailed(embree_->device, "no memory for a mesh");
        for (size_t i = 0; i < g.worldPoints.size(); ++i) {
            vertices[3 * i] = float(g.worldPoints[i].x);
            vertices[3 * i + 1] = float(g.worldPoints[i].y);
            vertices[3 * i + 2] = float(g.worldPoints[i].z);
        }
        for (size_t t = 0; t < g.triangles.size(); ++t) {
            const auto& polygon = mesh.polygons[g.triangles[t].polygon];
            for (int c = 0; c < 3; ++c) indices[3 * t + c] = uint32_t(polygon[g.triangles[t].corner[c]] - 1);
        }
        rtcCommitGeometry(geom);
        rtcAttachGeometryByID(embree_->scene, geom, unsigned(o));
        rtcReleaseGeometry(geom);
    }
    rtcCommitScene(embree_->scene);
    if (rtcGetDeviceError(embree_->device) != RTC_ERROR_NONE) embreeFailed(embree_->device, "scene build failed");
    // Single-precision hits land this far off the surface, relative to the
    // scene's size.
    epsilon_ = 1e-5 * extent;
}

RayTracer::~RayTracer() = default;

namespace {
bool finite(const NodeValue& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

RTCRay makeRay(const NodeValue& origin, const NodeValue& dir, double near, double far) {
    RTCRay ray{};
    ray.org_x = float(origin.x);
    ray.org_y = float(origin.y);
    ray.org_z = float(origin.z);
    ray.dir_x = float(dir.x);
    ray.dir_y = float(dir.y);
    ray.dir_z = float(dir.z);
    ray.tnear = float(near);
    ray.tfar = float(far);
    ray.mask = ~0u;
    return ray;
}

bool usable(const NodeValue& origin, const NodeValue& dir, double near, double far) {
    return finite(origin) && finite(dir) && dir != NodeValue{} && near >= 0 && !(far < near);
}
}  // namespace

std::optional<RayHit> RayTracer::intersect(const NodeValue& origin, const NodeValue& dir, double near,
                                           double far) const {
    if (!usable(origin, dir, near, far)) return std::nullopt;
    RTCRayHit rh{};
    rh.ray = makeRay(origin, dir, near, far);
    rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    rh.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    rtcIntersect1(embree_->scene, &context, &rh);
    if (rh.hit.geomID == RTC_INVALID_GEOMETRY_ID) return std::nullopt;
    const Geometry::Triangle& t = geometry_[rh.hit.geomID].triangles[rh.hit.primID];
    RayHit hit;
    hit.distance = rh.ray.tfar;
    hit.object = int(rh.hit.geomID);
    hit.polygon = int(t.polygon);
    for (int c = 0; c < 3; ++c) hit.corner[c] = int(t.corner[c]);
    hit.weight[0] = 1.0 - double(rh.hit.u) - double(rh.hit.v);
    hit.weight[1] = rh.hit.u;
    hit.weight[2] = rh.hit.v;
    return hit;
}

bool RayTracer::occluded(const NodeValue& origin, const NodeValue& dir, double near, double far) const {
    if (!usable(origin, dir, near, far)) return false;
    RTCRay ray = makeRay(origin, dir, near, far);
    RTCIntersectContext context;
    rtcInitIntersectContext(&context);
    rtcOccluded1(embree_->scene, &context, &ray);
    return ray.tfar < 0;  // Embree marks a blocked ray with tfar = -inf
}

double RayTracer::distanceFrom(const RayHit& hit, const NodeValue& from, const NodeValue& dir) const {
    const Geometry& g = geometry_[size_t(hit.object)];
    const auto& polygon = objects_[size_t(hit.object)].item->object.mesh.polygons[size_t(hit.polygon)];
    NodeValue corner[3], at;
    for (int c = 0; c < 3; ++c) {
        corner[c] = g.worldPoints[size_t(polygon[size_t(hit.corner[c])]) - 1];
        at = at + corner[c] * hit.weight[c];
    }
    // Where the ray meets the triangle's plane, so that a point put that far
    // along the ray lies on the surface; a ray along the plane takes the hit.
    const NodeValue n = normalized(cross(corner[1] - corner[0], corner[2] - corner[0]));
    const double facing = dot(dir, n);
    const double d = std::fabs(facing) > 1e-6 ? dot(corner[0] - from, n) / facing : dot(at - from, dir);
    return std::max(0.0, d);
}

HitPoint RayTracer::describe(const RayHit& hit) const {
    const PlacedObject& placed = objects_[size_t(hit.object)];
    const Geometry& g = geometry_[size_t(hit.object)];
    const Mesh& mesh = placed.item->object.mesh;
    const auto& polygon = mesh.polygons[size_t(hit.polygon)];

    HitPoint out;
    NodeValue object[3], world[3], smooth, cornerNormal[3];
    for (int c = 0; c < 3; ++c) {
        const HostID id = polygon[size_t(hit.corner[c])];
        const double w = hit.weight[c];
        object[c] = point(mesh, id);
        world[c] = g.worldPoints[size_t(id) - 1];
        out.objectPosition = out.objectPosition + object[c] * w;
        out.worldPosition = out.worldPosition + world[c] * w;
        const NodeValue& n = g.cornerNormals[g.cornerStart[size_t(hit.polygon)] + size_t(hit.corner[c])];
        smooth = smooth + n * w;
        cornerNormal[c] = toValue(placed.normals(toVec3(n)));
        out.verts[c] = id;
        out.weights[c] = float(w);
        out.vertsWPos[c][0] = float(world[c].x);
        out.vertsWPos[c][1] = float(world[c].y);
        out.vertsWPos[c][2] = float(world[c].z);
    }
    NodeValue face = cross(object[1] - object[0], object[2] - object[0]);
    if (face == NodeValue{}) face = g.polygonNormals[size_t(hit.polygon)];
    for (int c = 0; c < 3; ++c) {
        const NodeValue& n = cornerNormal[c];
        out.roundPosition =
            out.roundPosition + (out.worldPosition - n * dot(out.worldPosition - world[c], n)) * hit.weight[c];
    }
    out.faceNormal = toValue(placed.normals(toVec3(face)));
    out.smoothNormal = toValue(placed.normals(toVec3(smooth)));
    if (out.smoothNormal == NodeValue{}) out.smoothNormal = out.faceNormal;
    return out;
}

}  // namespace vxs
