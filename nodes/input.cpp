#include "nodes/input.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <string>

#include "host/host.h"
#include "nodes/sample.h"

namespace vx {

namespace {
constexpr const char* kGlobal = "Global";
constexpr const char* kGeneric = "Generic";
constexpr const char* kUtility = "Utility";

// clang-format off
constexpr OutputDecl kSpotOut[] = {
    {"color", VT_COLOR},      {"diff", VT_SCALAR},      {"spec", VT_SCALAR},      {"gloss", VT_SCALAR},
    {"lumi", VT_SCALAR},      {"refl", VT_SCALAR},      {"tran", VT_SCALAR},      {"eta", VT_SCALAR},
    {"trsl", VT_SCALAR},      {"c_spec", VT_SCALAR},    {"c_tran", VT_SCALAR},    {"refl_blur", VT_SCALAR},
    {"tran_blur", VT_SCALAR}, {"add_tran", VT_SCALAR},  {"diff_shrp", VT_SCALAR}, {"bump_h", VT_SCALAR},
    {"repl_per", VT_SCALAR},  {"repl_col", VT_COLOR},   {nullptr},
};
constexpr OutputDecl kGeomOut[] = {
    {"norm", VT_VECTOR}, {"norm_0", VT_VECTOR}, {"norm_g", VT_VECTOR}, {"pos", VT_VECTOR}, {"pos_o", VT_VECTOR},
    {nullptr},
};
constexpr InputDecl  kUVIn[]    = {{"uv", VT_ANY, PK_UVMAP, 0}, {nullptr}};
constexpr OutputDecl kUVOut[]   = {{"uv", VT_VECTOR}, {"uv_n", VT_VECTOR}, {nullptr}};
constexpr InputDecl  kVColIn[]  = {{"vcolor", VT_ANY, PK_VCMAP, 0}, {nullptr}};
constexpr OutputDecl kVColOut[] = {{"col", VT_COLOR}, {"alpha", VT_SCALAR}, {nullptr}};
constexpr OutputDecl kSceneOut[] = {
    {"time", VT_SCALAR}, {"raysource", VT_VECTOR}, {"view_vec", VT_VECTOR}, {"sx", VT_SCALAR}, {"sy", VT_SCALAR},
    {"fps", VT_SCALAR},  {nullptr},
};
constexpr InputDecl  kItemIn[]  = {{"item", VT_ANY, PK_ITEM, 0}, {nullptr}};
constexpr OutputDecl kItemOut[] = {
    {"pos", VT_VECTOR},      {"x_vec", VT_VECTOR},      {"y_vec", VT_VECTOR},     {"z_vec", VT_VECTOR},
    {"item_pos", VT_VECTOR}, {"item_rot", VT_VECTOR},   {"item_scale", VT_VECTOR}, {"pivot_pos", VT_VECTOR},
    {"pivot_rot", VT_VECTOR}, {nullptr},
};
constexpr InputDecl kTransformIn[]  = {{"from_axis", VT_ANY, PK_ITEM, 0}, {"pos", VT_VECTOR, PK_VECTOR, 1, {1, 0, 0}}, {nullptr}};
constexpr InputDecl kVTransformIn[] = {{"from_axis", VT_ANY, PK_ITEM, 0}, {"vec", VT_VECTOR, PK_VECTOR, 1, {1, 0, 0}}, {nullptr}};
constexpr OutputDecl kVectorOut[]   = {{"r", VT_VECTOR}, {nullptr}};
constexpr InputDecl  kFaceIn[]  = {{"front", VT_ANY, PK_COLOR, 1}, {"back", VT_ANY, PK_COLOR, 1}, {nullptr}};
constexpr OutputDecl kFaceOut[] = {{"result", VT_ANY}, {nullptr}};

// The item outputs in port order with the code each is read from and the
// value it keeps when the item is unknown.
struct ItemOutput {
    int code;
    NodeValue fallback;
};
constexpr ItemOutput kItemOutputs[] = {
    {HOST_IP_W_POSITION, {}},       {HOST_IP_RIGHT, {1, 0, 0}},  {HOST_IP_UP, {0, 1, 0}},
    {HOST_IP_FORWARD, {0, 0, 1}},   {HOST_IP_POSITION, {}},      {HOST_IP_ROTATION, {}},
    {HOST_IP_SCALING, {1, 1, 1}},   {HOST_IP_PIVOT, {}},         {HOST_IP_PIVOT_ROT, {}},
};
// clang-format on


// The item chosen in the input, or the shaded object when none is chosen.
HostID itemOf(const Node& node, int input, const NodeEnv& env) {
    const HostID chosen = node.inputs[input].param.intValue;
    return chosen ? chosen : sampleOf(env).objID;
}

NodeValue itemParam(const NodeEnv& env, HostID item, int code, const NodeValue& fallback) {
    double v[3] = {fallback.x, fallback.y, fallback.z};
    if (env.itemParam) env.itemParam(item, code, v);
    return fromArray(v);
}

// W + p.x R + p.y U + p.z F in the item's frame; without a position the
// translation is left out, as for a direction.
NodeValue toWorld(const Node& node, NodeEnv& env, bool withPosition) {
    const HostID item = itemOf(node, 0, env);
    const NodeValue p = node.readValue(1, env);
    if (!item) return p;
    const NodeValue w = withPosition ? itemParam(env, item, HOST_IP_W_POSITION, {}) : NodeValue{};
    const NodeValue r = itemParam(env, item, HOST_IP_RIGHT, {1, 0, 0});
    const NodeValue u = itemParam(env, item, HOST_IP_UP, {0, 1, 0});
    const NodeValue f = itemParam(env, item, HOST_IP_FORWARD, {0, 0, 1});
    return w + r * p.x + u * p.y + f * p.z;
}

// The shaded object's mesh for a sample on a polygon, released on leaving
// scope; empty without object info, object or polygon.
class SampleMesh {
public:
    explicit SampleMesh(const HostShading& sa) {
        const HostObjectInfo* objects = host().objectInfo;
        if (sa.polygon && sa.objID && objects && objects->meshInfo) mesh_ = objects->meshInfo(sa.objID, 1);
    }
    ~SampleMesh() {
        if (mesh_ && mesh_->destroy) mesh_->destroy(mesh_);
    }
    SampleMesh(const SampleMesh&) = delete;
    SampleMesh& operator=(const SampleMesh&) = delete;

