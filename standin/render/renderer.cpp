#include "standin/render/renderer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <numbers>
#include <thread>
#include <utility>

#include "standin/render/raytracer.h"
#include "standin/streams/shader_tree.h"
#include "standin/streams/tree_file.h"
#include "standin/render/shading_model.h"
#include "standin/textures/surface_textures.h"

namespace vxs {

namespace {
constexpr int kMaxDepth = 8;  // rays sent from the shading of rays
using Clock = std::chrono::steady_clock;
using Worker = RenderWorker;

void putMatrix(double out[9], const Mat& m) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) out[3 * r + c] = m.linear[r][c];
}

// Sub-pixel positions: n samples in the cells of a near-square grid, each
// jittered by a hash of the pixel and the sample's number, so that a pixel
// gets the same samples whichever thread renders it.
uint64_t mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::array<double, 2> subPixel(int x, int y, int k, int n) {
    if (n <= 1) return {0.5, 0.5};
    const int columns = int(std::ceil(std::sqrt(double(n))));
    const int rows = (n + columns - 1) / columns;
    const uint64_t h = mix(mix(uint64_t(uint32_t(x)) | uint64_t(uint32_t(y)) << 32) + uint64_t(k));
    const double jx = double(h >> 40) * 0x1p-24, jy = double((h >> 16) & 0xFFFFFF) * 0x1p-24;
    return {(k % columns + jx) / columns, (k / columns + jy) / rows};
}
}  // namespace

// One frame of a scene: the placed geometry, lights and camera, and the
// shading of any ray.
class FrameRender {
public:
    FrameRender(const Scene& scene, const SurfaceShaders* shaders, double time, int width, int height);

    NodeValue pixelSample(Worker& worker, int x, int y, double ox, double oy) const;
    int surfaceAt(int x, int y) const;

    // What a shading record's callbacks know of their sample.
    struct SampleContext {
        const FrameRender* frame = nullptr;
        Worker* worker = nullptr;
        int depth = 0;
        int sx = 0, sy = 0;
        // The sample's point, and its normals and round position as the ray
        // that found it sees them.
        NodeValue position, faceNormal, smoothNormal, lifted;

        // A ray leaving the sample's own point starts just off its surface,
        // on the side it leaves by. Rays on the viewer's side of the smooth
        // surface start from its round position, so that a coarse mesh does
        // not shadow itself in facets where the light grazes it.
        NodeValue start(const NodeValue& pos, const NodeValue& dir) const {
            if (pos != position) return pos;
            const double eps = frame->tracer_.epsilon();
            if (dot(dir, faceNormal) >= 0 || dot(dir, smoothNormal) > 0) return lifted + faceNormal * eps;
            return pos - faceNormal * eps;
        }
    };

    // Points the record's callbacks at this frame, for the sample `sc`.
    static void connect(HostShading& sa, SampleContext& sc);

private:

    // A ray asked for at `from`, sent from `origin` (`from` or a point just
    // off its surface); `distance` is measured from `from`.
    NodeValue trace(Worker& worker, const NodeValue& from, const NodeValue& origin, const NodeValue& dir,
                    double near, int depth, int sx, int sy, double& distance) const;
    // Fills the record for a hit `distance` along the ray from `from`; the
    // surface's index, or -1 for none.
    int fill(HostShading& sa, SampleContext& sc, const RayHit& hit, const NodeValue& from, double distance,
             const NodeValue& dir) const;
    void evaluate(Worker& worker, HostShading& sa, int surface) const;
    const Surface& surface(int index) const;
    int surfaceIndex(const RayHit& hit) const;  // -1 for none
    const PlacedLight* findLight(HostID id) const;
    // Light that reaches p unblocked, or nothing; `from` is where a shadow
    // ray leaves (just off the surface).
    bool unshadowed(const PlacedLight& light, const LightRay& ray, const NodeValue& from) const;
    // One bounce of diffuse light: what the surfaces seen from p over the
    // hemisphere of n reflect of the lights, averaged over cosine-weighted
    // rays drawn from the pixel's own sequence.
    NodeValue gatherRadiosity(const SampleContext& sc, const NodeValue& p, const NodeValue& n) const;
    NodeValue reflectedLight(const RayHit& hit, const NodeValue& dir) const;

