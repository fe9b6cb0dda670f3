#include "standin/scene/scene_file.h"

#include <algorithm>
#include <filesystem>
#include <numbers>
#include <unordered_map>

#include "standin/streams/files.h"
#include "standin/scene/image_file.h"
#include "standin/scene/json_fields.h"
#include "standin/scene/obj_mesh.h"
#include "standin/scene/primitives.h"
#include "standin/scene/texture_json.h"

namespace vxs {

namespace {
namespace fs = std::filesystem;

constexpr double kDegree = std::numbers::pi / 180;
constexpr int kMaxFrameNumber = 1000000;
const Json kNoKeys = Json::object();  // what an absent section reads as

Vec3 scaled(Vec3 v, double k) {
    for (double& x : v) x *= k;
    return v;
}

std::string inQuotes(const std::string& s) { return "\"" + s + "\""; }

// The keys of every item's placement, with the item's own keys.
std::vector<std::string_view> placementKeys(std::initializer_list<std::string_view> own) {
    std::vector<std::string_view> keys{"position", "rotation", "scale", "pivot", "pivot_rotation", "keys"};
    keys.insert(keys.end(), own.begin(), own.end());
    return keys;
}

// clang-format off
constexpr std::pair<const char*, double Surface::*> kSurfaceNumbers[] = {
    {"luminosity",             &Surface::luminosity},
    {"diffuse",                &Surface::diffuse},
    {"specularity",            &Surface::specular},
    {"glossiness",             &Surface::glossiness},
    {"reflection",             &Surface::reflection},
    {"transparency",           &Surface::transparency},
    {"refraction_index",       &Surface::refractionIndex},
    {"translucency",           &Surface::translucency},
    {"color_highlights",       &Surface::colorHighlights},
    {"color_filter",           &Surface::colorFilter},
    {"additive_transparency",  &Surface::additiveTransparency},
    {"diffuse_sharpness",      &Surface::diffuseSharpness},
    {"reflection_blurring",    &Surface::reflectionBlurring},
    {"refraction_blurring",    &Surface::refractionBlurring},
    {"replacement_percentage", &Surface::replacementPercentage},
};
// clang-format on

const std::initializer_list<std::pair<const char*, int>> kTraceOptions = {
    {"backdrop", REFL_BACKDROP},
    {"raytrace", REFL_RAYTRACE_BACKDROP},
    {"spherical", REFL_SPHERICAL},
    {"raytrace_spherical", REFL_RAYTRACE_SPHERICAL}};

struct MapKind {
    uint32_t type;
    int dimension;
};

std::size_t meshElements(const Mesh& mesh) {
    std::size_t n = mesh.points.size();
    for (const auto& polygon : mesh.polygons) n += polygon.size();
    return n;
}

class SceneReader {
public:
    explicit SceneReader(std::string directory) : directory_(std::move(directory)) {}

    Scene read(const Json& doc) {
        if (!doc.is_object()) failAt("", "must hold a JSON object");
        const Fields top(doc, "", {"frame", "render", "camera", "ambient", "backdrop", "gradient_backdrop", "images",
                                   "surfaces", "lights", "objects"});
        frame(top);
        render(top);
        if (const Json* v = top.find("ambient")) {
            const Fields f(*v, "ambient", {"color", "intensity"});
            scene_.ambientColor = f.triple("color", scene_.ambientColor);
            scene_.ambientIntensity = f.number("intensity", scene_.ambientIntensity);
        }
        scene_.backdrop = top.triple("backdrop", scene_.backdrop);
        if (const Json* v = top.find("gradient_backdrop")) {
            const Fields f(*v, "gradient_backdrop",
                           {"zenith", "sky", "ground", "nadir", "sky_squeeze", "ground_squeeze"});
            BackdropGradient& g = scene_.gradient;
            g.on = true;
            g.zenith = f.triple("zenith", g.zenith);
            g.sky = f.triple("sky", g.sky);
            g.ground = f.triple("ground", g.ground);
            g.nadir = f.triple("nadir", g.nadir);
            g.skySqueeze = f.positive("sky_squeeze", g.skySqueeze);
            g.groundSqueeze = f.positive("ground_squeeze", g.groundSqueeze);
        }
        forEach(top, "images", [&](const Json& v, const std::string& path, std::size_t) { image(v, path); });
        decodeImages();
        forEach(top, "surfaces", [&](const Json& v, const std::string& path, std::size_t) { surface(v, path); });
        camera(top);
        forEach(top, "lights", [&](const Json& v, const std::string& path, std::size_t i) { light(v, path, i); });
        forEach(top, "objects", [&](const Json& v, const std::string& path, std::size_t i) { object(v, path, i); });
        resolveParents();
        resolveItemRefs();
        return std::move(scene_);
    }

private:
    struct PendingParent {
        std::size_t item;
        std::string name, path;
    };

