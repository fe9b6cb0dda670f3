// valtorimex: renders scenes and evaluates, lists, converts and previews node
// tree files and opens the node editor, driving the QK_Valtorimex module as its
// host does.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "standin/cli/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"The Valtorimex stand-in host: renders scenes whose surfaces carry node trees, evaluates, lists, converts and previews tree files, lists the node kinds, and opens the node editor."};
    app.require_subcommand(1);
    // A file-size limit then fails the write, which is reported, rather than
    // killing the command.
    std::signal(SIGXFSZ, SIG_IGN);
    int status = 0;
    vxs::addEvalCommand(app, status);
    vxs::addInfoCommand(app, status);
    vxs::addConvertCommand(app, status);
    vxs::addRenderCommand(app, status);
    vxs::addPreviewCommand(app, status);
    vxs::addKindsCommand(app, status);
    vxs::addEditCommand(app, status);
    // CLI11 would only say that a subcommand is required.
    const std::vector<CLI::App*> subcommands = app.get_subcommands({});
    const auto named = [&](const CLI::App* sub) { return sub->check_name(argv[1]); };
    if (argc > 1 && argv[1][0] != '-' && std::none_of(subcommands.begin(), subcommands.end(), named)) {
        std::string names;
        for (const CLI::App* sub : subcommands) names += (names.empty() ? "" : ", ") + sub->get_name();
        std::fprintf(stderr, "valtorimex: no subcommand \"%s\"; the subcommands are %s\n",
                     vxs::printable(argv[1]).c_str(), names.c_str());
        return vxs::kBadInput;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : vxs::kBadInput;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "valtorimex: %s\n", vxs::printable(e.what()).c_str());
        return 1;
    }
    return status;
}
