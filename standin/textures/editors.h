// "Texture Editor 2": each subscription has a texture editor window of its
// own, opened on the texture it is given.
#pragma once

#include "host/texture_services.h"

namespace vxs {

const HostTextureEditor* textureEditorService();

}  // namespace vxs
