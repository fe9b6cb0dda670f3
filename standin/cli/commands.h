// The subcommands of `valtorimex`. Each adds itself to the application; when
// it runs it leaves the exit status in `status`.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

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

// QK_Valtorimex.p in the directory of the running executable.
std::string defaultModulePath();

}  // namespace vxs
