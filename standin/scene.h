// What the stand-in host knows of the scene its service tables describe.
#pragma once

#include <string>

namespace vxs {

// An empty scene: no items, no images, one frame.
struct Scene {
    std::string name = "Untitled";
    int frameStart = 0, frameEnd = 0;
    int frameWidth = 640, frameHeight = 480;
    double framesPerSecond = 24.0;
    int renderOpts = 0;
};

}  // namespace vxs
