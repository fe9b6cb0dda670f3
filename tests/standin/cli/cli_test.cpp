// The valtorimex command, run as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "core/macro.h"
#include "core/persist.h"
#include "core/root.h"
#include "standin/streams/streams.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

namespace fs = std::filesystem;

// A tree holding only a root with its default parameters, in the text form.
std::string rootTree(const char* diffRow = "0 0 0 1 1 1 \"\"") {
    std::string rows;
    const std::string zero = "        0 0 0 0 0 0 \"\"\n";
    rows += "        0 0 0 0.785 0.785 0.785 \"\"\n";
    rows += std::string("        ") + diffRow + "\n";
    rows += zero;
    rows += "        0 0 0 0.4 0.4 0.4 \"\"\n";
    for (int i = 0; i < 3; ++i) rows += zero;
    rows += "        0 0 0 1 1 1 \"\"\n";
    for (int i = 0; i < 10; ++i) rows += zero;
    rows += "        0 0 0 1 1 1 \"\"\n";
    return "272\n{ PluginDataLib\n  1\n  { PluginDataParam\n    \"nlist\"\n    1347769170\n"
           "    { NodeList\n      256\n      1\n      { NodeData\n        \"Root\"\n        \"root\"\n"
           "        0 0 128 128 0\n        1\n        19\n" +
           rows + "      }\n    }\n  }\n}\n";
}

// The root's "color" linked to output 0 of a "color" node set to red.
std::string redTree() { return vxt::readBytes(VX_SOURCE_DIR "/examples/trees/red.shd"); }

// A root fed by a macro whose inner tree is its macro root with a changed
// parameter, written with the node library.
std::string macroTree() {
    const auto catalogue = vxs::nodeCatalogue();
    vx::NodeList tree;
    tree.nodes.push_back(catalogue->createByName("Root", "root"));
    auto macro = catalogue->createByName("Macro", "macro");
    auto inner = catalogue->createByName("Macro", "macro root");
    inner->inputs[0].param.value = {0.25, 0.5, 1};
    inner->x = 7;
    static_cast<vx::NMacro&>(*macro).inner.nodes.push_back(std::move(inner));
    macro->x = 200;
    tree.nodes[0]->inputs[vx::RI_DIFF].source = macro.get();
    tree.nodes.push_back(std::move(macro));
    vxs::SaveStream out(HOST_IO_TEXT);
    vx::saveInstanceTree(tree, *out.state());
    return out.bytes();
}

class CliTest : public vxt::CommandTest {
protected:
    CliTest() : CommandTest("") { write("root.shd", rootTree()); }
};

TEST_F(CliTest, BadInputNamesTheFileAndExitsWithTwo) {
    write("empty.shd", "");
    write("words.shd", "hello world\n");
    write("bytes.shd", std::string("\x89VXB\xff\xff\xff\xff\x00\x01", 10));
    write("version.shd", "271\n{ PluginDataLib\n}\n");
    const std::string whole = rootTree();
    write("cut.shd", whole.substr(0, whole.find("        0 0 0 0.4")));
    write("count.shd", std::string(whole).replace(whole.find("      1\n      { NodeData"), 8, "      2\n"));
    write("bad.json", "{\"diffuse\": 1,}");
    write("notamodule.p", "#!/bin/sh\n");
    write("escape.json", R"({"fr\u001b[2Jame": {}})");
    write("nul.json", R"({"diff\u0000use": 1})");
    write("twice.json", R"({"diffuse": 1, "diffuse": 2})");
    fs::create_directory(path("folder"));

    struct Row { std::vector<std::string> args; std::string named, holds = ""; };
    const std::string root = path("root.shd");
    std::vector<Row> rows = {
        {{"eval", "/dev/zero"}, "/dev/zero"},
        {{"eval", root, "--record", path("missing.json")}, path("missing.json")},
        {{"eval", root, "--record", path("bad.json")}, path("bad.json")},
        {{"eval", root, "--scene", path("escape.json")}, path("escape.json"), "fr\\x1b[2Jame: unknown key\n"},
        {{"eval", root, "--record", path("nul.json")}, path("nul.json"), "\"diff\\x00use\" (it holds a NUL byte)"},
        {{"eval", root, "--record", path("twice.json")}, path("twice.json"), "duplicate key \"diffuse\""},
        {{"eval", root, "--module", path("missing.p")}, path("missing.p")},
        {{"eval", root, "--module", path("notamodule.p")}, path("notamodule.p")},
        {{"eval", root, "--module", root}, root}, {{"info", path("cut.shd")}, path("cut.shd")},
        {{"info", path("words.shd")}, path("words.shd")},
        {{"convert", path("count.shd"), path("out.shd")}, path("count.shd")},
        {{"convert", root, path("folder/no/such/dir.shd")}, path("folder/no/such/dir.shd")},
    };
    for (const char* tree : {"missing.shd", "empty.shd", "words.shd", "bytes.shd", "version.shd", "cut.shd", "count.shd",
                             "folder"})
        rows.push_back({{"eval", path(tree)}, path(tree)});
    for (const Row& r : rows) {
        const Outcome result = run(r.args);
        const std::string what = r.args[0] + " " + r.args[1] + (r.args.size() > 2 ? " " + r.args.back() : "");
        EXPECT_EQ(result.status, 2) << what;
        EXPECT_TRUE(result.out.empty()) << what;
        EXPECT_TRUE(result.err.starts_with(r.named + ": ")) << what << "\n" << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << what << "\n" << result.err;
        EXPECT_NE(result.err.find(r.holds), std::string::npos) << what << "\n" << result.err;
    }
    EXPECT_FALSE(fs::exists(path("out.shd"))) << "a failed convert writes nothing";
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndHelpWithZero) {
    EXPECT_EQ(run({}).status, 2);
    const Outcome unknown = run({"rendr"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "valtorimex: no subcommand \"rendr\"; the subcommands are eval, info, convert, render, preview, kinds, edit\n");
    EXPECT_EQ(run({"eval"}).status, 2);
    EXPECT_EQ(run({"convert", path("root.shd"), path("a"), "--text", "--binary"}).status, 2);
    for (const char* sub : {"eval", "info", "convert"}) {
        const Outcome r = run({sub, "--help"});
        EXPECT_EQ(r.status, 0) << sub;
        EXPECT_NE(r.out.find("Usage"), std::string::npos) << sub << "\n" << r.out;
    }
    EXPECT_NE(run({"eval", "--help"}).out.find("QK_Valtorimex.p"), std::string::npos);
}

TEST_F(CliTest, EvalTakesRecordKeysAndEvaluatesTheTree) {
    const std::string record = write(
        "rec.json", R"({"pixel": [3, -4], "diffuse": 0.25, "replacement_percentage": 0.5, "normal": [1, 0, 0],
                        "specularity": "nan", "luminosity": "-inf", "base_color": [0, "inf", 1]})");
    const Outcome r = run({"eval", path("root.shd"), "--record", record});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["pixel"], nlohmann::json::parse("[3, -4]"));
    EXPECT_EQ(doc["diffuse"].get<double>(), 0.25);
    EXPECT_EQ(doc["normal"], nlohmann::json::parse("[1, 0, 0]"));
    EXPECT_EQ(doc["replacement_percentage"].get<double>(), 0.0) << "the root's own value, so the tree ran";
    // Non-finite values go through as the strings they came in as.
    EXPECT_EQ(doc["specularity"], "nan");
    EXPECT_EQ(doc["luminosity"], "-inf");
    EXPECT_EQ(doc["base_color"], nlohmann::json::parse(R"([0, "inf", 1])"));
}

