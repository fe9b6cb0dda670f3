#include "core/evaluate.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/env.h"
#include "core/macro.h"
#include "core/root.h"
#include "host/host.h"

namespace vx {

namespace {
double gTime = 0;

double sharpnessToValue(double s) { return std::log2(s) / 4.0; }
double valueToSharpness(double d) { return std::exp2(4.0 * d); }


// What a thread learnt that holds from sample to sample: its two words in
// the render memory, whether the last object it shaded is in the scene
// (objects come and go only between renders), and the last host value each
// converted channel took through the root unlinked, as the conversion there
// and back costs a logarithm and a power. One thread-local, as each costs a
// call to reach in a loaded module.
struct RoundTrip {
    uint64_t in = 0;
    double out = 0;
    bool known = false;
};
struct ThreadSight {
    const HostRenderMemory* memory = nullptr;
    uint64_t wordsEpoch = ~uint64_t{0};
    SampleWords words{};
    const HostItemInfo* items = nullptr;
    uint64_t epoch = 0;
    HostID object = 0;
    bool present = false;
    RoundTrip trips[2];  // glossiness, diffuse sharpness
};

SampleWords wordsOf(ThreadSight& last, uint64_t epoch) {
    const HostRenderMemory* memory = host().renderMemory;
    if (last.memory != memory || last.wordsEpoch != epoch) {
        last.words = sampleWords();
        last.memory = memory;
        last.wordsEpoch = epoch;
    }
    return last.words;
}

bool objectInScene(ThreadSight& last, HostID object, uint64_t epoch) {
    const HostItemInfo* items = host().itemInfo;
    if (last.items == items && last.epoch == epoch && last.object == object) return last.present;
    bool present = false;
    for (HostID id = items->first(HOST_OBJECT, 0); id && !present; id = items->next(id)) present = id == object;
    last.items = items;
    last.epoch = epoch;
    last.object = object;
    last.present = present;
    return present;
}

// Scalar channels of the second pass: root input, host field, conversions,
// and the bounds the written value snaps to (0 first, then 1).
struct Channel {
    int input;
    double HostShading::*field;
    double (*fromHost)(double);
    double (*toHost)(double);
    bool snapZero = false, snapOne = false;
};
double same(double v) { return v; }
// clang-format off
constexpr Channel kScalarChannels[] = {
    {RI_DIFF,       &HostShading::diffuse,        same,               same},
    {RI_SPEC,       &HostShading::specular,       same,               same},
    {RI_GLOSS,      &HostShading::roughness,      glossFromRoughness, roughnessFromGloss},
    {RI_LUMI,       &HostShading::luminous,       same,               same},
    {RI_REFL,       &HostShading::mirror,         same,               same, true,  false},
    {RI_TRAN,       &HostShading::transparency,   same,               same, true,  true},
    {RI_ETA,        &HostShading::eta,            same,               same},
    {RI_TRSL,       &HostShading::translucency,   same,               same},
    {RI_C_SPEC,     &HostShading::colorHL,        same,               same},
    {RI_C_TRAN,     &HostShading::colorFL,        same,               same},
    {RI_REFL_BLUR,  &HostShading::reflectionBlur, same,               same, true,  false},
    {RI_TRAN_BLUR,  &HostShading::refractionBlur, same,               same, true,  false},
    {RI_ADD_TRAN,   &HostShading::addTransp,      same,               same, true,  false},
    {RI_DIFF_SHARP, &HostShading::diffSharpness,  sharpnessToValue,   valueToSharpness},
};
// clang-format on

double written(const Channel& c, double v) {
    if (c.snapZero) v = snapTo(v, 0);
    return c.snapOne ? snapTo(v, 1) : v;
}

// Calls each(channel) for every scalar channel with the row known at compile
// time, so that its conversions are inlined rather than called through the
// table.
template <class Each>
void forEachChannel(Each each) {
    [&]<size_t... I>(std::index_sequence<I...>) {
        (each(std::integral_constant<size_t, I>{}), ...);
    }(std::make_index_sequence<std::size(kScalarChannels)>{});
}

// Where a converted channel keeps its round trip, in the table's order.
template <size_t I>
constexpr size_t tripOf() {
    size_t n = 0;
    for (size_t k = 0; k < I; ++k) n += kScalarChannels[k].fromHost != same;
    return n;
}
static_assert(tripOf<std::size(kScalarChannels)>() == std::size(ThreadSight{}.trips));

}  // namespace

void fillTextureSample(const HostShading& sa, HostTextureSample& ts) {
    ts = HostTextureSample{};
    std::memcpy(ts.oPos, sa.oPos, sizeof ts.oPos);
    std::memcpy(ts.wPos, sa.wPos, sizeof ts.wPos);
    ts.oScl[0] = ts.oScl[1] = ts.oScl[2] = 1.0;
    std::memcpy(ts.gNorm, sa.gNorm, sizeof ts.gNorm);
    std::memcpy(ts.wNorm, sa.wNorm, sizeof ts.wNorm);
    toArray(ts.rayDir, fromArray(sa.wPos) - fromArray(sa.raySource));
    ts.bumpHeight = sa.bumpHeight;
    ts.spotSize = sa.spotSize;
    std::memcpy(ts.raySource, sa.raySource, sizeof ts.raySource);
    ts.rayLength = sa.rayLength;
    ts.cosine = sa.cosine;
    std::memcpy(ts.oXfrm, sa.oXfrm, sizeof ts.oXfrm);
    std::memcpy(ts.wXfrm, sa.wXfrm, sizeof ts.wXfrm);
    ts.objID = sa.objID;
    std::memcpy(ts.verts, sa.verts, sizeof ts.verts);
    std::memcpy(ts.weights, sa.weights, sizeof ts.weights);
    std::memcpy(ts.vertsWPos, sa.vertsWPos, sizeof ts.vertsWPos);
    ts.polygon = sa.polygon;
    const double ax = std::fabs(sa.gNorm[0]), ay = std::fabs(sa.gNorm[1]), az = std::fabs(sa.gNorm[2]);
    ts.axis = ax >= ay && ax >= az ? 0 : (ay >= az ? 1 : 2);
    // Without the mesh the tangent frame is the rows of the world transform.
    for (int r = 0; r < 3; ++r) toArray(ts.tangent[r], normalized({sa.wXfrm[3 * r], sa.wXfrm[3 * r + 1], sa.wXfrm[3 * r + 2]}));
    ts.callbackData = sa.callbackData;
    ts.illuminate = sa.illuminate;
    ts.rayCast = sa.rayCast;
}

void initTree(NodeList& tree, void* hostContext) {
    resetThreadFlags();
    assignCacheSlots(tree);
    const HostServices& h = host();
    if (const HostSurfaceFuncs* surf = h.surfaceFuncs; surf && hostContext) {
        const char* const options[] = {"ReflectionOptions", "RefractionOptions"};
        const char* const images[] = {"ReflectionImage", "RefractionImage"};
        for (int i = 0; i < 2; ++i) {
            const int opt = surf->getInt(hostContext, options[i]);
            if (opt == 2 || opt == 3) prepareImage(surf->getImage(hostContext, images[i]));
        }
    }
    if (h.itemInfo && h.lightInfo)
        for (HostID light = h.itemInfo->first(HOST_LIGHT, 0); light; light = h.itemInfo->next(light))
            if (h.lightInfo->type(light) == 2) prepareImage(h.lightInfo->image(light, gTime));
    renderInitList(tree);
    makePlan(tree, gTime);
}

void cleanupTree(NodeList& tree) {
    for (const auto& n : tree.nodes) n->renderCleanup();
    dropPlan(tree);
}

void newTimeTree(const NodeList& tree, int32_t frame, double time) {
    gTime = time;
    for (const auto& n : tree.nodes) n->newTime(time, frame);
    refold(tree, time);
}

uint32_t treeFlags(const NodeList& tree) {
    const Node* root = findRoot(tree);
    if (root && dynamic_cast<const NRoot*>(root) &&
        (root->inputs[RI_TRAN].source || root->inputs[RI_ADD_TRAN].source))
        return 0x7FF;
    return 0x7BF;
}

HostTextureSample& textureSample(NodeEnv& env) {
    if (!env.textureSampleFilled && env.record) fillTextureSample(*env.record, *env.textureSample);
    env.textureSampleFilled = true;
    return *env.textureSample;
}

namespace {
// The first pass when "norm" or "bump_h" is linked, its two values written
// into the record; then the second pass's program.
void runPasses(const Node& root, NodeEnv& env, const RenderPlan* plan) {
    HostShading* sa = env.record;
    const auto linked = [&root](int i) { return root.inputs[i].source != nullptr; };
    if (linked(RI_NORM) || linked(RI_BUMP_H)) {
        if (plan) runProgram(*plan, plan->program[0], env);
        const NodeValue n = linked(RI_NORM) ? root.readValue(RI_NORM, env) : env.normal;
        const double b = linked(RI_BUMP_H) ? root.readScalar(RI_BUMP_H, env) : sa->bumpHeight;
        NodeValue* out = root.outputSlots(env);
        out[RI_NORM] = n;
        out[RI_BUMP_H] = NodeValue::scalar(b);
        // The texture record shows the sample as it came, not the new normal;
        // a tree without textures or a second pass never fills it.
        if (env.textureSample) textureSample(env);
        toArray(sa->wNorm, out[RI_NORM]);
        sa->bumpHeight = out[RI_BUMP_H].mean();
        // The second pass must see every node again against the new normal.
        env.cache.clear();
    }
    if (plan) runProgram(*plan, plan->program[1], env);
}

// The second pass's channels, read in the order of the root's inputs as
// pulls may have effects; an unlinked scalar channel is unlinked(row).
struct Channels {
    NodeValue color, replCol;
    double scalars[RI_COUNT];
    double replPer;
};
template <class Unlinked>
Channels readChannels(const Node& root, NodeEnv& env, Unlinked unlinked) {
    const HostShading* sa = env.record;
    const auto linked = [&root](int i) { return root.inputs[i].source != nullptr; };
    Channels ch;
    ch.color = linked(RI_COLOR) ? root.readValue(RI_COLOR, env) : fromArray(sa->color);
    forEachChannel([&](auto i) {
        constexpr Channel c = kScalarChannels[i];
        ch.scalars[c.input] = linked(c.input) ? root.readScalar(c.input, env) : unlinked(i);
    });
    ch.replPer = root.readScalar(RI_REPL_PER, env);
    ch.replCol = linked(RI_REPL_COL) ? root.readValue(RI_REPL_COL, env) : fromArray(sa->replacementColor);
    return ch;
}
}  // namespace

const NodeValue* gatherRootChannels(const Node& root, NodeEnv& env, const RenderPlan* plan) {
    runPasses(root, env, plan);
    const Channels ch = readChannels(root, env, [&](auto i) {
        constexpr Channel c = kScalarChannels[i];
        return c.fromHost(env.record->*c.field);
    });
    NodeValue* out = root.outputSlots(env);
    out[RI_COLOR] = ch.color;
    for (const Channel& c : kScalarChannels) out[c.input] = NodeValue::scalar(ch.scalars[c.input]);
    out[RI_REPL_PER] = NodeValue::scalar(ch.replPer);
    out[RI_REPL_COL] = ch.replCol;
    return out;
}

void evaluateSample(const NodeList& tree, void* hostContext, HostShading* sa, ItemParamFn itemParam) {
    if (!renderGlobalsPresent()) return;
    constinit thread_local ThreadSight sight;
    ThreadSight& seen = sight;
    const uint64_t epoch = renderEpoch();
    const SampleWords words = wordsOf(seen, epoch);
    if (words.rayShade && *words.rayShade) return;
    if (!objectInScene(seen, sa->objID, epoch)) std::memcpy(sa->wNorm0, sa->gNorm, sizeof sa->wNorm0);

    const Node* found = tree.plan ? tree.plan->root : findRoot(tree);
    if (!found || (!tree.plan && !dynamic_cast<const NRoot*>(found))) return;
    const Node& root = *found;

    HostTextureSample ts;
    LightCache lights;
    NodeEnv env;
    env.hostContext = hostContext;
    env.time = gTime;
    env.normal = fromArray(sa->wNorm);
    env.record = sa;
    env.textureSample = &ts;
    env.callbackData = sa->callbackData;
    env.illuminate = sa->illuminate;
    env.rayTrace = sa->rayTrace;
    env.rayCast = sa->rayCast;
    env.rayShade = sa->rayShade;
    env.itemParam = itemParam;
    env.shadowRayFlag = words.shadowRay;
    env.rayShadeFlag = words.rayShade;
    env.lights = &lights;
    if (const RenderPlan* plan = tree.plan.get())
        env.cache.reserveSlab(plan->places, plan->values.data(), plan->values.size(), plan->stamp);

    runPasses(root, env, tree.plan.get());
    // What an unlinked channel writes back is its own value through the
    // conversions and snaps, worked out only where they can change it.
    const Channels ch = readChannels(root, env, [](auto) { return 0.0; });
    toArray(sa->color, ch.color);
    forEachChannel([&](auto i) {
        constexpr Channel c = kScalarChannels[i];
        double& field = sa->*c.field;
        if (root.inputs[c.input].source) {
            field = written(c, c.toHost(ch.scalars[c.input]));
        } else if constexpr (c.fromHost != same) {
            RoundTrip& trip = seen.trips[tripOf<i>()];
            const auto bits = std::bit_cast<uint64_t>(field);
            if (!trip.known || trip.in != bits) trip = {bits, written(c, c.toHost(c.fromHost(field))), true};
            field = trip.out;
        } else if constexpr (c.snapZero || c.snapOne) {
            field = written(c, field);
        }
    });
    sa->replacementPercentage = snapTo(ch.replPer, 1);
    toArray(sa->replacementColor, ch.replCol);
}

}  // namespace vx
