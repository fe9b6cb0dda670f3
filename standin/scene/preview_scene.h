// The scene previews are lit by when no scene file is given.
#pragma once

#include "standin/scene/scene.h"

namespace vxs {

// One white distant light shining from the upper left, in front of the
// ball, and a dim ambient light, so that a material reads as a lit ball.
Scene defaultPreviewScene();

}  // namespace vxs