    static int illuminate(void* ctx, HostID light, const double pos[3], double dir[3], double color[3]);
    static double rayTrace(void* ctx, const double pos[3], const double dir[3], double color[3]);
    static double rayCast(void* ctx, const double pos[3], const double dir[3]);
    static double rayShade(void* ctx, const double pos[3], const double dir[3], HostShading* hit);

    const Scene& scene_;
    const SurfaceShaders* shaders_;
    RayTracer tracer_;
    std::vector<PlacedLight> lights_;
    ShadingWorld world_;
    NodeValue eye_, right_, up_, forward_;
    double halfWidth_, halfHeight_;  // of the image plane at distance 1
    double pixelAngle_;
    int width_, height_;
};

namespace {
std::vector<PlacedObject> placeObjects(const Scene& scene, double time) {
    std::vector<PlacedObject> objects;
    for (const Item& item : scene.items)
        if (item.type == HOST_OBJECT) objects.emplace_back(&item, worldTransform(scene, item, time));
    return objects;
}
}  // namespace

FrameRender::FrameRender(const Scene& scene, const SurfaceShaders* shaders, double time, int width, int height)
    : scene_(scene), shaders_(shaders), tracer_(placeObjects(scene, time)), width_(width), height_(height) {
    for (const Item& item : scene.items)
        if (item.type == HOST_LIGHT)
            lights_.push_back({item.id, &item.light, toValue(itemParam(scene, item, HOST_IP_W_POSITION, time)),
                               toValue(itemParam(scene, item, HOST_IP_W_RIGHT, time)),
                               toValue(itemParam(scene, item, HOST_IP_W_UP, time)),
                               toValue(itemParam(scene, item, HOST_IP_W_FORWARD, time)), time});
    world_.lights = lights_;
    world_.scene = &scene;

    const Item* camera = nullptr;
    for (const Item& item : scene.items)
        if (item.type == HOST_CAMERA) {
            camera = &item;
            break;
        }
    double fov = Camera{}.fieldOfView;
    right_ = {1, 0, 0}, up_ = {0, 1, 0}, forward_ = {0, 0, 1};
    if (camera) {
        eye_ = toValue(itemParam(scene, *camera, HOST_IP_W_POSITION, time));
        right_ = toValue(itemParam(scene, *camera, HOST_IP_W_RIGHT, time));
        up_ = toValue(itemParam(scene, *camera, HOST_IP_W_UP, time));
        forward_ = toValue(itemParam(scene, *camera, HOST_IP_W_FORWARD, time));
        fov = camera->camera.fieldOfView;
    }
    halfWidth_ = std::tan(std::clamp(fov, 1e-6, 3.14159) / 2);
    halfHeight_ = halfWidth_ * height / width;
    pixelAngle_ = 2 * halfWidth_ / width;
}

NodeValue FrameRender::pixelSample(Worker& worker, int x, int y, double ox, double oy) const {
    const double u = (2 * (x + ox) / width_ - 1) * halfWidth_;
    const double v = (1 - 2 * (y + oy) / height_) * halfHeight_;
    const NodeValue dir = normalized(forward_ + right_ * u + up_ * v);
    double distance = 0;
    return trace(worker, eye_, eye_, dir, 0, 0, x, y, distance);
}

int FrameRender::surfaceAt(int x, int y) const {
    const double u = (2 * (x + 0.5) / width_ - 1) * halfWidth_;
    const double v = (1 - 2 * (y + 0.5) / height_) * halfHeight_;
    const auto hit = tracer_.intersect(eye_, normalized(forward_ + right_ * u + up_ * v));
    return hit ? surfaceIndex(*hit) : -1;
}

const Surface& FrameRender::surface(int index) const {
    static const Surface plain;
    return index >= 0 ? scene_.surfaces[size_t(index)] : plain;
}

