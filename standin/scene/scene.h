// What the stand-in host knows of the scene its service tables describe.
// Plain data, filled by the scene-file reader (or by hand in tests) and only
// read while a module renders.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/services.h"
#include "host/texture_services.h"

namespace vxs {

using Vec3 = std::array<double, 3>;

// A value animated by keys; linear between keys, held before the first and
// after the last. Without keys it is `value`.
struct Animated {
    struct Key {
        double time;
        Vec3 value;
    };
    Vec3 value{};
    std::vector<Key> keys;

    Vec3 at(double time) const;
};

// The value of keys at `time` as Animated::at gives it, `value` without keys.
Vec3 animatedAt(const Vec3& value, const std::vector<Animated::Key>& keys, double time);

// Placement of an item relative to its parent. Rotation is heading, pitch,
// bank in radians (about y, then x, then z).
struct Placement {
    Animated position;
    Animated rotation;
    Animated scale{{1, 1, 1}, {}};
    Vec3 pivot{};
    Vec3 pivotRotation{};
};

enum LightType { LIGHT_DISTANT = 0, LIGHT_POINT = 1, LIGHT_SPOT = 2 };
enum Falloff { FALLOFF_NONE = 0, FALLOFF_LINEAR = 1, FALLOFF_INVERSE = 2, FALLOFF_INVERSE_SQUARE = 3 };
enum ShadowType { SHADOW_OFF = 0, SHADOW_RAYTRACE = 1 };

struct Light {
    int type = LIGHT_DISTANT;
    Vec3 color{1, 1, 1};
    double intensity = 1;
    int falloff = FALLOFF_NONE;
    double range = 1;                      // metres, where a falloff reaches zero or half
    double coneAngle = 0.5235987755982988;  // radians, spot cone half angle (30 degrees)
    double edgeAngle = 0.08726646259971647; // radians, soft edge inside the cone (5 degrees)
    int shadowType = SHADOW_RAYTRACE;
    Vec3 shadowColor{0, 0, 0};
    bool affectDiffuse = true, affectSpecular = true;
    HostID image = 0;  // projected image of a spot light
    // Keys that animate the colour and the intensity (in all three
    // elements); without keys the values above hold.
    std::vector<Animated::Key> colorKeys, intensityKeys;
};

// The light's colour times its intensity at `time`.
Vec3 lightColor(const Light& light, double time);

struct VertexMap {
    uint32_t type = HOST_VMAP_TXUV;  // "TXUV", "RGB ", "RGBA", "WGHT"
    std::string name;
    int dimension = 2;
    std::map<HostID, std::vector<float>> points;                      // by point id
    std::map<std::pair<HostID, HostID>, std::vector<float>> polygons;  // by (point, polygon)
};

// Points and polygons are numbered from 1 (0 means none): point id k is
// points[k - 1], polygon id k is polygons[k - 1].
struct Mesh {
    std::vector<std::array<float, 3>> points;
    std::vector<std::vector<HostID>> polygons;
    std::vector<int> polygonSurface;  // index into Scene::surfaces, per polygon
    std::vector<VertexMap> maps;
};

struct Object {
    Mesh mesh;                    // in object coordinates
    std::string filename;         // the OBJ it came from, or the primitive's name
    std::vector<HostID> excludedLights;
    bool excludeRadiosity = false, excludeCaustics = false;
};

// The pseudo-lights through which illuminate hands out radiosity and caustics.
inline constexpr HostID kRadiosityLight = 0x21000000;
inline constexpr HostID kCausticsLight = 0x22000000;

// Whether the object does not receive the light (or pseudo-light).
bool excludes(const Object& object, HostID light);

struct Camera {
    double fieldOfView = 0.8726646259971648;  // radians, horizontal (50 degrees)
};

struct Item {
    HostID id = 0;
    int type = HOST_OBJECT;  // HOST_OBJECT, HOST_LIGHT, HOST_CAMERA, HOST_BONE
    std::string name;
    HostID parent = 0;  // bones: their object; others: 0 or a parent item
    Placement placement;
    Light light;    // for lights
    Object object;  // for objects
    Camera camera;  // for cameras
};

enum { REFL_BACKDROP = 0, REFL_RAYTRACE_BACKDROP = 1, REFL_SPHERICAL = 2, REFL_RAYTRACE_SPHERICAL = 3 };

struct Surface {
    std::string name;
    Vec3 color{0.785, 0.785, 0.785};
    double luminosity = 0, diffuse = 1, specular = 0, glossiness = 0.4, reflection = 0;
    double transparency = 0, refractionIndex = 1, translucency = 0;
    double colorHighlights = 0, colorFilter = 0, additiveTransparency = 0, diffuseSharpness = 0;
    double reflectionBlurring = 0, refractionBlurring = 0;
    double replacementPercentage = 0;
    Vec3 replacementColor{1, 1, 1};
    int reflectionOptions = REFL_RAYTRACE_BACKDROP, refractionOptions = REFL_RAYTRACE_BACKDROP;
    HostID reflectionImage = 0, refractionImage = 0;
    double reflectionSeamAngle = 0, refractionSeamAngle = 0;  // radians
    std::string tree;  // tree file that attaches the shader; empty = none
    // Textures layered over channels, by channel name ("BaseColor", "Bump", ...).
    std::map<std::string, std::shared_ptr<HostTexture>> textures;
};

struct Image {
    HostID id = 0;
    std::string name;
    std::string path;
    int width = 0, height = 0;
    bool hasAlpha = false;
    std::vector<float> rgba;  // width x height x 4, linear 0..1, top row first
};

// A gradient backdrop, as hosts offer it: the sky runs from `sky` at the
// horizon to `zenith` straight up, the ground from `ground` to `nadir`
// straight down. A squeeze above 1 narrows the horizon's band.
struct BackdropGradient {
    bool on = false;
    Vec3 zenith{0, 0.16, 0.31}, sky{0.47, 0.59, 0.78}, ground{0.2, 0.16, 0.12}, nadir{0.39, 0.31, 0.23};
    double skySqueeze = 2, groundSqueeze = 2;
};

struct Scene {
    std::string name = "Untitled";
    std::string path;  // the scene file, for relative paths
    int frameStart = 0, frameEnd = 0;
    int frameWidth = 640, frameHeight = 480;
    double framesPerSecond = 24.0;
    int renderOpts = 0;  // HOST_RENDER_SHADOWS | ..._REFLECT | ..._REFRACT
    int radiosityRays = 0;  // rays of the one-bounce gather per shaded point; 0 = no radiosity
    Vec3 ambientColor{1, 1, 1};
    double ambientIntensity = 0.05;
    Vec3 backdrop{0, 0, 0};
    BackdropGradient gradient;  // replaces `backdrop` when on
    std::vector<Item> items;  // lights, cameras, objects and bones, in file order
    std::vector<Surface> surfaces;
    std::vector<Image> images;
};

// An affine map: x -> linear x + offset, with `linear` stored by rows.
struct Mat {
    double linear[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 offset{};

    Vec3 point(const Vec3& p) const;
    Vec3 vector(const Vec3& v) const;  // no offset
    // False when the map flattens space.
    bool inverse(Mat& out) const;
};
Mat operator*(const Mat& a, const Mat& b);  // b first, then a

// Carries surface normals through a map (the inverse transpose), to unit
// length; (0, 0, 0) when the map flattens space. The cofactors are worked
// out once, for the many normals of one object.
class NormalMap {
public:
    explicit NormalMap(const Mat& m);
    Vec3 operator()(const Vec3& n) const;

private:
    double cof_[3][3];
    double sign_ = 1;
    bool flat_ = false;
};

// Heading, pitch, bank: a vector is banked about z first, then pitched about
// x, then turned in heading about y. Heading turns +z towards +x, pitch turns
// +z towards -y, bank turns +x towards +y.
Mat rotationHPB(const Vec3& hpb);

// Parent space from item space at `time`: translate by the position, rotate,
// undo the pivot rotation, scale, then move the pivot point to the origin.
// So the position is where the pivot point lands in the parent's space.
Mat localTransform(const Placement& placement, double time);

// The item by id, or null. Ids made by the scene-file reader are found
// without a search.
const Item* findItem(const Scene& scene, HostID id);
// The first item of the type with the name, or null.
const Item* findItem(const Scene& scene, int type, std::string_view name);

// World space from item space at `time`, through the parent chain. A missing
// parent ends the chain; a looping chain is cut after as many steps as the
// scene has items.
Mat worldTransform(const Scene& scene, const Item& item, double time);

// HostItemInfo.param: the vector of a HOST_IP_* code at `time`. Position,
// rotation, scaling, pivot and pivot rotation as placed (angles in radians);
// the right, up and forward axes as unit vectors in the parent's space; the
// world position (where the pivot point lands in the world) and the world
// axes, as unit vectors, from the world transform. An unknown code gives
// (0, 0, 0).
Vec3 itemParam(const Scene& scene, const Item& item, int code, double time);

// What a ray along `direction` that finds nothing sees.
Vec3 backdropColor(const Scene& scene, const Vec3& direction);

// Item ids of the scene-file reader: the type in the high byte, the index in
// Scene::items plus 1 in the rest.
HostID makeItemId(int type, std::size_t index);

}  // namespace vxs