    std::string directory_;
    Scene scene_;
    std::unordered_map<std::string, std::size_t> itemNames_;  // items other than bones, by name
    std::vector<PendingParent> parents_;
    std::vector<PendingItemRef> itemRefs_;  // of texture layers
    std::size_t meshElements_ = 0, imagePixels_ = 0;
    std::vector<std::pair<std::string, std::string>> imageFiles_;  // where each image's path is, as written

    template <class Visit>
    static void forEach(const Fields& f, std::string_view key, Visit&& visit) {
        const Json* list = f.find(key);
        if (!list) return;
        const std::string path = f.at(key);
        arrayAt(*list, path);
        for (std::size_t i = 0; i < list->size(); ++i) visit((*list)[i], indexPath(path, i), i);
    }

    std::string resolve(const std::string& file) const {
        const fs::path p(file);
        return p.is_absolute() || directory_.empty() ? file : (fs::path(directory_) / p).string();
    }

    void frame(const Fields& top) {
        const Json* v = top.find("frame");
        if (!v) return;
        const Fields f(*v, "frame", {"width", "height", "fps", "start", "end"});
        scene_.frameWidth = f.integer("width", scene_.frameWidth, 1, kMaxFrameSize);
        scene_.frameHeight = f.integer("height", scene_.frameHeight, 1, kMaxFrameSize);
        scene_.framesPerSecond = f.positive("fps", scene_.framesPerSecond);
        scene_.frameStart = f.integer("start", 0, -kMaxFrameNumber, kMaxFrameNumber);
        scene_.frameEnd = f.integer("end", scene_.frameStart, scene_.frameStart, kMaxFrameNumber);
    }

    void render(const Fields& top) {
        const Json* v = top.find("render");
        const Fields f(v ? *v : kNoKeys, "render", {"shadows", "reflection", "refraction", "radiosity"});
        scene_.renderOpts = (f.flag("shadows", true) ? HOST_RENDER_SHADOWS : 0) |
                            (f.flag("reflection", true) ? HOST_RENDER_REFLECT : 0) |
                            (f.flag("refraction", true) ? HOST_RENDER_REFRACT : 0);
        scene_.radiosityRays = f.integer("radiosity", 0, 0, kMaxRadiosityRays);
    }

    void image(const Json& v, const std::string& path) {
        const Fields f(v, path, {"name", "path"});
        const std::string file = textAt(f.required("path"), f.at("path"));
        Image image;
        image.name = f.text("name", fs::path(file).stem().string());
        for (const Image& other : scene_.images)
            if (other.name == image.name) failAt(f.at("name"), "another image is named " + inQuotes(image.name));
        image.path = resolve(file);
        std::string error;
        // Every image's header is read before any is decoded, so that the
        // scene's limit holds before its memory is taken.
        const std::size_t left = kMaxSceneImagePixels - imagePixels_;
        if (!readImageFile(image.path, image, error, std::min(left, kMaxImagePixels), false))
            failAt(f.at("path"), inQuotes(file) + ": " + error +
                                     (left < kMaxImagePixels ? ", what the scene's images have left of " +
                                                                   std::to_string(kMaxSceneImagePixels)
                                                             : ""));
        imagePixels_ += std::size_t(image.width) * std::size_t(image.height);
        image.id = makeImageId(scene_.images.size());
        scene_.images.push_back(std::move(image));
        imageFiles_.push_back({f.at("path"), file});
    }

    void decodeImages() {
        for (std::size_t i = 0; i < scene_.images.size(); ++i) {
            std::string error;
            if (!readImageFile(scene_.images[i].path, scene_.images[i], error))
                failAt(imageFiles_[i].first, inQuotes(imageFiles_[i].second) + ": " + error);
        }
    }

