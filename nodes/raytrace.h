// Rays from the shaded sample: raw traces and casts, mirror reflection and
// refraction under the surface's own options, and their blurred variants.
#pragma once

#include <cstdint>

#include "core/env.h"
#include "core/node.h"
#include "nodes/jitter.h"

namespace vx {

// The distance reported for a ray that found nothing.
inline constexpr double kMissDistance = 1e17;

// Raised while a blurred trace samples on the calling thread, so that the
// rays it sends, and what their hits shade, stay single rays.
extern const char* const kBluredTraceFlag;  // "QK's Torvanixa:BluredTraceFlag"

enum TraceMode { TRACE_REFLECTION = 0, TRACE_REFRACTION = 1 };

struct TraceResult {
    double distance = -1;  // negative when no ray found anything
    NodeValue color;
};

// The spherical-map angles of a direction: heading about the vertical axis
// and pitch above the horizon, in radians.
struct Angles {
    double heading = 0, pitch = 0;
};
Angles directionToAngles(const NodeValue& d);

// Where a direction lands on a spherical map whose seam is turned by `seam`
// radians about the vertical axis.
void sphericalMapUV(const NodeValue& dir, double seam, double& u, double& v);

// A reflection (or refraction) ray from `p` under the options of `surface`
// (a host surface): the backdrop, a traced ray, the spherical map, or a
// traced ray with the map where it finds nothing.
TraceResult traceSurface(const HostShading& sa, void* surface, double time, const NodeValue& p,
                         const NodeValue& dir, TraceMode mode);

// The n x n jittered bundle of a blurred trace around `d`, in drawing order.
// The directions are not normalised.
template <class Ray>
void forEachBlurRay(int sx, int sy, const NodeValue& d, double blur, int n, Ray ray) {
    const NodeValue q1 = normalized({d.z - d.y, d.x - d.z, d.y - d.x});
    const NodeValue q2 = cross(d, q1) * (blur * 0.5);
    const NodeValue s1 = q1 * (blur * 0.5);
    Jitter jitter(sx, sy);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double r1 = jitter.next(), r2 = jitter.next();
            ray(d + s1 * ((r1 + i) / n - 0.5) + q2 * ((r2 + j) / n - 0.5));
        }
}

// The mean colour of the bundle; one unblurred ray when blur is not above 0,
// or when the thread is already inside a blurred trace.
NodeValue blurredTrace(const HostShading& sa, void* surface, double time, const NodeValue& p, const NodeValue& dir,
                       double blur, int n, TraceMode mode);

// A blurred trace as a node asks for it: in a preview one ray through the
// environment's own trace, in a render `blurredTrace`.
NodeValue nodeBlurredTrace(const NodeEnv& env, const NodeValue& p, const NodeValue& dir, double blur, int n,
                           TraceMode mode);

// clang-format off
class NRayTrace    final : public NodeKind<NRayTrace>    { public: NRayTrace();    void evaluate(NodeEnv& env) const override; };
class NRayCast     final : public NodeKind<NRayCast>     { public: NRayCast();     void evaluate(NodeEnv& env) const override; };
class NReflect     final : public NodeKind<NReflect>     { public: NReflect();     void evaluate(NodeEnv& env) const override; };
class NRefract     final : public NodeKind<NRefract>     { public: NRefract();     void evaluate(NodeEnv& env) const override; };
class NReflectBlur final : public NodeKind<NReflectBlur> { public: NReflectBlur(); void evaluate(NodeEnv& env) const override; };
class NRefractBlur final : public NodeKind<NRefractBlur> { public: NRefractBlur(); void evaluate(NodeEnv& env) const override; };
// clang-format on

}  // namespace vx
