// "LW Item Info 3", "LW Light Info 3" and "LW Backdrop Info 2".
#include "standin/services/globals.h"
#include "standin/services/scene_services.h"

namespace vxs {

namespace {
const Item* itemOf(HostID id) { return findItem(currentScene(), id); }

const Light* lightOf(HostID id) {
    const Item* item = itemOf(id);
    return item && item->type == HOST_LIGHT ? &item->light : nullptr;
}

void put(double out[3], const Vec3& v) {
    for (int i = 0; i < 3; ++i) out[i] = v[i];
}

bool follows(const Item& item, int type, HostID parent) {
    return item.type == type && (type != HOST_BONE || item.parent == parent);
}

// Bones list within their object; other types list scene-wide.
HostID first(int type, HostID parent) {
    for (const Item& item : currentScene().items)
        if (follows(item, type, parent)) return item.id;
    return 0;
}

HostID next(HostID id) {
    const Scene& scene = currentScene();
    const Item* item = findItem(scene, id);
    if (!item) return 0;
    for (auto it = scene.items.begin() + (item - scene.items.data()) + 1; it != scene.items.end(); ++it)
        if (follows(*it, item->type, item->parent)) return it->id;
    return 0;
}

HostID firstChild(HostID parent) {
    if (!parent) return 0;
    for (const Item& item : currentScene().items)
        if (item.parent == parent) return item.id;
    return 0;
}

int type(HostID id) {
    const Item* item = itemOf(id);
    return item ? item->type : -1;
}

const char* name(HostID id) {
    const Item* item = itemOf(id);
    return item ? item->name.c_str() : "";
}

void param(HostID id, int code, double time, double out[3]) {
    const Item* item = itemOf(id);
    put(out, item ? itemParam(currentScene(), *item, code, time) : Vec3{});
}

const HostItemInfo kItemInfo{
    .first = first, .next = next, .firstChild = firstChild, .type = type, .name = name, .param = param};

int lightType(HostID id) {
    const Light* light = lightOf(id);
    return light ? light->type : -1;
}

HostID lightImage(HostID id, double) {
    const Light* light = lightOf(id);
    return light ? light->image : 0;
}

void color(HostID id, double time, double out[3]) {
    const Light* light = lightOf(id);
    put(out, light ? lightColor(*light, time) : Vec3{});
}

int lightFalloff(HostID id) {
    const Light* light = lightOf(id);
    return light ? light->falloff : 0;
}

double lightRange(HostID id, double) {
    const Light* light = lightOf(id);
    return light ? light->range : 0;
}

void ambient(double, double out[3]) {
    const Scene& scene = currentScene();
    for (int i = 0; i < 3; ++i) out[i] = scene.ambientColor[i] * scene.ambientIntensity;
}

int lightFlags(HostID id) {
    const Light* light = lightOf(id);
    if (!light) return 0;
    return (light->affectDiffuse ? 0 : HOST_LIGHT_NO_DIFFUSE) | (light->affectSpecular ? 0 : HOST_LIGHT_NO_SPECULAR);
}

int lightShadowType(HostID id) {
    const Light* light = lightOf(id);
    return light ? light->shadowType : 0;
}

void lightShadowColor(HostID id, double, double out[3]) {
    const Light* light = lightOf(id);
    put(out, light ? light->shadowColor : Vec3{});
}

void lightCone(HostID id, double, double* radius, double* edge) {
    const Light* light = lightOf(id);
    *radius = light ? light->coneAngle : 0;
    *edge = light ? light->edgeAngle : 0;
}

const HostLightInfo kLightInfo{.type = lightType,
                               .image = lightImage,
                               .color = color,
                               .falloff = lightFalloff,
                               .range = lightRange,
                               .ambient = ambient,
                               .flags = lightFlags,
                               .shadowType = lightShadowType,
                               .shadowColor = lightShadowColor,
                               .coneAngles = lightCone};

void backdrop(double, const double ray[3], double color[3]) {
    put(color, backdropColor(currentScene(), {ray[0], ray[1], ray[2]}));
}

const HostBackdropInfo kBackdropInfo{.backdrop = backdrop};
}  // namespace

const HostItemInfo* itemInfoService() { return &kItemInfo; }
const HostLightInfo* lightInfoService() { return &kLightInfo; }
const HostBackdropInfo* backdropService() { return &kBackdropInfo; }

}  // namespace vxs