int FrameRender::surfaceIndex(const RayHit& hit) const {
    const Mesh& mesh = tracer_.objects()[size_t(hit.object)].item->object.mesh;
    const size_t p = size_t(hit.polygon);
    return p < mesh.polygonSurface.size() && mesh.polygonSurface[p] >= 0 &&
                   size_t(mesh.polygonSurface[p]) < scene_.surfaces.size()
               ? mesh.polygonSurface[p]
               : -1;
}

bool FrameRender::unshadowed(const PlacedLight& light, const LightRay& ray, const NodeValue& from) const {
    if (!(scene_.renderOpts & HOST_RENDER_SHADOWS) || light.light->shadowType == SHADOW_OFF) return true;
    const double eps = tracer_.epsilon();
    const NodeValue toLight = -normalized(ray.direction);
    const double far = light.light->type == LIGHT_DISTANT ? INFINITY : length(ray.direction) - eps;
    return !tracer_.occluded(from, toLight, eps, far);
}

NodeValue FrameRender::reflectedLight(const RayHit& hit, const NodeValue& dir) const {
    const HitPoint h = tracer_.describe(hit);
    const bool back = dot(h.faceNormal, dir) > 0;
    const NodeValue n = back ? -h.smoothNormal : h.smoothNormal, face = back ? -h.faceNormal : h.faceNormal;
    const Object& object = tracer_.objects()[size_t(hit.object)].item->object;
    const Surface& s = surface(surfaceIndex(hit));
    NodeValue irradiance;
    for (const PlacedLight& light : lights_) {
        if (excludes(object, light.id) || !light.light->affectDiffuse) continue;
        const LightRay ray = lightAtPoint(light, h.worldPosition, scene_);
        const double c = dot(n, -normalized(ray.direction));
        if (c <= 0 || ray.color == NodeValue{}) continue;
        if (unshadowed(light, ray, h.worldPosition + face * tracer_.epsilon())) irradiance = irradiance + ray.color * c;
    }
    const NodeValue color = toValue(s.color);
    return irradiance * color * s.diffuse + color * s.luminosity;
}

NodeValue FrameRender::gatherRadiosity(const SampleContext& sc, const NodeValue& p, const NodeValue& n) const {
    const int count = scene_.radiosityRays;
    const NodeValue t = normalized(std::fabs(n.x) > 0.5 ? cross(n, {0, 1, 0}) : cross(n, {1, 0, 0}));
    const NodeValue b = cross(n, t);
    uint64_t state = mix(uint64_t(uint32_t(sc.sx)) | uint64_t(uint32_t(sc.sy)) << 32);
    const auto draw = [&state] {
        state += 0x9E3779B97F4A7C15ull;
        return double(mix(state) >> 11) * 0x1p-53;
    };
    NodeValue sum;
    for (int k = 0; k < count; ++k) {
        const double phi = 2 * std::numbers::pi * draw(), r = draw();
        const double sinTheta = std::sqrt(r), cosTheta = std::sqrt(1 - r);
        const NodeValue d = t * (std::cos(phi) * sinTheta) + b * (std::sin(phi) * sinTheta) + n * cosTheta;
        if (const auto hit = tracer_.intersect(sc.start(p, d), d, tracer_.epsilon())) sum = sum + reflectedLight(*hit, d);
    }
    return count > 0 ? sum * (1.0 / count) : sum;
}

const PlacedLight* FrameRender::findLight(HostID id) const {
    for (const PlacedLight& light : lights_)
        if (light.id == id) return &light;
    return nullptr;
}

NodeValue FrameRender::trace(Worker& worker, const NodeValue& from, const NodeValue& origin, const NodeValue& dir,
                             double near, int depth, int sx, int sy, double& distance) const {
    const auto hit = tracer_.intersect(origin, dir, near);
    if (!hit) {
        distance = -1;
        return toValue(backdropColor(scene_, toVec3(dir)));
    }
    distance = tracer_.distanceFrom(*hit, from, dir);
    HostShading sa;
    SampleContext sc{this, &worker, depth, sx, sy, {}, {}, {}, {}};
    const int index = fill(sa, sc, *hit, from, distance, dir);
    evaluate(worker, sa, index);
    const ShadedSurface where{&surface(index), &tracer_.objects()[size_t(hit->object)].item->object};
    return standardShading(sa, world_, where);
}

