// valtorimex render [SCENE] [-o OUT.png|.jpg|.exr] [--width W] [--height H]
//                   [--frame F | --frames A-B[:STEP]] [--skip-existing]
//                   [--samples N] [--threads N] [--module PATH]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "standin/cli/commands.h"
#include "standin/cli/frame_range.h"
#include "standin/scene/demo_scene.h"
#include "standin/services/globals.h"
#include "standin/render/picture_file.h"
#include "standin/render/renderer.h"
#include "standin/scene/scene_file.h"
#include "standin/streams/files.h"

namespace vxs {

namespace {
// Larger pictures are refused rather than allocated: 12 bytes a pixel.
constexpr int64_t kMaxPixels = int64_t{1} << 26;

struct RenderOptions {
    std::string scene, output = "render.png", module;
    std::optional<int> width, height, frame;
    std::optional<std::string> frames;
    bool skipExisting = false;
    int samples = 1, threads = 0;
};

// The one line a sequence keeps at the foot of the terminal, redrawn after
// each frame; cleared before anything else is printed.
struct SequenceProgress {
    bool shown = isatty(STDERR_FILENO);
    int64_t total = 0, done = 0, rendered = 0;
    double renderSeconds = 0;

    void clear() const {
        if (shown) std::fputs("\r\033[K", stderr);
    }
    void draw(int frame, double seconds) const {
        if (!shown) return;
        const double left = rendered ? renderSeconds / double(rendered) * double(total - done) : 0;
        std::fprintf(stderr, "frame %d (%lld of %lld), %.2f s, about %.1f s left", frame, static_cast<long long>(done),
                     static_cast<long long>(total), seconds, left);
        std::fflush(stderr);
    }
};

// One side given alone keeps the scene's aspect ratio.
void applySize(const RenderOptions& o, Scene& scene) {
    const double aspect = double(scene.frameWidth) / scene.frameHeight;
    const auto side = [](double v) { return int(std::clamp<double>(std::lround(v), 1, 16384)); };
    if (o.width && !o.height) scene.frameHeight = side(*o.width / aspect);
    if (o.height && !o.width) scene.frameWidth = side(*o.height * aspect);
    if (o.width) scene.frameWidth = *o.width;
    if (o.height) scene.frameHeight = *o.height;
}

int runRender(const RenderOptions& o) {
    std::string error;
    // The range and the output are checked before any work is done.
    std::optional<FrameRange> range;
    if (o.frames) {
        range = parseFrameRange(*o.frames, error);
        if (!range) return reportBadInput("--frames " + *o.frames, error);
        if (!hasFrameRun(o.output))
            return reportBadInput(o.output, "a sequence needs a run of # in the file name for the frame number");
    }
    const std::optional<PictureFormat> format = pictureFormat(o.output);
    if (!format) return reportBadInput(o.output, "cannot write such a picture: the name must end in .png, .jpg, .jpeg or .exr");
    const std::string firstPath = framePath(o.output, range ? range->first : o.frame.value_or(0));
    if (!canCreate(firstPath, error)) return reportBadInput(firstPath, error);
    // The demo's files live until the render is done; messages name the demo,
    // not the temporary folder it sits in.
    const bool useDemo = o.scene.empty();
    const std::optional<DemoScene> demo = useDemo ? DemoScene::write(error) : std::nullopt;
    if (useDemo && !demo) return reportBadInput("demo scene", error);
    const std::string scenePath = demo ? demo->scenePath() : o.scene;
    const std::string sceneName = useDemo ? "demo scene" : o.scene;
    Scene scene;
    if (!loadSceneFile(scenePath, scene, error)) return reportBadInput(sceneName, error);
    // The module reads the frame size from the scene, so it must agree
    // with the picture.
    applySize(o, scene);
    if (int64_t(scene.frameWidth) * scene.frameHeight > kMaxPixels)
        return reportBadInput(sceneName, std::to_string(scene.frameWidth) + " x " + std::to_string(scene.frameHeight) +
                                             " pixels is more than " + std::to_string(kMaxPixels) + " in all");
    if (o.frame && (*o.frame < scene.frameStart || *o.frame > scene.frameEnd))
        std::fprintf(stderr, "warning: frame %d is outside the scene's frames %d to %d\n", *o.frame, scene.frameStart,
                     scene.frameEnd);
    if (range && (range->first < scene.frameStart || range->last > scene.frameEnd))
        std::fprintf(stderr, "warning: frames %d to %d go beyond the scene's frames %d to %d\n", range->first,
                     range->last, scene.frameStart, scene.frameEnd);
    if (!range) range = FrameRange{o.frame.value_or(scene.frameStart), o.frame.value_or(scene.frameStart), 1};
    currentScene() = std::move(scene);
    const Scene& current = currentScene();

    std::unique_ptr<SurfaceShaders> shaders;
    if (std::any_of(current.surfaces.begin(), current.surfaces.end(), [](const Surface& s) { return !s.tree.empty(); })) {
        std::string where;
        shaders = SurfaceShaders::load(current, o.module, where, error);
        if (!shaders) return reportBadInput(useDemo && where != o.module ? sceneName : where, error);
    }

    RenderSettings settings;
    settings.samples = o.samples;
    settings.threads = o.threads;
    SequenceProgress progress;
    progress.total = range->count();
    // A single frame shows its tiles; a sequence shows its frames instead.
    settings.progress = progress.total == 1 && progress.shown;
    progress.shown = progress.shown && progress.total > 1;
    for (int64_t f = range->first; f <= range->last; f += range->step) {
        settings.frame = int(f);
        const std::string path = framePath(o.output, settings.frame);
        ++progress.done;
        double seconds = 0;
        std::error_code ec;
        if (o.skipExisting && std::filesystem::exists(path, ec)) {
            progress.clear();
            std::printf("%s: frame %d exists, skipped\n", path.c_str(), settings.frame);
        } else {
            RenderStats stats;
            const Picture picture = render(current, shaders.get(), settings, &stats);
            progress.clear();
            if (!writePicture(path, *format, picture, error)) return reportBadInput(path, error);
            ++progress.rendered;
            seconds = stats.seconds;
            progress.renderSeconds += seconds;
            std::printf("%s: %d x %d, frame %d, %d sample%s per pixel, %.2f s\n", path.c_str(), picture.width,
                        picture.height, settings.frame, settings.samples, settings.samples == 1 ? "" : "s",
                        seconds);
        }
        std::fflush(stdout);
        progress.draw(settings.frame, seconds);
    }
    progress.clear();
    return 0;
}
}  // namespace

void addRenderCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<RenderOptions>();
    o->module = defaultModulePath();
    CLI::App* cmd = app.add_subcommand(
        "render", "Renders a frame of a scene file to a PNG, JPEG or OpenEXR picture, shading surfaces with their trees through the module. "
                  "Without a scene it renders the built-in demo.");
    cmd->add_option("SCENE", o->scene, "Scene file (JSON); the built-in demo when left out");
    cmd->add_option("-o,--output", o->output,
                    "The picture to write: PNG, JPEG or OpenEXR (linear, unclamped) by its extension")->capture_default_str();
    cmd->add_option("--width", o->width, "Picture width in pixels; the scene's when left out, kept in proportion to --height when only that is given")
        ->check(CLI::Range(1, 16384));
    cmd->add_option("--height", o->height, "Picture height in pixels; the scene's when left out, kept in proportion to --width when only that is given")
        ->check(CLI::Range(1, 16384));
    CLI::Option* frame = cmd->add_option("--frame", o->frame, "The frame to render; the scene's first when left out");
    cmd->add_option("--frames", o->frames,
                    "A sequence FIRST-LAST[:STEP], each frame written to the -o name with its number in the run of # "
                    "(out-####.png), zero-padded")
        ->excludes(frame);
    cmd->add_flag("--skip-existing", o->skipExisting,
                  "Leave frames whose picture already exists, so that a stopped sequence can resume");
    cmd->add_option("--samples", o->samples, "Camera rays per pixel, stratified")
        ->check(CLI::Range(1, 1024))
        ->capture_default_str();
    cmd->add_option("--threads", o->threads, "Render threads; 0 for one per core")
        ->check(CLI::Range(0, 1024))
        ->capture_default_str();
    cmd->add_option("--module", o->module, "The plug-in module to load")->capture_default_str();
    cmd->callback([o, &status] { status = runRender(*o); });
}

}  // namespace vxs