TEST_F(CliTest, ConvertRoundTripsBetweenTheForms) {
    const std::pair<const char*, std::string> trees[] = {
        {"root", rootTree()}, {"red", redTree()}, {"macro", macroTree()}};
    for (const auto& tree : trees) {
        const std::string name = tree.first;  // a plain variable: lambdas below capture it
        const std::string in = write(name + ".shd", tree.second);
        const auto out = [&](const char* suffix) { return path(name + suffix); };
        ASSERT_EQ(run({"convert", in, out(".a.txt")}).status, 0) << name;
        ASSERT_EQ(run({"convert", in, out(".b.bin"), "--binary"}).status, 0) << name;
        ASSERT_EQ(run({"convert", out(".b.bin"), out(".c.txt"), "--text"}).status, 0) << name;
        ASSERT_EQ(run({"convert", out(".c.txt"), out(".d.bin"), "--binary"}).status, 0) << name;
        const auto file = [&](const char* suffix) { return read(name + suffix); };
        EXPECT_FALSE(file(".a.txt").empty()) << name;
        EXPECT_EQ(file(".a.txt"), file(".c.txt")) << name;
        EXPECT_EQ(file(".b.bin"), file(".d.bin")) << name;
        EXPECT_NE(file(".a.txt"), file(".b.bin")) << name;
        // Either form evaluates to the same record.
        EXPECT_EQ(run({"eval", out(".b.bin")}).out, run({"eval", in}).out) << name;
    }
}

TEST_F(CliTest, InfoListsNodesAndChangedParameters) {
    write("changed.shd", rootTree("0 0 0 0.5 0.5 0.5 \"\""));
    write("red.shd", redTree());
    write("macro.shd", macroTree());
    struct Row { const char* file; std::vector<std::string> present, absent; };
    const Row rows[] = {
        {"root.shd", {": 1 node\n", "node 1: Root \"root\" at (0, 0), 128 x 128"}, {" = ", " <- "}},
        {"changed.shd", {"node 1: Root \"root\"", "  diff = 0.5\n"}, {"color =", "gloss ="}},
        {"red.shd",
         {": 2 nodes\n", "  color <- node 2 output \"col\"\n", "node 2: Generic \"color\" at (160, 0), 128 x 128\n",
          "  col = (1, 0, 0)\n"},
         {"color =", "diff <-"}},
        {"macro.shd",
         {"  diff <- node 2 output \"result\"\n", "node 2: Macro \"macro\" at (200, 0)",
          "  inner tree:\n    node 1: Macro \"macro root\" at (7, 0), 128 x 128\n      result = (0.25, 0.5, 1)\n"},
         {}},
    };
    for (const Row& row : rows) {
        const Outcome r = run({"info", path(row.file)});
        ASSERT_EQ(r.status, 0) << row.file << ": " << r.err;
        for (const auto& s : row.present) EXPECT_NE(r.out.find(s), std::string::npos) << row.file << "\n" << r.out;
        for (const auto& s : row.absent) EXPECT_EQ(r.out.find(s), std::string::npos) << row.file << "\n" << r.out;
    }
}

}  // namespace