int FrameRender::fill(HostShading& sa, SampleContext& sc, const RayHit& hit, const NodeValue& from,
                      double distance, const NodeValue& dir) const {
    const PlacedObject& placed = tracer_.objects()[size_t(hit.object)];
    const HitPoint h = tracer_.describe(hit);
    // Every polygon is two-sided: its normals turn towards the ray.
    const bool back = dot(h.faceNormal, dir) > 0;
    const NodeValue geometric = back ? -h.faceNormal : h.faceNormal;
    const NodeValue normal = back ? -h.smoothNormal : h.smoothNormal;
    sc.position = h.worldPosition;
    sc.faceNormal = geometric;
    sc.smoothNormal = normal;
    // Only a surface that bulges towards the viewer lifts the point.
    sc.lifted = dot(h.roundPosition - h.worldPosition, geometric) > 0 ? h.roundPosition : h.worldPosition;

    sa = HostShading{};
    sa.sx = sc.sx;
    sa.sy = sc.sy;
    toArray(sa.oPos, h.objectPosition);
    toArray(sa.wPos, h.worldPosition);
    toArray(sa.gNorm, geometric);
    sa.spotSize = distance * pixelAngle_;
    toArray(sa.raySource, from);
    sa.rayLength = distance;
    sa.cosine = -dot(dir, normal);
    // oXfrm carries object directions into the world, wXfrm back.
    putMatrix(sa.oXfrm, placed.toWorld);
    if (placed.invertible) putMatrix(sa.wXfrm, placed.toObject);
    sa.objID = placed.item->id;
    sa.polygon = HostID(hit.polygon + 1);
    std::copy_n(h.verts, 4, sa.verts);
    std::copy_n(h.weights, 4, sa.weights);
    std::copy_n(&h.vertsWPos[0][0], 12, &sa.vertsWPos[0][0]);
    toArray(sa.wNorm, normal);
    toArray(sa.wNorm0, normal);

    const int index = surfaceIndex(hit);
    const Surface& s = surface(index);
    toArray(sa.color, toValue(s.color));
    sa.luminous = s.luminosity;
    sa.diffuse = s.diffuse;
    sa.specular = s.specular;
    sa.mirror = s.reflection;
    sa.transparency = s.transparency;
    sa.eta = s.refractionIndex;
    sa.roughness = std::exp2(-(10 * s.glossiness + 2));
    sa.translucency = s.translucency;
    sa.colorHL = s.colorHighlights;
    sa.colorFL = s.colorFilter;
    sa.addTransp = s.additiveTransparency;
    sa.diffSharpness = std::exp2(4 * s.diffuseSharpness);
    sa.reflectionBlur = s.reflectionBlurring;
    sa.refractionBlur = s.refractionBlurring;
    sa.replacementPercentage = s.replacementPercentage;
    toArray(sa.replacementColor, toValue(s.replacementColor));

    connect(sa, sc);
    applySurfaceTextures(s, sa);
    return index;
}

void FrameRender::connect(HostShading& sa, SampleContext& sc) {
    sa.callbackData = &sc;
    sa.illuminate = illuminate;
    sa.rayTrace = rayTrace;
    sa.rayCast = rayCast;
    sa.rayShade = rayShade;
}

