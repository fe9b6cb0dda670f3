// The "Live view": the scene from its camera, shaded with the trees as they
// stand in the editor, rendered again from the coarse pass whenever the
// edited tree changes. A host learns of changes only by asking: after each
// interface event the edited instance saves itself into memory, and the
// view compares that with what it last rendered. It never renders the
// editor's own instances, which the interface thread changes, but copies
// made with the module's copy callback between events.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "standin/render/progressive.h"
#include "standin/ui/panel.h"

namespace vxs {

class LiveView {
public:
    inline static const std::string kTitle = "Live view";
    static constexpr int kStatusHeight = 20;

    // `instances`, by surface, are the editor's (null for a surface without
    // a tree); `edited` is the surface the editor holds. They must outlive
    // the view. `passDone` is called on a render thread after each pass.
    // Throws std::runtime_error when Embree cannot build the scene.
    LiveView(const Scene& scene, const Shader& shader, std::vector<HostInstance> instances, size_t edited,
             const RenderSettings& settings, std::function<void()> passDone = {});
    ~LiveView();

    // Picture and status line; the picture keeps the scene's size.
    ui::Panel& panel() { return panel_; }

    // After each interface event: renders the edited tree anew if it
    // changed since the view last rendered it.
    void afterEvent();
    // The editor now holds `instance` for `surface`.
    void edit(size_t surface, HostInstance instance);
    size_t edited() const { return edited_; }

    // Shows the newest pass, when there is one the panel does not show.
    void refresh();
    // True once the last pass of the newest tree is done and shown.
    bool waitFinished(std::chrono::milliseconds timeout);
    // The last pass's picture at the scene's size, written as `render` writes
    // its output (by the extension: PNG, JPEG or OpenEXR).
    bool writeShot(const std::string& path, std::string& error) const;

    // A click on a pixel of a surface other than the edited one.
    std::function<void(size_t surface)> pickSurface;

    const ProgressiveRender& renderer() const { return render_; }

private:
    std::string saved(HostInstance instance) const;
    void drawPicture();
    void drawStatus();
    void hover(int x, int y);

    const Scene& scene_;
    const Shader& shader_;
    std::vector<HostInstance> instances_;
    size_t edited_;
    std::vector<std::string> rendered_;  // by surface: the saved tree its copy was made from
    SurfaceShaders copies_;
    ProgressiveRender render_;
    ui::Panel panel_;
    ProgressiveRender::Pass shown_;
    uint64_t shownPasses_ = 0;
    std::string pointing_;  // the pixel under the pointer and its surface
};

}  // namespace vxs