    explicit operator bool() const { return mesh_ != nullptr; }
    const HostMeshInfo* operator->() const { return mesh_; }
    void* priv() const { return mesh_->priv; }

private:
    HostMeshInfo* mesh_ = nullptr;
};

// How a vertex-map walk reads one vertex: the value a read starts from, the
// value of a vertex the map does not cover, and whether a polygon's own value
// is asked for first.
struct VertexRead {
    float start[4];
    float missing[4];
    bool perPolygon;
};

constexpr int kMaxMapDim = 16;  // wider maps are treated as absent

// Adds up the values of the first map of `types` named `name` at the sample's
// four vertices, weighted; false when the mesh has no such map.
bool sumVertexMap(const HostShading& sa, std::initializer_list<uint32_t> types, const std::string& name,
                  const VertexRead& how, double sum[4]) {
    const SampleMesh mesh(sa);
    if (!mesh) return false;
    void* map = nullptr;
    for (uint32_t type : types)
        if ((map = mesh->pntVLookup(mesh.priv(), type, name.c_str()))) break;
    if (!map) return false;
    const int dim = mesh->pntVDim(mesh.priv(), map);
    if (dim < 0 || dim > kMaxMapDim) return false;
    mesh->pntVSelect(mesh.priv(), map);
    for (int i = 0; i < 4; ++i) {
        float v[kMaxMapDim];
        const auto restart = [&] {
            std::fill_n(v, kMaxMapDim, 0.0f);
            std::copy_n(how.start, 4, v);
        };
        restart();
        bool set = how.perPolygon && mesh->pntVPGet(mesh.priv(), sa.verts[i], sa.polygon, v);
        if (!set) {
            restart();
            set = mesh->pntVGet(mesh.priv(), sa.verts[i], v);
        }
        const float* value = set ? v : how.missing;
        for (int k = 0; k < 4; ++k) sum[k] += double(value[k]) * sa.weights[i];
    }
    return true;
}

// Seen from behind: the geometric normal against the face normal of the
// polygon's first two edges from vertex 0. Degenerate polygons count as front.
bool backFacing(const HostShading& sa) {
    const SampleMesh mesh(sa);
    if (!mesh) return false;
    const int count = mesh->polSize(mesh.priv(), sa.polygon);
    if (count < 3) return false;
    float p[3][3] = {};
    const int corners[3] = {0, 1, count - 1};
    for (int i = 0; i < 3; ++i)
        mesh->pntBasePos(mesh.priv(), mesh->polVertex(mesh.priv(), sa.polygon, corners[i]), p[i]);
    const NodeValue e1 = normalized(fromArray(p[1]) - fromArray(p[0])), e2 = normalized(fromArray(p[2]) - fromArray(p[0]));
    return dot(fromArray(sa.gNorm), cross(e1, e2)) < 0;
}
}  // namespace

// clang-format off
NSpot::NSpot()             { setup("spot",       kGlobal,  nullptr,       kSpotOut,   false); }
NGeom::NGeom()             { setup("geom",       kGlobal,  nullptr,       kGeomOut,   false); }
NUVMap::NUVMap()           { setup("uv",         kGlobal,  kUVIn,         kUVOut,     false); }
NVCol::NVCol()             { setup("vcolor",     kGlobal,  kVColIn,       kVColOut,   false); }
NScene::NScene()           { setup("scene",      kGlobal,  nullptr,       kSceneOut,  false); }
NItem::NItem()             { setup("item",       kGlobal,  kItemIn,       kItemOut,   false); }
NTransform::NTransform()   { setup("transform",  kGeneric, kTransformIn,  kVectorOut, false); }
NVTransform::NVTransform() { setup("vtransform", kGeneric, kVTransformIn, kVectorOut, false); }
NFace::NFace()             { setup("pol_face",   kUtility, kFaceIn,       kFaceOut,   false); }
// clang-format on

void NSpot::outputs(const Node&, NodeEnv& env, NodeValue* out) {
    const HostShading& s = sampleOf(env);
    const double scalars[] = {
        s.diffuse, s.specular, (std::log2(1.0 / s.roughness) - 2.0) * 0.1, s.luminous, s.mirror,
        s.transparency, s.eta, s.translucency, s.colorHL, s.colorFL, s.reflectionBlur, s.refractionBlur,
        s.addTransp, std::log2(s.diffSharpness) * 0.25, s.bumpHeight, s.replacementPercentage,
    };
    out[0] = fromArray(s.color);
    for (size_t i = 0; i < std::size(scalars); ++i) out[1 + i] = NodeValue::scalar(scalars[i]);
    out[17] = fromArray(s.replacementColor);
}

void NGeom::outputs(const Node&, NodeEnv& env, NodeValue* out) {
    const HostShading& s = sampleOf(env);
    out[0] = env.normal;
    out[1] = fromArray(s.wNorm0);
    out[2] = fromArray(s.gNorm);
    out[3] = fromArray(s.wPos);
    out[4] = fromArray(s.oPos);
}

void NUVMap::outputs(const Node& n, NodeEnv& env, NodeValue* out) {
    static constexpr VertexRead kRead{{0, 0, 0, 0}, {0, 0, 0, 0}, true};
    double uv[4] = {};
    sumVertexMap(sampleOf(env), {HOST_VMAP_TXUV}, n.inputs[0].param.text, kRead, uv);
    out[0] = {uv[0], uv[1], 0};
    out[1] = {wrap(uv[0], 1), wrap(uv[1], 1), 0};
}

void NVCol::outputs(const Node& n, NodeEnv& env, NodeValue* out) {
    // A three-component map leaves alpha at 1; an uncovered vertex is white
    // and transparent but keeps its weight.
    static constexpr VertexRead kRead{{0, 0, 0, 1}, {1, 1, 1, 0}, false};
    double c[4] = {};
    if (!sumVertexMap(sampleOf(env), {HOST_VMAP_RGBA, HOST_VMAP_RGB}, n.inputs[0].param.text, kRead, c)) {
        c[0] = c[1] = c[2] = 1;
        c[3] = 0;
    }
    out[0] = {c[0], c[1], c[2]};
    out[1] = NodeValue::scalar(c[3]);
}

void NScene::outputs(const Node&, NodeEnv& env, NodeValue* out) {
    const HostShading& s = sampleOf(env);
    const HostSceneInfo* scene = host().sceneInfo;
    double sx = 0, sy = 0;
    if (env.isPreview) {
        sx = s.sx * 0.015625;  // the preview is 64 pixels square
        sy = s.sy * 0.015625;
    } else if (scene) {
        sx = double(s.sx) / scene->frameWidth;
        sy = double(s.sy) / scene->frameHeight;
    }
    out[0] = NodeValue::scalar(env.time);
    out[1] = fromArray(s.raySource);
    out[2] = normalized(fromArray(s.raySource) - fromArray(s.wPos));
    out[3] = NodeValue::scalar(sx);
    out[4] = NodeValue::scalar(sy);
    out[5] = NodeValue::scalar(scene ? scene->framesPerSecond : 0);
}

void NItem::outputs(const Node& n, NodeEnv& env, NodeValue* out) {
    const HostID item = itemOf(n, 0, env);
    for (size_t i = 0; i < std::size(kItemOutputs); ++i) {
        const ItemOutput& o = kItemOutputs[i];
        out[i] = item ? itemParam(env, item, o.code, o.fallback) : o.fallback;
    }
}

void NTransform::outputs(const Node& n, NodeEnv& env, NodeValue* out) {
    out[0] = toWorld(n, env, true);
}

void NVTransform::outputs(const Node& n, NodeEnv& env, NodeValue* out) {
    out[0] = toWorld(n, env, false);
}

void NFace::outputs(const Node& n, NodeEnv& env, NodeValue* out) {
    const int side = !env.isPreview && backFacing(sampleOf(env)) ? 1 : 0;
    out[0] = n.readValue(side, env);
}

}  // namespace vx
