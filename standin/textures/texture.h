// The stand-in's layered textures: an ordered stack of procedural, image and
// gradient layers, each placed in space and blended over what lies below.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/texture_services.h"
#include "standin/textures/envelope.h"

namespace vxs {

enum LayerType { LAYER_PROCEDURAL, LAYER_IMAGE, LAYER_GRADIENT };
enum Blend { BLEND_NORMAL, BLEND_ADD, BLEND_SUBTRACT, BLEND_MULTIPLY, BLEND_DIFFERENCE };
enum Projection { PROJ_PLANAR, PROJ_CUBIC, PROJ_SPHERICAL, PROJ_CYLINDRICAL, PROJ_UV };

using Triple = std::array<double, 3>;

struct GradientKey {
    double position = 0;
    Triple colour{};
    double alpha = 1;
};

struct LayerSettings {
    int type = LAYER_PROCEDURAL;
    int blend = BLEND_NORMAL;
    double opacity = 1;  // animated by the "Opacity" channel of the layer's group
    bool invert = false;
    // Texture space: world or object coordinates, moved to the reference
    // item's world position when there is one, then centre, rotation
    // (heading, pitch, bank in radians) and size.
    bool world = false;
    HostID reference = 0;
    Triple centre{}, rotation{}, size{1, 1, 1};
    // Procedural: a pattern mixing colour2 (0) to colour (1); value and
    // bump textures take the mix as the value.
    int pattern = 0;
    Triple colour{1, 1, 1}, colour2{0, 0, 0};
    int octaves = 4;
    // Image map: the image is layer parameter 9.
    HostID image = 0;
    int projection = PROJ_PLANAR;
    int axis = 1;  // the planar, cylindrical and spherical axis: 0 x, 1 y, 2 z
    double repeatU = 1, repeatV = 1;
    std::string uvMap;
    // Gradient: keys over an input, the host's own or one of the context's.
    std::string input = "Y Coordinate";
    HostID inputItem = 0;
    std::string weightMap;
    std::vector<GradientKey> keys;  // by position
};

// A layer's settings and its channel group, which a copy copies with it.
struct TextureLayer : LayerSettings {
    std::unique_ptr<HostChanGroup> group;
    TextureLayer();
    TextureLayer(const TextureLayer& other);
    TextureLayer& operator=(const TextureLayer& other);
    TextureLayer(TextureLayer&&) = default;
    TextureLayer& operator=(TextureLayer&&) = default;
    // The opacity now and, without keys, at every time.
    void setOpacity(double opacity);
};

// The host's own gradient inputs, which every gradient layer can use; the
// rest come from the texture's context, when it has one.
inline constexpr const char* kHostGradientInputs[] = {"X Coordinate", "Y Coordinate", "Z Coordinate",
                                                      "Camera Distance", "Surface Slope"};
bool isHostGradientInput(std::string_view name);

int blendByName(std::string_view name);
const char* blendName(int blend);
int projectionByName(std::string_view name);
const char* projectionName(int projection);
int layerTypeByName(std::string_view name);
const char* layerTypeName(int type);

}  // namespace vxs

struct HostTextureContext {
    void* userData = nullptr;
    HostTextureTimeFunc time = nullptr;
    HostTextureEvalFunc eval = nullptr;
    HostTextureCleanupFunc cleanup = nullptr;
    struct Input {
        std::string name;
        HostGradientInput input;
    };
    std::vector<Input> inputs;
};

struct HostTextureLayer : vxs::TextureLayer {};

struct HostTexture {
    int returnType = HOST_TEXTURE_COLOR;
    std::string name;
    HostTextureContext* context = nullptr;
    HostChanGroup* envGroup = nullptr;
    std::vector<std::unique_ptr<HostTextureLayer>> layers;
    double time = 0;
    void* timeRecord = nullptr;  // the context's, from its time callback
};

namespace vxs {

// Blends the layers over value in place; the alpha of what was laid over it.
double evaluateTexture(const HostTexture& texture, HostTextureSample& sample, double value[3]);
void textureNewTime(HostTexture& texture, double time, int frame);
void textureCleanup(HostTexture& texture);

void saveTexture(const HostTexture& texture, const HostSaveState& state);
void loadTexture(HostTexture& texture, const HostLoadState& state);

const HostTextureFuncs* textureService();

}  // namespace vxs
