// The built-in demo that `valtorimex render` shows without a scene: a scene
// file with its trees and meshes, made by the program itself.
#pragma once

#include <optional>
#include <string>

namespace vxs {

// Writes "demo.json" with its trees ("*.shd", text form) and meshes
// ("*.obj") into an existing folder. False, with a one-line reason in
// `error`, when a file cannot be written.
bool writeDemoScene(const std::string& folder, std::string& error);

// The demo in a fresh temporary folder, removed again with the object.
class DemoScene {
public:
    static std::optional<DemoScene> write(std::string& error);
    DemoScene(DemoScene&& other) noexcept : folder_(std::move(other.folder_)) { other.folder_.clear(); }
    DemoScene& operator=(DemoScene&&) = delete;
    ~DemoScene();

    std::string scenePath() const { return folder_ + "/demo.json"; }

private:
    explicit DemoScene(std::string folder) : folder_(std::move(folder)) {}
    std::string folder_;
};

}  // namespace vxs
