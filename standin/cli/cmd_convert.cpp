// valtorimex convert IN OUT [--text|--binary]
#include <memory>

#include "standin/cli/commands.h"
#include "standin/streams/tree_file.h"

namespace vxs {

namespace {
struct ConvertOptions {
    std::string in, out;
    bool binary = false;
};

int runConvert(const ConvertOptions& o) {
    const auto catalogue = hostedCatalogue();
    vx::NodeList tree;
    std::string error;
    if (!readTreeFile(o.in, tree, *catalogue, error)) return reportBadInput(o.in, error);
    if (!writeTreeFile(o.out, tree, o.binary ? HOST_IO_BINARY : HOST_IO_TEXT, error))
        return reportBadInput(o.out, error);
    return 0;
}
}  // namespace

void addConvertCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<ConvertOptions>();
    CLI::App* cmd = app.add_subcommand("convert", "Writes a tree file in the text or the binary stream form.");
    cmd->add_option("IN", o->in, "Tree file to read, in either form")->required();
    cmd->add_option("OUT", o->out, "Tree file to write")->required();
    CLI::Option* text = cmd->add_flag("--text")->description("Write the text form (the default)");
    CLI::Option* binary = cmd->add_flag("--binary", o->binary, "Write the binary form");
    text->excludes(binary);
    cmd->callback([o, &status] { status = runConvert(*o); });
}

}  // namespace vxs