    HostID imageNamed(const Fields& f, std::string_view key) {
        const Json* v = f.find(key);
        if (!v) return 0;
        const std::string name = textAt(*v, f.at(key));
        for (const Image& image : scene_.images)
            if (image.name == name) return image.id;
        failAt(f.at(key), "no image named " + inQuotes(name));
    }

    void surface(const Json& v, const std::string& path) {
        std::vector<std::string_view> keys{"name",
                                           "color",
                                           "replacement_color",
                                           "reflection_options",
                                           "refraction_options",
                                           "reflection_image",
                                           "refraction_image",
                                           "reflection_seam_angle",
                                           "refraction_seam_angle",
                                           "tree",
                                           "textures"};
        for (const auto& n : kSurfaceNumbers) keys.push_back(n.first);
        const Fields f(v, path, keys);
        Surface s;
        s.name = textAt(f.required("name"), f.at("name"));
        if (surfaceNamed(s.name) >= 0) failAt(f.at("name"), "another surface is named " + inQuotes(s.name));
        s.color = f.triple("color", s.color);
        s.replacementColor = f.triple("replacement_color", s.replacementColor);
        for (const auto& [key, member] : kSurfaceNumbers) s.*member = f.number(key, s.*member);
        s.reflectionOptions = f.choice("reflection_options", s.reflectionOptions, kTraceOptions);
        s.refractionOptions = f.choice("refraction_options", s.refractionOptions, kTraceOptions);
        s.reflectionImage = imageNamed(f, "reflection_image");
        s.refractionImage = imageNamed(f, "refraction_image");
        s.reflectionSeamAngle = f.number("reflection_seam_angle", 0) * kDegree;
        s.refractionSeamAngle = f.number("refraction_seam_angle", 0) * kDegree;
        if (const Json* tree = f.find("tree")) {
            const std::string file = textAt(*tree, f.at("tree"));
            s.tree = resolve(file);
            std::error_code ec;
            if (!fs::is_regular_file(s.tree, ec)) failAt(f.at("tree"), inQuotes(file) + ": no such file");
        }
        if (const Json* t = f.find("textures")) {
            const auto image = [this](const Json& name, const std::string& at) {
                for (const Image& i : scene_.images)
                    if (i.name == textAt(name, at)) return i.id;
                failAt(at, "no image named " + name.dump());
            };
            readSurfaceTextures(*t, f.at("textures"), s, image, itemRefs_);
        }
        scene_.surfaces.push_back(std::move(s));
    }

    int surfaceNamed(const std::string& name) const {
        for (std::size_t i = 0; i < scene_.surfaces.size(); ++i)
            if (scene_.surfaces[i].name == name) return int(i);
        return -1;
    }

    // An object's surface; "Default" is made when the file has none of that name.
    int objectSurface(const Fields& f) {
        const std::string name = f.text("surface", "Default");
        const int index = surfaceNamed(name);
        if (index >= 0) return index;
        if (name != "Default") failAt(f.at("surface"), "no surface named " + inQuotes(name));
        scene_.surfaces.emplace_back().name = name;
        return int(scene_.surfaces.size() - 1);
    }

    // Keys of a triple, or with `number` of one number held in all three.
    static std::vector<Animated::Key> animationKeys(const Fields& f, std::string_view key, double unit,
                                                    bool number = false) {
        std::vector<Animated::Key> keys;
        forEach(f, key, [&](const Json& v, const std::string& path, std::size_t) {
            const Fields k(v, path, {"time", "value"});
            const double time = numberAt(k.required("time"), k.at("time"));
            if (!keys.empty() && !(time > keys.back().time))
                failAt(k.at("time"), "must be later than the key before");
            const Json& value = k.required("value");
            const double n = number ? numberAt(value, k.at("value")) : 0;
            keys.push_back({time, scaled(number ? Vec3{n, n, n} : tripleAt(value, k.at("value")), unit)});
        });
        return keys;
    }

