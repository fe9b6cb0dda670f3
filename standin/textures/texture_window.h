// The host's texture editor: a window per subscription listing a texture's
// layers, where layers are added, removed and reordered and the selected
// layer's settings are edited. Changes reach the texture at once.
#pragma once

#include <memory>

#include "host/texture_services.h"

namespace vxs {

inline constexpr const char* kTextureEditorTitle = "Texture Editor";

class TextureWindow {
public:
    TextureWindow();
    ~TextureWindow();
    TextureWindow(const TextureWindow&) = delete;
    TextureWindow& operator=(const TextureWindow&) = delete;

    // Shows the texture, its first layer selected, and opens without blocking.
    void open(HostTexture& texture);
    void close();
    bool isOpen() const;

private:
    struct Form;
    std::unique_ptr<Form> form_;
};

}  // namespace vxs
