#include "standin/cli/record_scene.h"

#include <algorithm>
#include <cmath>

namespace vxs {

namespace {
double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 minus(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

// (0, 0, 0) for an id the mesh does not hold.
Vec3 basePosition(const Mesh& mesh, HostID point) {
    if (point < 1 || std::size_t(point) > mesh.points.size()) return {0, 0, 0};
    const auto& q = mesh.points[std::size_t(point) - 1];
    return {q[0], q[1], q[2]};
}

// Barycentric weights of p's projection onto the triangle's plane; false for
// a triangle without area.
bool barycentric(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& p, double w[3]) {
    const Vec3 e0 = minus(b, a), e1 = minus(c, a), d = minus(p, a);
    const double d00 = dot(e0, e0), d01 = dot(e0, e1), d11 = dot(e1, e1);
    const double denom = d00 * d11 - d01 * d01;
    if (!(denom > 0)) return false;
    const double d20 = dot(d, e0), d21 = dot(d, e1);
    w[1] = (d11 * d20 - d01 * d21) / denom;
    w[2] = (d00 * d21 - d01 * d20) / denom;
    w[0] = 1 - w[1] - w[2];
    return true;
}

// The polygon's vertices around the position, with their weights.
void surround(const Mesh& mesh, const std::vector<HostID>& polygon, const Vec3& p, HostID verts[4],
              float weights[4]) {
    const auto pos = [&](HostID point) { return basePosition(mesh, point); };
    double best = -INFINITY;
    for (std::size_t k = 1; k + 1 < polygon.size(); ++k) {
        double w[3];
        if (!barycentric(pos(polygon[0]), pos(polygon[k]), pos(polygon[k + 1]), p, w)) continue;
        const double worst = std::min({w[0], w[1], w[2]});
        if (worst <= best) continue;
        best = worst;
        const HostID corner[3] = {polygon[0], polygon[k], polygon[k + 1]};
        for (int i = 0; i < 3; ++i) {
            verts[i] = corner[i];
            weights[i] = float(w[i]);
        }
    }
    if (best > -INFINITY) return;
    // No triangle with area: share the weight among the first four points.
    const std::size_t n = std::min<std::size_t>(polygon.size(), 4);
    for (std::size_t i = 0; i < n; ++i) {
        verts[i] = polygon[i];
        weights[i] = 1.0f / float(n);
    }
}
}  // namespace

bool aimRecord(const Scene& scene, const RecordTarget& target, double time, HostShading& sa,
               const Surface*& surface, std::string& error) {
    surface = nullptr;
    const Item* item = findItem(scene, HOST_OBJECT, target.object);
    if (!item) {
        error = "\"object\": the scene has no object named \"" + target.object + "\"";
        return false;
    }
    const Mesh& mesh = item->object.mesh;
    if (target.polygon && std::size_t(target.polygon) > mesh.polygons.size()) {
        error = "\"polygon\": \"" + target.object + "\" has " + std::to_string(mesh.polygons.size()) + " polygons";
        return false;
    }
    const Mat world = worldTransform(scene, *item, time);
    const Vec3 wPos{sa.wPos[0], sa.wPos[1], sa.wPos[2]};
    Mat toObject;
    const Vec3 oPos = world.inverse(toObject) ? toObject.point(wPos) : Vec3{sa.oPos[0], sa.oPos[1], sa.oPos[2]};
    std::copy(oPos.begin(), oPos.end(), sa.oPos);
    sa.objID = item->id;
    sa.polygon = target.polygon;
    std::fill_n(sa.verts, 4, 0);
    std::fill_n(sa.weights, 4, 0.0f);
    for (auto& v : sa.vertsWPos) std::fill_n(v, 3, 0.0f);
    if (!target.polygon) return true;

    const std::size_t index = std::size_t(target.polygon) - 1;
    surround(mesh, mesh.polygons[index], oPos, sa.verts, sa.weights);
    for (int i = 0; i < 4 && sa.verts[i]; ++i) {
        const Vec3 w = world.point(basePosition(mesh, sa.verts[i]));
        for (int k = 0; k < 3; ++k) sa.vertsWPos[i][k] = float(w[k]);
    }
    if (index < mesh.polygonSurface.size()) {
        const int s = mesh.polygonSurface[index];
        if (s >= 0 && std::size_t(s) < scene.surfaces.size()) surface = &scene.surfaces[std::size_t(s)];
    }
    return true;
}

}  // namespace vxs