    static Placement placement(const Fields& f, int type) {
        Placement p;
        p.position.value = f.triple("position", {0, 0, 0});
        p.rotation.value = scaled(f.triple("rotation", {0, 0, 0}), kDegree);
        p.scale.value = f.triple("scale", {1, 1, 1});
        p.pivot = f.triple("pivot", {0, 0, 0});
        p.pivotRotation = scaled(f.triple("pivot_rotation", {0, 0, 0}), kDegree);
        if (const Json* v = f.find("keys")) {
            std::vector<std::string_view> names{"position", "rotation", "scale"};
            // A light's colour and intensity animate too; the light reads them.
            if (type == HOST_LIGHT) names.insert(names.end(), {"color", "intensity"});
            const Fields keys(*v, f.at("keys"), names);
            p.position.keys = animationKeys(keys, "position", 1);
            p.rotation.keys = animationKeys(keys, "rotation", kDegree);
            p.scale.keys = animationKeys(keys, "scale", 1);
        }
        return p;
    }

    // A new item with its name, placement and (for all but bones) parent.
    std::size_t addItem(int type, const Fields& f, const std::string& defaultName) {
        if (scene_.items.size() >= kMaxSceneItems)
            failAt(f.path(), "the scene holds more than " + std::to_string(kMaxSceneItems) + " items");
        const std::size_t index = scene_.items.size();
        Item& item = scene_.items.emplace_back();
        item.id = makeItemId(type, index);
        item.type = type;
        item.name = f.text("name", defaultName);
        item.placement = placement(f, type);
        if (type != HOST_BONE) {
            if (!itemNames_.emplace(item.name, index).second)
                failAt(f.at("name"), "another item is named " + inQuotes(item.name));
            if (const Json* parent = f.find("parent"))
                parents_.push_back({index, textAt(*parent, f.at("parent")), f.at("parent")});
        }
        return index;
    }

    void camera(const Fields& top) {
        const Json* v = top.find("camera");
        const Fields f(v ? *v : kNoKeys, "camera", placementKeys({"name", "fov", "parent"}));
        const std::size_t index = addItem(HOST_CAMERA, f, "Camera");
        const double fov = f.number("fov", 50);
        if (!(fov > 0 && fov < 180)) failAt(f.at("fov"), "must be a number above 0 and below 180");
        scene_.items[index].camera.fieldOfView = fov * kDegree;
    }

    void light(const Json& v, const std::string& path, std::size_t n) {
        const Fields f(v, path,
                       placementKeys({"name", "type", "color", "intensity", "falloff", "range", "cone_angle",
                                      "edge_angle", "shadow", "shadow_color", "affect_diffuse", "affect_specular",
                                      "image", "parent"}));
        const std::size_t index = addItem(HOST_LIGHT, f, "Light " + std::to_string(n + 1));
        Light& l = scene_.items[index].light;
        l.type = f.choice("type", l.type, {{"distant", LIGHT_DISTANT}, {"point", LIGHT_POINT}, {"spot", LIGHT_SPOT}});
        l.color = f.triple("color", l.color);
        l.intensity = f.number("intensity", l.intensity);
        l.falloff = f.choice("falloff", l.falloff,
                             {{"none", FALLOFF_NONE},
                              {"linear", FALLOFF_LINEAR},
                              {"inverse", FALLOFF_INVERSE},
                              {"inverse_square", FALLOFF_INVERSE_SQUARE}});
        l.range = f.positive("range", l.range);
        const double cone = f.between("cone_angle", l.coneAngle / kDegree, 0, 90);
        const double edge = f.between("edge_angle", std::min(cone, l.edgeAngle / kDegree), 0, cone);
        l.coneAngle = cone * kDegree;
        l.edgeAngle = edge * kDegree;
        l.shadowType = f.choice("shadow", l.shadowType, {{"raytrace", SHADOW_RAYTRACE}, {"off", SHADOW_OFF}});
        l.shadowColor = f.triple("shadow_color", l.shadowColor);
        l.affectDiffuse = f.flag("affect_diffuse", l.affectDiffuse);
        l.affectSpecular = f.flag("affect_specular", l.affectSpecular);
        l.image = imageNamed(f, "image");
        if (const Json* keys = f.find("keys")) {
            const Fields k(*keys, f.at("keys"), {"position", "rotation", "scale", "color", "intensity"});
            l.colorKeys = animationKeys(k, "color", 1);
            l.intensityKeys = animationKeys(k, "intensity", 1, true);
        }
    }

