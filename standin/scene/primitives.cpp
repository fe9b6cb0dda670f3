#include "standin/scene/primitives.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vxs {

namespace {
// A mesh under construction with its "uv" map.
class Builder {
public:
    Builder() {
        VertexMap& uv = mesh_.maps.emplace_back();
        uv.type = HOST_VMAP_TXUV;
        uv.name = kPrimitiveUVMap;
        uv.dimension = 2;
    }

    HostID point(double x, double y, double z) {
        mesh_.points.push_back({float(x), float(y), float(z)});
        return HostID(mesh_.points.size());
    }

    struct Corner {
        HostID point;
        double u, v;
    };
    void polygon(std::initializer_list<Corner> corners) {
        std::vector<HostID> points;
        const HostID id = HostID(mesh_.polygons.size() + 1);
        for (const Corner& c : corners) {
            points.push_back(c.point);
            setCornerValue(mesh_.maps.front(), c.point, id, {float(c.u), float(c.v)});
        }
        mesh_.polygons.push_back(std::move(points));
    }

    Mesh take() { return std::move(mesh_); }

private:
    Mesh mesh_;
};
}  // namespace

void setCornerValue(VertexMap& map, HostID point, HostID polygon, std::vector<float> value) {
    const auto own = map.points.find(point);
    if (own == map.points.end())
        map.points.emplace(point, std::move(value));
    else if (own->second != value)
        map.polygons[{point, polygon}] = std::move(value);
}

Mesh sphereMesh(double radius, int segments) {
    const int around = std::clamp(segments, kMinSphereSegments, kMaxSphereSegments);
    const int rings = std::max(2, around / 2);
    Builder b;
    const HostID bottom = b.point(0, -radius, 0);
    std::vector<HostID> grid;  // rings - 1 latitudes of `around` points, from the bottom
    for (int i = 1; i < rings; ++i) {
        const double lat = std::numbers::pi * (double(i) / rings - 0.5);
        for (int j = 0; j < around; ++j) {
            const double lon = 2 * std::numbers::pi * j / around;
            grid.push_back(b.point(radius * std::cos(lat) * std::sin(lon), radius * std::sin(lat),
                                   radius * std::cos(lat) * std::cos(lon)));
        }
    }
    const HostID top = b.point(0, radius, 0);
    const auto at = [&](int ring, int j) { return grid[std::size_t((ring - 1) * around + j % around)]; };
    const auto u = [&](double j) { return j / around; };
    const auto v = [&](int ring) { return double(ring) / rings; };
    for (int j = 0; j < around; ++j)
        b.polygon({{bottom, u(j + 0.5), 0}, {at(1, j + 1), u(j + 1), v(1)}, {at(1, j), u(j), v(1)}});
    for (int i = 1; i + 1 < rings; ++i)
        for (int j = 0; j < around; ++j)
            b.polygon({{at(i, j), u(j), v(i)},
                       {at(i, j + 1), u(j + 1), v(i)},
                       {at(i + 1, j + 1), u(j + 1), v(i + 1)},
                       {at(i + 1, j), u(j), v(i + 1)}});
    for (int j = 0; j < around; ++j)
        b.polygon({{top, u(j + 0.5), 1}, {at(rings - 1, j), u(j), v(rings - 1)},
                   {at(rings - 1, j + 1), u(j + 1), v(rings - 1)}});
    return b.take();
}

Mesh planeMesh(double sizeX, double sizeZ) {
    Builder b;
    const double x = sizeX / 2, z = sizeZ / 2;
    const HostID p[4] = {b.point(-x, 0, -z), b.point(-x, 0, z), b.point(x, 0, z), b.point(x, 0, -z)};
    b.polygon({{p[0], 0, 0}, {p[1], 0, 1}, {p[2], 1, 1}, {p[3], 1, 0}});
    return b.take();
}

Mesh boxMesh(const Vec3& size) {
    Builder b;
    HostID corner[8];  // bit 0: +x, bit 1: +y, bit 2: +z
    for (int k = 0; k < 8; ++k)
        corner[k] = b.point((k & 1 ? 0.5 : -0.5) * size[0], (k & 2 ? 0.5 : -0.5) * size[1],
                            (k & 4 ? 0.5 : -0.5) * size[2]);
    for (int axis = 0; axis < 3; ++axis) {
        // (bAxis, cAxis, axis) is cyclic, so bAxis x cAxis = axis.
        const int bAxis = (axis + 1) % 3, cAxis = (axis + 2) % 3;
        for (int side : {0, 1}) {
            const auto at = [&](int sb, int sc) {
                return corner[(side << axis) | (sb << bAxis) | (sc << cAxis)];
            };
            if (side)
                b.polygon({{at(0, 0), 0, 0}, {at(1, 0), 1, 0}, {at(1, 1), 1, 1}, {at(0, 1), 0, 1}});
            else
                b.polygon({{at(0, 0), 0, 0}, {at(0, 1), 0, 1}, {at(1, 1), 1, 1}, {at(1, 0), 1, 0}});
        }
    }
    return b.take();
}

}  // namespace vxs
