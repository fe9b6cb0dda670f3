// Textures and envelopes as scene files write them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standin/scene/json_fields.h"
#include "standin/textures/texture.h"

namespace vxs {

// An item named in a layer, to be resolved once every item is read.
struct PendingItemRef {
    HostID* target;
    std::string name, path;
};

using ImageByName = std::function<HostID(const Json& name, const std::string& path)>;

// A surface's "textures" object: channel name -> {"layers": [...]}.
void readSurfaceTextures(const Json& v, const std::string& path, Surface& surface, const ImageByName& image,
                         std::vector<PendingItemRef>& pending);

// An envelope: a number, or {"value", "keys": [{"time", "value", "shape",
// "tension", "continuity", "bias"}], "pre", "post"}.
Envelope readEnvelope(const Json& v, const std::string& path);

}  // namespace vxs