    void object(const Json& v, const std::string& path, std::size_t n) {
        if (!v.is_object()) failAt(path, "must be an object");
        const auto typeValue = v.find("type");
        const std::string typePath = keyPath(path, "type");
        if (typeValue == v.end()) failAt(typePath, "must be given");
        const std::string type = textAt(*typeValue, typePath);
        std::vector<std::string_view> keys =
            placementKeys({"name", "type", "surface", "parent", "bones", "vertex_maps", "exclude"});
        if (type == "sphere") keys.insert(keys.end(), {"radius", "segments"});
        else if (type == "plane" || type == "box") keys.push_back("size");
        else if (type == "mesh") keys.push_back("file");
        else failAt(typePath, "must be one of \"sphere\", \"plane\", \"box\", \"mesh\"");
        const Fields f(v, path, keys);

        const std::size_t index = addItem(HOST_OBJECT, f, "Object " + std::to_string(n + 1));
        const HostID id = scene_.items[index].id;
        Object object;
        object.filename = type;
        object.mesh = mesh(f, type, object.filename);
        object.mesh.polygonSurface.assign(object.mesh.polygons.size(), objectSurface(f));
        forEach(f, "vertex_maps",
                [&](const Json& m, const std::string& p, std::size_t) { vertexMap(m, p, object.mesh); });
        exclusions(f, object);
        scene_.items[index].object = std::move(object);
        forEach(f, "bones", [&](const Json& b, const std::string& p, std::size_t k) {
            const Fields bone(b, p, placementKeys({"name"}));
            scene_.items[addItem(HOST_BONE, bone, "Bone " + std::to_string(k + 1))].parent = id;
        });
    }

    void countMeshElements(const std::string& path, std::size_t n) {
        meshElements_ += n;
        if (meshElements_ > kMaxSceneMeshElements)
            failAt(path, "the scene's meshes hold more than " + std::to_string(kMaxSceneMeshElements) +
                             " points, polygon corners and vertex-map values");
    }

    Mesh mesh(const Fields& f, const std::string& type, std::string& filename) {
        Mesh m;
        if (type == "sphere") {
            m = sphereMesh(f.positive("radius", 0.5),
                           f.integer("segments", 24, kMinSphereSegments, kMaxSphereSegments));
        } else if (type == "plane") {
            const Json* v = f.find("size");
            const std::vector<float> size = v ? floatsAt(*v, f.at("size"), 2) : std::vector<float>{1, 1};
            if (!(size[0] > 0 && size[1] > 0)) failAt(f.at("size"), "must be an array of two positive numbers");
            m = planeMesh(size[0], size[1]);
        } else if (type == "box") {
            const Vec3 size = f.triple("size", {1, 1, 1});
            if (!(size[0] > 0 && size[1] > 0 && size[2] > 0))
                failAt(f.at("size"), "must be an array of three positive numbers");
            m = boxMesh(size);
        } else {
            const std::string file = textAt(f.required("file"), f.at("file"));
            filename = resolve(file);
            std::string error;
            if (!readObjMesh(filename, kMaxSceneMeshElements - meshElements_, m, error))
                failAt(f.at("file"), inQuotes(file) + ": " + error);
        }
        countMeshElements(f.path(), meshElements(m));
        return m;
    }

    void vertexMap(const Json& v, const std::string& path, Mesh& mesh) {
        const Fields f(v, path, {"name", "type", "points", "polygons"});
        VertexMap map;
        map.name = textAt(f.required("name"), f.at("name"));
        f.required("type");
        const MapKind kind = f.choice("type", MapKind{},
                                      {{"uv", {HOST_VMAP_TXUV, 2}},
                                       {"rgb", {HOST_VMAP_RGB, 3}},
                                       {"rgba", {HOST_VMAP_RGBA, 4}},
                                       {"weight", {HOST_VMAP_WGHT, 1}}});
        map.type = kind.type;
        map.dimension = kind.dimension;
        const std::size_t dim = std::size_t(kind.dimension);
        if (const Json* points = f.find("points")) {
            arrayAt(*points, f.at("points"));
            if (points->size() > mesh.points.size())
                failAt(f.at("points"), "has " + std::to_string(points->size()) + " values but the mesh only " +
                                           std::to_string(mesh.points.size()) + " points");
            countMeshElements(f.at("points"), points->size() * dim);
            for (std::size_t k = 0; k < points->size(); ++k)
                if (!(*points)[k].is_null())
                    map.points[HostID(k + 1)] = floatsAt((*points)[k], indexPath(f.at("points"), k), dim);
        }
        forEach(f, "polygons", [&](const Json& c, const std::string& p, std::size_t) {
            const Fields corner(c, p, {"polygon", "point", "value"});
            countMeshElements(p, dim);
            const int polygon = integerAt(corner.required("polygon"), corner.at("polygon"), 1,
                                          int(mesh.polygons.size()));
            const int point = integerAt(corner.required("point"), corner.at("point"), 1, int(mesh.points.size()));
            const auto& vertices = mesh.polygons[std::size_t(polygon) - 1];
            if (std::find(vertices.begin(), vertices.end(), point) == vertices.end())
                failAt(corner.at("point"), "point " + std::to_string(point) + " is not a vertex of polygon " +
                                               std::to_string(polygon));
            map.polygons[{point, polygon}] = floatsAt(corner.required("value"), corner.at("value"), dim);
        });
        // A map given in the file replaces the mesh's own of that type and name.
        std::erase_if(mesh.maps, [&](const VertexMap& m) { return m.type == map.type && m.name == map.name; });
        mesh.maps.push_back(std::move(map));
    }

