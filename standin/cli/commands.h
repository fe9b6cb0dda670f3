// The subcommands of `valtorimex`. Each adds itself to the application; when
// it runs it leaves the exit status in `status`.
#pragma once

#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "core/catalogue.h"
#include "standin/render/renderer.h"

namespace vxs {

// The exit status for input that cannot be used.
inline constexpr int kBadInput = 2;

void addEvalCommand(CLI::App& app, int& status);
void addInfoCommand(CLI::App& app, int& status);
void addConvertCommand(CLI::App& app, int& status);
void addRenderCommand(CLI::App& app, int& status);
void addPreviewCommand(CLI::App& app, int& status);
void addKindsCommand(CLI::App& app, int& status);
void addEditCommand(CLI::App& app, int& status);

// Writes "PATH: WHAT" as one line on standard error; returns kBadInput.
int reportBadInput(const std::string& path, const std::string& what);

// The node catalogue of the module code linked into this program, with the
// stand-in as its host, so that textures and envelopes in trees have a home.
std::unique_ptr<vx::NodeFactoryData> hostedCatalogue();

// A node's preview bytes as a picture, each pixel repeated scale x scale
// times. The PNG writer rounds v x 255, which gives every byte back exactly.
Picture enlargedPreview(const uint8_t* rgb, int scale);

// Writes the example tree of every kind that the stand-in builds into the
// folder `examples`, then every kind's picture into `pictures`, each made
// from its tree file there. False, with the file at fault in `where` and a
// one-line reason in `error`, when one cannot be made.
bool writeKindExamples(const std::string& examples, const std::string& pictures, std::string& where,
                       std::string& error);

// QK_Valtorimex.p in the directory of the running executable.
std::string defaultModulePath();

}  // namespace vxs
