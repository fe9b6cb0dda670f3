#include "standin/scene/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using vxs::Vec3;

constexpr double kDeg = std::numbers::pi / 180;

void expectNear(const Vec3& got, const Vec3& want, const char* what) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << what << " [" << i << "]";
}


TEST(Animated, InterpolatesBetweenKeysAndHoldsOutside) {
    vxs::Animated a;
    a.value = {7, 7, 7};
    EXPECT_EQ(a.at(3), (Vec3{7, 7, 7}));  // no keys: the value
    a.keys = {{1, {0, 0, 0}}, {2, {10, 20, -10}}, {4, {10, 0, 0}}};
    struct Row { double time; Vec3 want; };
    const Row rows[] = {
        {-5, {0, 0, 0}},     {1, {0, 0, 0}},   {1.5, {5, 10, -5}}, {2, {10, 20, -10}},
        {3, {10, 10, -5}},   {4, {10, 0, 0}},  {100, {10, 0, 0}},
    };
    for (const Row& r : rows) expectNear(a.at(r.time), r.want, std::to_string(r.time).c_str());
    a.keys.resize(1);
    expectNear(a.at(-1), {0, 0, 0}, "one key, before");
    expectNear(a.at(9), {0, 0, 0}, "one key, after");
}

TEST(Rotation, HeadingPitchBankTurnTheDocumentedWaysInThatOrder) {
    struct Row {
        Vec3 hpb;  // degrees
        Vec3 in, want;
    };
    const Row rows[] = {
        {{90, 0, 0}, {0, 0, 1}, {1, 0, 0}},    // heading turns +z towards +x
        {{0, 90, 0}, {0, 0, 1}, {0, -1, 0}},   // pitch turns +z towards -y
        {{0, 0, 90}, {1, 0, 0}, {0, 1, 0}},    // bank turns +x towards +y
        {{90, 90, 0}, {0, 0, 1}, {0, -1, 0}},  // pitch first, then heading
        {{90, 90, 0}, {1, 0, 0}, {0, 0, -1}},
        {{90, 0, 90}, {1, 0, 0}, {0, 1, 0}},   // bank first
        {{0, 90, 90}, {1, 0, 0}, {0, 0, 1}},
    };
    for (const Row& r : rows) {
        const vxs::Mat m = vxs::rotationHPB({r.hpb[0] * kDeg, r.hpb[1] * kDeg, r.hpb[2] * kDeg});
        expectNear(m.vector(r.in), r.want, "rotation");
    }
}

// Three items: a root, its child and the child's child, placed as a table
// row says; each row checks where a point of the last item lands.
TEST(ItemFrames, WorldTransformFollowsParentsPivotAndScale) {
    struct Row { const char* what; vxs::Placement root, child; Vec3 local, world; };
    const auto at = [](Vec3 pos, Vec3 hpbDeg = {}, Vec3 scale = {1, 1, 1}, Vec3 pivot = {}, Vec3 pivotRot = {}) {
        vxs::Placement p;
        p.position.value = pos;
        p.rotation.value = {hpbDeg[0] * kDeg, hpbDeg[1] * kDeg, hpbDeg[2] * kDeg};
        p.scale.value = scale;
        p.pivot = pivot;
        p.pivotRotation = {pivotRot[0] * kDeg, pivotRot[1] * kDeg, pivotRot[2] * kDeg};
        return p;
    };
    const Row rows[] = {
        {"translation only", at({1, 2, 3}), at({0, 0, 0}), {1, 0, 0}, {2, 2, 3}},
        {"child moves in the turned parent", at({10, 0, 0}, {90, 0, 0}), at({0, 0, 1}), {0, 0, 0}, {11, 0, 0}},
        {"scale before rotation", at({0, 0, 0}), at({0, 0, 0}, {90, 0, 0}, {2, 1, 1}), {1, 0, 0}, {0, 0, -2}},
        {"parent scale stretches the child's offset", at({0, 0, 0}, {}, {3, 3, 3}), at({1, 0, 0}), {0, 0, 1},
         {3, 0, 3}},
        {"pivot lands on the position", at({0, 0, 0}), at({5, 0, 0}, {90, 0, 0}, {1, 1, 1}, {1, 0, 0}), {1, 0, 0},
         {5, 0, 0}},
        {"item turns about its pivot", at({0, 0, 0}), at({5, 0, 0}, {90, 0, 0}, {1, 1, 1}, {1, 0, 0}), {2, 0, 0},
         {5, 0, -1}},
        {"pivot is scaled from", at({0, 0, 0}), at({0, 0, 0}, {}, {2, 2, 2}, {1, 1, 1}), {2, 1, 1}, {2, 0, 0}},
        {"rotation equal to the pivot rotation leaves the item as built", at({0, 0, 0}),
         at({0, 0, 0}, {30, 20, 10}, {1, 1, 1}, {}, {30, 20, 10}), {1, 2, 3}, {1, 2, 3}},
    };
    for (const Row& r : rows) {
        vxs::Scene scene;
        scene.items.resize(2);
        scene.items[0].id = vxs::makeItemId(HOST_OBJECT, 0);
        scene.items[0].placement = r.root;
        scene.items[1].id = vxs::makeItemId(HOST_OBJECT, 1);
        scene.items[1].parent = scene.items[0].id;
        scene.items[1].placement = r.child;
        expectNear(vxs::worldTransform(scene, scene.items[1], 0).point(r.local), r.world, r.what);
    }
}

TEST(ItemFrames, BrokenParentChainsEnd) {
    vxs::Scene scene;
    scene.items.resize(2);
    for (std::size_t i = 0; i < 2; ++i) {
        scene.items[i].id = vxs::makeItemId(HOST_OBJECT, i);
        scene.items[i].placement.position.value = {1, 0, 0};
    }
    scene.items[0].parent = scene.items[1].id;
    scene.items[1].parent = scene.items[0].id;
    const Vec3 p = vxs::worldTransform(scene, scene.items[0], 0).point({0, 0, 0});
    EXPECT_TRUE(std::isfinite(p[0]));
    scene.items[1].parent = 0x7777;  // missing: the chain stops at item 1
    expectNear(vxs::worldTransform(scene, scene.items[0], 0).point({0, 0, 0}), {2, 0, 0}, "missing parent");
}

}  // namespace

namespace {

TEST(Backdrop, OneColourOrAGradientBySkyAndGround) {
    vxs::Scene scene;
    scene.backdrop = {0.5, 0.5, 0.5};
    expectNear(vxs::backdropColor(scene, {0, 1, 0}), {0.5, 0.5, 0.5}, "one colour");
    vxs::BackdropGradient& g = scene.gradient;
    g = {true, {0, 0, 1}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, 1, 2};
    const double up30 = std::sqrt(1.0 / 3);  // 30 degrees below: a third of the way, squeezed by 2
    struct Row { const char* what; Vec3 direction, expected; };
    const Row rows[] = {
        {"zenith", {0, 2, 0}, {0, 0, 1}},
        {"horizon is sky", {1, 0, 0}, {0, 1, 0}},
        {"nadir", {0, -1, 0}, {1, 0, 0}},
        {"half way up, linear", {1, 1, 0}, {0, 0.5, 0.5}},
        {"30 degrees down", {0, -0.5, std::sqrt(0.75)}, {1, 1 - up30, 0}},
        {"no direction is the sky's horizon", {0, 0, 0}, {0, 1, 0}},
    };
    for (const Row& r : rows) expectNear(vxs::backdropColor(scene, r.direction), r.expected, r.what);
}

}  // namespace
