// valtorimex eval TREE [--record RECORD.json] [--scene SCENE.json] [--module PATH]
#include <cstdio>
#include <memory>
#include <utility>

#include "standin/cli/commands.h"
#include "standin/streams/files.h"
#include "standin/services/module_loader.h"
#include "standin/cli/record_json.h"
#include "standin/cli/record_scene.h"
#include "standin/scene/scene_file.h"
#include "standin/streams/shader_tree.h"
#include "standin/streams/tree_file.h"
#include "standin/render/shading.h"

namespace vxs {

namespace {
struct EvalOptions {
    std::string tree, record, scene, module;
};

int runEval(const EvalOptions& o) {
    std::string error, treeBytes;
    // A tree that cannot be read is named before any other input.
    if (!readTreeBytes(o.tree, treeBytes, error)) return reportBadInput(o.tree, error);

    Scene& scene = currentScene();
    const bool withScene = !o.scene.empty();
    if (withScene && !loadSceneFile(o.scene, scene, error)) return reportBadInput(o.scene, error);
    const int frame = scene.frameStart;
    const double time = frame / scene.framesPerSecond;

    HostShading sa = defaultShading();
    const Surface* surface = nullptr;
    if (!o.record.empty()) {
        std::string text;
        RecordTarget target;
        if (!readFile(o.record, text, error) || !readRecordJson(text, sa, error, withScene ? &target : nullptr))
            return reportBadInput(o.record, error);
        if (target.polygon && target.object.empty()) return reportBadInput(o.record, "\"polygon\" needs \"object\"");
        if (!target.object.empty() && !aimRecord(scene, target, time, sa, surface, error))
            return reportBadInput(o.record, error);
    }

    const auto module = Module::open(o.module, error);
    if (!module) return reportBadInput(o.module, error);
    const auto shader = Shader::activate(*module, error);
    if (!shader) return reportBadInput(o.module, error);
    {
        // The shader belongs to the sample's surface, as in a render.
        const auto inst = shader->make(const_cast<Surface*>(surface));
        if (!inst) return reportBadInput(o.module, "create made no instance");
        if (!loadShaderTree(*shader, inst.get(), std::move(treeBytes), error)) return reportBadInput(o.tree, error);
        shader->init(inst.get(), 0);
        shader->newTime(inst.get(), frame, time);
        shader->evaluate(inst.get(), sa);
        shader->cleanup(inst.get());
    }
    std::printf("%s\n", recordJson(sa).c_str());
    return 0;
}
}  // namespace

void addEvalCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<EvalOptions>();
    o->module = defaultModulePath();
    CLI::App* cmd = app.add_subcommand(
        "eval", "Evaluates a tree file for one shaded sample and prints the record after evaluation as JSON.");
    cmd->add_option("TREE", o->tree, "Tree file, in either stream form")->required();
    cmd->add_option("--record", o->record,
                    "JSON object of record keys to set before evaluation; missing keys keep their defaults");
    cmd->add_option("--scene", o->scene,
                    "Scene file the host's services describe; the record may then name an \"object\" and its "
                    "\"polygon\" (from 1)");
    cmd->add_option("--module", o->module, "The plug-in module to load")->capture_default_str();
    cmd->callback([o, &status] { status = runEval(*o); });
}

}  // namespace vxs