    void exclusions(const Fields& f, Object& object) {
        const Json* v = f.find("exclude");
        if (!v) return;
        const Fields x(*v, f.at("exclude"), {"lights", "radiosity", "caustics"});
        forEach(x, "lights", [&](const Json& name, const std::string& path, std::size_t) {
            const auto it = itemNames_.find(textAt(name, path));
            if (it == itemNames_.end() || scene_.items[it->second].type != HOST_LIGHT)
                failAt(path, "no light named " + inQuotes(name.get<std::string>()));
            object.excludedLights.push_back(scene_.items[it->second].id);
        });
        object.excludeRadiosity = x.flag("radiosity", false);
        object.excludeCaustics = x.flag("caustics", false);
    }

    void resolveItemRefs() {
        for (const PendingItemRef& r : itemRefs_) {
            const auto it = itemNames_.find(r.name);
            if (it == itemNames_.end()) failAt(r.path, "no item named " + inQuotes(r.name));
            *r.target = scene_.items[it->second].id;
        }
    }

    void resolveParents() {
        for (const PendingParent& p : parents_) {
            const auto it = itemNames_.find(p.name);
            if (it == itemNames_.end()) failAt(p.path, "no item named " + inQuotes(p.name));
            scene_.items[p.item].parent = scene_.items[it->second].id;
        }
        // Each item is walked up from at most once, so a long chain costs
        // no more than its length.
        enum : char { Unseen, OnWalk, Done };
        std::vector<char> state(scene_.items.size(), Unseen);
        for (const PendingParent& p : parents_) {
            std::vector<std::size_t> walk;
            for (std::size_t at = p.item; state[at] != Done;) {
                if (state[at] == OnWalk) failAt(p.path, "the parents of " + inQuotes(scene_.items[p.item].name) +
                                                            " come back to it");
                state[at] = OnWalk;
                walk.push_back(at);
                const Item* parent = findItem(scene_, scene_.items[at].parent);
                if (!parent) break;
                at = std::size_t(parent - scene_.items.data());
            }
            for (std::size_t w : walk) state[w] = Done;
        }
    }
};

// nlohmann's messages start with an internal tag in brackets.
std::string parseMessage(const std::string& what) {
    const std::size_t tag = what.find("] ");
    return tag == std::string::npos ? what : what.substr(tag + 2);
}
}  // namespace

bool readScene(std::string_view text, const std::string& directory, Scene& out, std::string& error) {
    if (text.size() > kMaxSceneBytes) {
        error = "larger than " + std::to_string(kMaxSceneBytes >> 20) + " MiB";
        return false;
    }
    try {
        const Json doc = parseJson(text);
        out = SceneReader(directory).read(doc);
        return true;
    } catch (const JsonError& e) {
        error = e.what();
    } catch (const Json::exception& e) {  // syntax errors and numbers out of range
        error = "not valid JSON: " + parseMessage(e.what());
    }
    return false;
}

bool loadSceneFile(const std::string& path, Scene& out, std::string& error) {
    std::string text;
    if (!readFile(path, text, error)) return false;
    Scene scene;
    if (!readScene(text, fs::path(path).parent_path().string(), scene, error)) return false;
    scene.path = path;
    scene.name = fs::path(path).filename().string();
    out = std::move(scene);
    return true;
}

}  // namespace vxs