void FrameRender::evaluate(Worker& worker, HostShading& sa, int surface) const {
    const HostInstance inst = shaders_ && surface >= 0 ? shaders_->instance(size_t(surface)) : nullptr;
    if (!inst) return;
    ++worker.evaluations;
    // Only the outermost call is timed: a nested one is already inside it.
    if (worker.evaluateNesting++ > 0) {
        shaders_->shader().evaluate(inst, sa);
    } else {
        const Clock::time_point start = Clock::now();
        shaders_->shader().evaluate(inst, sa);
        worker.evaluateSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
    --worker.evaluateNesting;
}

int FrameRender::illuminate(void* ctx, HostID light, const double pos[3], double dir[3], double color[3]) {
    const auto& sc = *static_cast<const SampleContext*>(ctx);
    const FrameRender& frame = *sc.frame;
    const NodeValue p = fromArray(pos);
    // Radiosity is gathered around the normal the caller passes in `dir`;
    // caustics are not computed, so their pseudo-light, like an unknown id,
    // brings nothing.
    if (light == kRadiosityLight && frame.scene_.radiosityRays > 0) {
        toArray(color, frame.gatherRadiosity(sc, p, normalized(fromArray(dir))));
        return 1;
    }
    toArray(color, {});
    const PlacedLight* placed = frame.findLight(light);
    if (!placed) return 0;
    const LightRay ray = lightAtPoint(*placed, p, frame.scene_);
    const NodeValue toPoint = normalized(ray.direction);
    toArray(dir, toPoint);
    if (ray.color == NodeValue{} || !frame.unshadowed(*placed, ray, sc.start(p, -toPoint))) return 0;
    toArray(color, ray.color);
    return 1;
}

double FrameRender::rayTrace(void* ctx, const double pos[3], const double dir[3], double color[3]) {
    const auto& sc = *static_cast<const SampleContext*>(ctx);
    toArray(color, {});
    const NodeValue d = normalized(fromArray(dir));
    if (d == NodeValue{} || sc.depth >= kMaxDepth) return -1;
    double distance = -1;
    const NodeValue from = fromArray(pos);
    const NodeValue c = sc.frame->trace(*sc.worker, from, sc.start(from, d), d, sc.frame->tracer_.epsilon(),
                                        sc.depth + 1, sc.sx, sc.sy, distance);
    toArray(color, c);
    return distance;
}

double FrameRender::rayCast(void* ctx, const double pos[3], const double dir[3]) {
    const auto& sc = *static_cast<const SampleContext*>(ctx);
    const NodeValue d = normalized(fromArray(dir)), from = fromArray(pos);
    const RayTracer& tracer = sc.frame->tracer_;
    const auto hit = tracer.intersect(sc.start(from, d), d, tracer.epsilon());
    return hit ? tracer.distanceFrom(*hit, from, d) : -1;
}

double FrameRender::rayShade(void* ctx, const double pos[3], const double dir[3], HostShading* out) {
    const auto& sc = *static_cast<const SampleContext*>(ctx);
    const NodeValue d = normalized(fromArray(dir));
    if (!out || d == NodeValue{} || sc.depth >= kMaxDepth) return -1;
    const FrameRender& frame = *sc.frame;
    const NodeValue from = fromArray(pos);
    const auto hit = frame.tracer_.intersect(sc.start(from, d), d, frame.tracer_.epsilon());
    if (!hit) return -1;
    const double distance = frame.tracer_.distanceFrom(*hit, from, d);
    // The record outlives this call, and so must what its callbacks point
    // to: one context per thread and depth, reused by the next such call.
    thread_local std::array<SampleContext, kMaxDepth + 1> contexts;
    SampleContext& next = contexts[size_t(sc.depth + 1)];
    next = {&frame, sc.worker, sc.depth + 1, sc.sx, sc.sy, {}, {}, {}, {}};
    const int index = frame.fill(*out, next, *hit, from, distance, d);
    frame.evaluate(*sc.worker, *out, index);
    return distance;
}

struct SceneCallbacks::Frame {
    FrameRender render;
    Worker worker;
    FrameRender::SampleContext sample;
};

SceneCallbacks::SceneCallbacks(const Scene& scene, const SurfaceShaders* shaders, double time)
    : frame_(new Frame{FrameRender(scene, shaders, time, scene.frameWidth, scene.frameHeight), {}, {}}) {}

SceneCallbacks::~SceneCallbacks() = default;

void SceneCallbacks::attach(HostShading& sa) {
    const NodeValue p = fromArray(sa.wPos);
    frame_->sample = {&frame_->render, &frame_->worker, 0, sa.sx, sa.sy, p, normalized(fromArray(sa.gNorm)),
                      normalized(fromArray(sa.wNorm)), p};
    FrameRender::connect(sa, frame_->sample);
}

std::unique_ptr<SurfaceShaders> SurfaceShaders::load(const Scene& scene, const std::string& modulePath,
                                                     std::string& where, std::string& error) {
    std::unique_ptr<SurfaceShaders> out(new SurfaceShaders);
    out->scene_ = &scene;
    where = modulePath;
    out->module_ = Module::open(modulePath, error);
    if (!out->module_) return nullptr;
    out->ownShader_ = Shader::activate(*out->module_, error);
    if (!out->ownShader_) return nullptr;
    const Shader& shader = *(out->shader_ = out->ownShader_.get());
    for (const Surface& surface : scene.surfaces) {
        out->instances_.push_back({nullptr, Shader::Destroyer{&shader}});
        if (surface.tree.empty()) continue;
        // The surface is the instance's host context, as the host's own
        // surface record would be; the module only reads it.
        auto inst = shader.make(const_cast<Surface*>(&surface));
        if (!inst) {
            error = "create made no instance";
            return nullptr;
        }
        where = surface.tree;
        std::string bytes;
        if (!readTreeBytes(where, bytes, error) || !loadShaderTree(shader, inst.get(), std::move(bytes), error))
            return nullptr;
        out->instances_.back() = std::move(inst);
    }
    where.clear();
    return out;
}

SurfaceShaders::SurfaceShaders(const Scene& scene, const Shader& shader) : scene_(&scene), shader_(&shader) {
    for (size_t i = 0; i < scene.surfaces.size(); ++i) instances_.push_back({nullptr, Shader::Destroyer{&shader}});
}

SurfaceShaders::~SurfaceShaders() = default;

void SurfaceShaders::copy(size_t surface, HostInstance source) {
    if (surface >= instances_.size()) return;
    Shader::InstancePtr& inst = instances_[surface];
    if (!source) {
        inst.reset();
        return;
    }
    if (!inst) inst = shader_->make(const_cast<Surface*>(&scene_->surfaces[surface]));
    shader_->copy(inst.get(), source);
}

HostInstance SurfaceShaders::instance(size_t surface) const {
    return surface < instances_.size() ? instances_[surface].get() : nullptr;
}

std::vector<HostInstance> SurfaceShaders::instances() const {
    std::vector<HostInstance> out;
    for (const auto& inst : instances_)
        if (inst) out.push_back(inst.get());
    return out;
}

namespace {
void drawProgress(int done, int total) {
    constexpr int kWidth = 40;
    const int filled = total ? done * kWidth / total : kWidth;
    std::fprintf(stderr, "\rrendering [%.*s%*s] %3d%%", filled, "########################################",
                 kWidth - filled, "", total ? done * 100 / total : 100);
    std::fflush(stderr);
}

int pictureSide(int asked, int scene) { return std::max(1, asked > 0 ? asked : scene); }
}  // namespace

FrameRenderer::FrameRenderer(const Scene& scene, const SurfaceShaders* shaders, const RenderSettings& settings)
    : scene_(scene),
      shaders_(shaders),
      width_(pictureSide(settings.width, scene.frameWidth)),
      height_(pictureSide(settings.height, scene.frameHeight)),
      samples_(std::max(1, settings.samples)),
      threads_(std::max(0, settings.threads)),
      frame_(settings.frame),
      time_(scene.framesPerSecond > 0 ? settings.frame / scene.framesPerSecond : 0.0),
      render_(std::make_unique<FrameRender>(scene, shaders, time_, width_, height_)) {}

FrameRenderer::~FrameRenderer() = default;

void FrameRenderer::begin() const {
    const std::vector<HostInstance> instances = shaders_ ? shaders_->instances() : std::vector<HostInstance>{};
    for (HostInstance inst : instances) shaders_->shader().init(inst, 0);
    for (HostInstance inst : instances) shaders_->shader().newTime(inst, frame_, time_);
    surfaceTexturesNewTime(scene_, time_, frame_);
}

void FrameRenderer::end() const {
    if (shaders_)
        for (HostInstance inst : shaders_->instances()) shaders_->shader().cleanup(inst);
    surfaceTexturesCleanup(scene_);
}

void FrameRenderer::pixel(RenderWorker& worker, int x, int y, int samples, float out[3]) const {
    NodeValue sum;
    for (int k = 0; k < samples; ++k) {
        const auto [ox, oy] = subPixel(x, y, k, samples);
        sum = sum + render_->pixelSample(worker, x, y, ox, oy);
    }
    out[0] = float(sum.x / samples);
    out[1] = float(sum.y / samples);
    out[2] = float(sum.z / samples);
}

int FrameRenderer::surfaceAt(int x, int y) const { return render_->surfaceAt(x, y); }

void runTiles(int count, std::vector<RenderWorker>& workers, const std::function<void(RenderWorker&, int)>& tile,
              const std::atomic<bool>* cancel, const std::function<void(int done)>& progress) {
    std::atomic<int> nextTile{0};
    int doneTiles = 0;  // under `lock`
    std::mutex lock;
    std::condition_variable progressed;
    const auto work = [&](RenderWorker& worker) {
        const Clock::time_point start = Clock::now();
        for (int t; !(cancel && cancel->load(std::memory_order_relaxed)) && (t = nextTile.fetch_add(1)) < count;) {
            tile(worker, t);
            bool last;
            {
                std::lock_guard guard(lock);
                last = ++doneTiles == count;
            }
            if (last) progressed.notify_one();
        }
        worker.busySeconds += std::chrono::duration<double>(Clock::now() - start).count();
    };
    const size_t threads = std::clamp<size_t>(workers.size(), 1, size_t(std::max(count, 1)));
    std::vector<std::thread> pool;
    for (size_t i = 0; i < threads; ++i) pool.emplace_back(work, std::ref(workers[i]));
    if (progress) {
        std::unique_lock guard(lock);
        for (bool finished = false; !finished;) {
            finished = progressed.wait_for(guard, std::chrono::milliseconds(100), [&] { return doneTiles == count; });
            progress(doneTiles);
        }
    }
    for (std::thread& t : pool) t.join();
}

Picture render(const Scene& scene, const SurfaceShaders* shaders, const RenderSettings& settings,
               RenderStats* stats) {
    const FrameRenderer frame(scene, shaders, settings);
    Picture picture;
    picture.width = frame.width();
    picture.height = frame.height();
    picture.rgb.assign(size_t(picture.width) * picture.height * 3, 0.0f);
    const int tilesX = (picture.width + kRenderTile - 1) / kRenderTile;
    const int tiles = tilesX * ((picture.height + kRenderTile - 1) / kRenderTile);
    std::vector<RenderWorker> workers(settings.threads > 0 ? unsigned(settings.threads)
                                                           : std::max(1u, std::thread::hardware_concurrency()));

    frame.begin();
    const Clock::time_point start = Clock::now();
    runTiles(
        tiles, workers,
        [&](RenderWorker& worker, int t) {
            const int x0 = t % tilesX * kRenderTile, y0 = t / tilesX * kRenderTile;
            for (int y = y0; y < std::min(y0 + kRenderTile, picture.height); ++y)
                for (int x = x0; x < std::min(x0 + kRenderTile, picture.width); ++x)
                    frame.pixel(worker, x, y, frame.samples(), &picture.rgb[(size_t(y) * picture.width + x) * 3]);
        },
        nullptr, settings.progress ? std::function<void(int)>([tiles](int done) { drawProgress(done, tiles); }) : nullptr);
    if (settings.progress) std::fputc('\n', stderr);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    frame.end();

    if (stats) {
        *stats = {};
        stats->samples = uint64_t(picture.width) * picture.height * frame.samples();
        stats->seconds = seconds;
        for (const RenderWorker& w : workers) {
            stats->evaluations += w.evaluations;
            stats->evaluateSeconds += w.evaluateSeconds;
            stats->threadSeconds += w.busySeconds;
        }
    }
    return picture;
}

}  // namespace vxs
