#include "standin/render/raytracer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render_scene.h"
#include "tests/near.h"

namespace {

using vx::NodeValue;
using vxs::Mesh;
using vxs::RayTracer;
using vxs::testing::SceneBuilder;


std::vector<vxs::PlacedObject> placed(const vxs::Scene& scene) {
    std::vector<vxs::PlacedObject> out;
    for (const vxs::Item& item : scene.items)
        if (item.type == HOST_OBJECT) out.emplace_back(&item, vxs::worldTransform(scene, item, 0));
    return out;
}

const NodeValue kForward{0, 0, 1};

// A pentagon in the plane z = 0 whose fan from its first point makes three
// triangles.
Mesh pentagon() {
    Mesh m;
    m.points = {{0, -1, 0}, {1, -0.3f, 0}, {0.6f, 1, 0}, {-0.6f, 1, 0}, {-1, -0.3f, 0}};
    m.polygons = {{1, 2, 3, 4, 5}};
    return m;
}

TEST(RayTracer, FanTrianglesNameTheirCornersAndWeights) {
    SceneBuilder b;
    b.object(pentagon(), {0, 0, 0}, 0);
    const RayTracer tracer(placed(b.scene));
    const Mesh& mesh = b.scene.items[0].object.mesh;
    struct Row {
        int corner[3];  // the fan triangle the ray aims at, by vertex in the polygon
    };
    // Uneven weights, so that corners mixed up cannot pass.
    const double weights[3] = {0.6, 0.3, 0.1};
    for (const Row& row : {Row{{0, 1, 2}}, Row{{0, 2, 3}}, Row{{0, 3, 4}}}) {
        NodeValue centre;
        for (int c = 0; c < 3; ++c) {
            const auto& p = mesh.points[size_t(mesh.polygons[0][size_t(row.corner[c])] - 1)];
            centre = centre + NodeValue{p[0], p[1], p[2]} * weights[c];
        }
        const auto hit = tracer.intersect(centre - kForward * 2, kForward);
        ASSERT_TRUE(hit) << row.corner[1];
        EXPECT_EQ(hit->polygon, 0);
        EXPECT_NEAR(hit->distance, 2, 1e-6);
        const vxs::HitPoint h = tracer.describe(*hit);
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(hit->corner[c], row.corner[c]);
            EXPECT_EQ(h.verts[c], mesh.polygons[0][size_t(row.corner[c])]);
            EXPECT_NEAR(h.weights[c], weights[c], 1e-5);
        }
        EXPECT_EQ(h.verts[3], 0);
        EXPECT_EQ(h.weights[3], 0);
        EXPECT_TRUE(vxt::near(h.worldPosition, centre, 1e-5));
        EXPECT_TRUE(vxt::near(h.objectPosition, centre, 1e-5));
        // (p2 - p1) x (pN - p1) of this winding points to +z, away from
        // the ray: the tracer reports the polygon's side, not the ray's.
        EXPECT_TRUE(vxt::near(h.faceNormal, {0, 0, 1}, 1e-5));
    }
}

TEST(RayTracer, SkipsPolygonsThatCannotBeDrawn) {
    SceneBuilder b;
    Mesh m;
    m.points = {{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}};
    m.polygons = {{1, 2}, {1, 2, 9}, {1, 0, 3}, {1, 2, 3}};
    b.object(std::move(m), {0, 0, 0}, 0);
    const RayTracer tracer(placed(b.scene));
    const auto hit = tracer.intersect({0, 0, -1}, kForward);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->polygon, 3);
}

TEST(RayTracer, SmoothsRoundSurfacesButKeepsEdgesSharp) {
    SceneBuilder b;
    b.object(vxs::boxMesh({2, 2, 2}), {0, 0, 0}, 0);
    b.object(vxs::sphereMesh(1, 16), {5, 0, 0}, 0);
    const RayTracer tracer(placed(b.scene));

    // Near a corner of the box, where three faces share every point.
    const auto boxHit = tracer.intersect({0.95, 0.95, -3}, kForward);
    ASSERT_TRUE(boxHit);
    const vxs::HitPoint box = tracer.describe(*boxHit);
    EXPECT_TRUE(vxt::near(box.faceNormal, {0, 0, -1}, 1e-5));
    EXPECT_TRUE(vxt::near(box.smoothNormal, {0, 0, -1}, 1e-5));

    // Between the sphere's points the shading normal follows the surface
    // round, while the polygon's own normal is flat.
    const NodeValue origin{5.3, 0.4, -3};
    const auto sphereHit = tracer.intersect(origin, kForward);
    ASSERT_TRUE(sphereHit);
    const vxs::HitPoint sphere = tracer.describe(*sphereHit);
    const NodeValue radial = normalized(sphere.worldPosition - NodeValue{5, 0, 0});
    EXPECT_GT(dot(sphere.smoothNormal, radial), 0.999);
    EXPECT_LT(dot(sphere.faceNormal, radial), dot(sphere.smoothNormal, radial));

    // The flat polygon lies inside the ball; the round position comes
    // back out towards the ball's surface, and a flat face stays put.
    const double flat = length(sphere.worldPosition - NodeValue{5, 0, 0});
    const double round = length(sphere.roundPosition - NodeValue{5, 0, 0});
    EXPECT_LT(flat, 0.99);
    EXPECT_GT(round, flat);
    EXPECT_LT(std::abs(round - 1), std::abs(flat - 1));
    EXPECT_TRUE(vxt::near(box.roundPosition, box.worldPosition, 1e-9));
}

TEST(RayTracer, AnswersOnlyUsableRays) {
    SceneBuilder b;
    b.object(pentagon(), {0, 0, 5}, 0);
    const RayTracer tracer(placed(b.scene));
    const double nan = std::nan("");
    struct Row { const char* what; NodeValue origin, dir; double near, far; bool hits; };
    const Row rows[] = {
        {"plain", {0, 0, 0}, kForward, 0, INFINITY, true},
        {"unnormalised direction", {0, 0, 0}, kForward * 4, 0, INFINITY, true},
        {"ends before the polygon", {0, 0, 0}, kForward, 0, 4.9, false},
        {"starts past the polygon", {0, 0, 0}, kForward, 5.1, INFINITY, false},
        {"points away", {0, 0, 0}, -kForward, 0, INFINITY, false},
        {"no direction", {0, 0, 0}, {}, 0, INFINITY, false},
        {"not a number", {nan, 0, 0}, kForward, 0, INFINITY, false},
        {"far before near", {0, 0, 0}, kForward, 3, 2, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(tracer.intersect(row.origin, row.dir, row.near, row.far).has_value(), row.hits) << row.what;
        EXPECT_EQ(tracer.occluded(row.origin, row.dir, row.near, row.far), row.hits) << row.what;
    }
    EXPECT_NEAR(tracer.intersect({0, 0, 0}, kForward * 4)->distance, 1.25, 1e-6);
}

}  // namespace
