// valtorimex edit --script: the editor's behaviours replayed as a user does
// them, checked through the information line and the saved tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/macro.h"
#include "host/services.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/cli/png_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

// The test tree: two "add" nodes at (40, 40) and (240, 40), the second's "a"
// linked from the first, and an empty macro at (40, 240), away from the
// edges that scroll. Window points of their parts, with the canvas at
// (176, 30) and the nodes 80 wide:
//   node at canvas (x, y): title (x + 196, y + 38), input row r (x + 181,
//   y + 130 + 16 r), output row j (x + 251, y + 130 + 16 j).
constexpr const char* kTitle1 = "236 78";
constexpr const char* kTitle2 = "436 78";
constexpr const char* kMacroTitle = "236 278";
constexpr const char* kOut1 = "291 170";
constexpr const char* kIn1a = "221 170";
constexpr const char* kOut2 = "491 170";
constexpr const char* kIn2a = "421 170";
constexpr const char* kIn2b = "421 186";

class EditCommand : public vxt::CommandTest {
protected:
    EditCommand() : CommandTest("edit") {}

    struct Placed { int x, y; const char *category, *name; };
    // A tree of the nodes, input 0 of node `to` linked from output 0 of
    // node `from` for each pair of `linked`.
    std::string writeTree(const std::vector<Placed>& nodes, const std::vector<std::pair<int, int>>& linked) const {
        const auto catalogue = vxs::nodeCatalogue();
        vx::NodeList tree;
        for (const Placed& p : nodes) {
            tree.nodes.push_back(catalogue->createByName(p.category, p.name));
            tree.nodes.back()->x = p.x, tree.nodes.back()->y = p.y;
        }
        for (const auto& [from, to] : linked) tree.nodes[size_t(to)]->inputs[0].source = tree.nodes[size_t(from)].get();
        std::string error;
        EXPECT_TRUE(vxs::writeTreeFile(path("tree.shd"), tree, HOST_IO_TEXT, error)) << error;
        return path("tree.shd");
    }
    std::string testTree() const {
        return writeTree({{40, 40, "Operator", "add"}, {240, 40, "Operator", "add"}, {40, 240, "Macro", "macro"}},
                         {{0, 1}});
    }

    // Runs the script's lines on the tree (none: an empty editor), saving
    // the tree to "out.shd" at the end.
    Outcome edit(const std::string& tree, const std::vector<std::string>& lines, const std::string& config = "") {
        std::string script;
        for (const std::string& l : lines) script += l + "\n";
        script += "save " + path("out.shd") + "\n";
        std::vector<std::string> args = {"--script", write("script.txt", script), "--presets", path("presets")};
        if (!tree.empty()) args.insert(args.begin(), tree);
        if (!config.empty()) args.insert(args.end(), {"--config", write("editor.cfg", config)});
        return run(args);
    }

    vx::NodeList saved() const {
        vx::NodeList tree;
        std::string error;
        EXPECT_TRUE(vxs::readTreeFile(path("out.shd"), tree, *vxs::nodeCatalogue(), error)) << error;
        return tree;
    }
};

// Nodes are named by position, since a press brings a node to the top and
// so changes the tree's order.
std::string at(const vx::Node& n) { return std::to_string(n.x) + "," + std::to_string(n.y); }

// Every link as "TARGET INPUT <- SOURCE", sorted.
std::vector<std::string> links(const vx::NodeList& t) {
    std::vector<std::string> out;
    for (const auto& n : t.nodes)
        for (const vx::InputPort& in : n->inputs)
            if (in.source) out.push_back(at(*n) + " " + in.name + " <- " + at(*in.source));
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> positions(const vx::NodeList& t) {
    std::vector<std::string> out;
    for (const auto& n : t.nodes) out.push_back(at(*n));
    std::sort(out.begin(), out.end());
    return out;
}

using Texts = std::vector<std::string>;
const Texts kTestLinks = {"240,40 a <- 40,40"};

TEST_F(EditCommand, EditsTheTestTree) {
    struct Row {
        const char* what;
        std::vector<std::string> script;
        const char* info;  // what the script's `info` lines print
        std::function<void(const vx::NodeList&)> check;
    };
    const std::string c = " ";
    const Row rows[] = {
        {"a link dragged from an output to an input",
         {std::string("drag ") + kOut1 + c + kIn2b, "info"}, "\n",
         [](const vx::NodeList& t) { EXPECT_EQ(links(t), (Texts{"240,40 a <- 40,40", "240,40 b <- 40,40"})); }},
        {"a link dropped on its own source makes none",
         {std::string("drag ") + kOut2 + c + kIn2b}, "",
         [](const vx::NodeList& t) { EXPECT_EQ(links(t), kTestLinks); }},
        {"a link dragged off its input is removed",
         {std::string("drag ") + kIn2a + " 500 400"}, "",
         [](const vx::NodeList& t) { EXPECT_EQ(links(t), Texts{}); }},
        {"a cycle is refused",
         {std::string("drag ") + kOut2 + c + kIn1a, "info"}, "Connection loop detected, cannot connect.\n",
         [](const vx::NodeList& t) { EXPECT_EQ(links(t), kTestLinks); }},
        {"double-click 2 pixels and 499 ms apart opens the parameter panel",
         {std::string("click ") + kTitle1, "wait 399", "click 238 80", "show b"}, "1\n", nullptr},
        {"3 pixels apart is no double-click",
         {std::string("click ") + kTitle1, "wait 399", "click 239 78", "info"}, "\n", nullptr},
        {"500 ms apart is no double-click",
         {std::string("click ") + kTitle1, "wait 400", "click 236 78", "info"}, "\n", nullptr},
        {"copy and paste keep the inner link and land at scroll + 64",
         {std::string("click ") + kTitle1, std::string("click ") + kTitle2 + " shift", "key c", "info", "key Right",
          "key v", "info"},
         "2 nodes copied.\n2 nodes pasted.\n",
         [](const vx::NodeList& t) {
             // The copies' top-left corner at the scroll (32, 0) + 64.
             EXPECT_EQ(links(t), (Texts{"240,40 a <- 40,40", "296,64 a <- 96,64"}));
         }},
        {"shift toggles a selected node off before delete",
         {std::string("click ") + kTitle1, std::string("click ") + kTitle2 + " shift",
          std::string("click ") + kTitle1 + " shift", "key Delete", "info"},
         "1 nodes deleted.\n", [](const vx::NodeList& t) { EXPECT_EQ(positions(t), (Texts{"40,240", "40,40"})); }},
        {"a rubber band toggles what it touches",
         {std::string("click ") + kTitle1, "drag 540 60 230 90 shift", "key Delete", "info"}, "1 nodes deleted.\n",
         [](const vx::NodeList& t) { EXPECT_EQ(positions(t), (Texts{"40,240", "40,40"})); }},
        {"Delete during a link drag deletes the selection and ends the drag",
         {std::string("click ") + kTitle1, std::string("press ") + kOut1, "key Delete", "info", "release 500 400"},
         "1 nodes deleted.\n", [](const vx::NodeList& t) { EXPECT_EQ(links(t), Texts{}); }},
        {"Escape empties the selection; R previews every node",
         {std::string("click ") + kTitle1, "key Escape", "key Delete", "info", "key r", "info"},
         "\nAll preview done.\n", [](const vx::NodeList& t) { EXPECT_EQ(t.nodes.size(), 3u); }},
        {"holding a node at the right edge scrolls 16 per move",
         {std::string("drag ") + kTitle1 + " 790 78"}, "",
         // 554 pixels of pointer, two moves in the edge's 16 pixels: 2 x 16 more.
         [](const vx::NodeList& t) { EXPECT_EQ(positions(t), (Texts{"240,40", "40,240", "626,40"})); }},
        {"a double-click enters a macro, Quit Macro leaves it",
         {std::string("click ") + kMacroTitle, std::string("click ") + kMacroTitle, "add Operator/add", "quit-macro",
          "add Operator/add"},
         "",
         [](const vx::NodeList& t) {
             ASSERT_EQ(t.nodes.size(), 4u);
             const auto* macro = dynamic_cast<const vx::NMacro*>(t.nodes[2].get());
             ASSERT_NE(macro, nullptr);
             EXPECT_EQ(macro->inner.nodes.back()->name, "add");
         }},
        {"closing and reopening inside a macro returns to the top level",
         {std::string("click ") + kMacroTitle, std::string("click ") + kMacroTitle, "close", "open", "info",
          "add Operator/add"},
         "Welcome to the valtorimex editor.\n", [](const vx::NodeList& t) { EXPECT_EQ(t.nodes.size(), 4u); }},
        {"context-menu items run their command; a separator or no choice runs none",
         {"menu Select all", "click 500 400 both", "menu Delete", "click 500 400 both", "info",
          "menu ------------------", "click 500 400 both", "info", "click 500 400 both", "info"},
         "3 nodes deleted.\n\n\n", [](const vx::NodeList& t) { EXPECT_TRUE(t.nodes.empty()); }},
        {"a rubber band across the whole coordinate range", {"drag 100000 100000 -100000 -100000"}, "",
         [](const vx::NodeList& t) { EXPECT_EQ(links(t), kTestLinks); }},
        {"Clear nodes answered Cancel changes nothing",
         {"answer cancel", "file Clear nodes"}, "", [](const vx::NodeList& t) { EXPECT_EQ(t.nodes.size(), 3u); }},
        {"Clear nodes answered OK empties the tree",
         {"answer ok", "file Clear nodes"}, "", [](const vx::NodeList& t) { EXPECT_TRUE(t.nodes.empty()); }},
    };
    const std::string tree = testTree();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const Outcome o = edit(tree, r.script);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, r.info);
        if (r.check) r.check(saved());
    }
}

// The parameter panel of the node at canvas (40, 40), double-clicked.
TEST_F(EditCommand, ParameterPanelWritesWhatTheArtistKept) {
    const vx::ParamValue* p = nullptr;
    const auto param = [&p](const vx::NodeList& t, const char* name) {
        for (const auto& n : t.nodes)
            for (const vx::InputPort& in : n->inputs)
                if (in.name == name) p = &in.param;
        return p->value;
    };
    // Stored as floats.
    const auto near = [](const vx::NodeValue& v, double s) {
        EXPECT_NEAR(v.x, s, 1e-6);
        EXPECT_NEAR(v.y, s, 1e-6);
        EXPECT_NEAR(v.z, s, 1e-6);
    };
    struct Row {
        const char* what;
        Placed node;
        std::vector<std::string> script;
        const char* out;
        std::function<void(const vx::NodeList&)> check;
    };
    const Placed lambert{40, 40, "Custom Shader", "Lambert"};
    const Row rows[] = {
        {"a preview click writes, Cancel then keeps it", lambert,
         {"field diff 30", "click 40 36", "button Cancel"}, "",
         [&](const vx::NodeList& t) { near(param(t, "diff"), 0.3); }},
        {"Cancel leaves every value", lambert,
         {"field diff 10", "field light_flag specular", "show light_flag", "button Cancel"}, "specular\n",
         [&](const vx::NodeList& t) {
             near(param(t, "diff"), 1);
             param(t, "light_flag");
             EXPECT_EQ(p->intValue, 1);
         }},
        {"the picker's colour is written at once", lambert,
         {"answer 0.2 0.4 0.6", "button base_col", "show base_col", "answer cancel", "button base_col", "button Cancel"},
         "051 102 153\n", [&](const vx::NodeList& t) { EXPECT_NEAR(param(t, "base_col").z, 0.6, 1e-6); }},
        {"Edit Parameter on a texture closes the panel unapplied", {40, 40, "Texture", "tex_val"},
         {"field base_val 50", "button Edit Parameter", "info"}, "\n",
         [&](const vx::NodeList& t) { near(param(t, "base_val"), 0); }},
        {"a node without parameters says so", {40, 40, "Global", "spot"}, {"info"},
         "No editable parameter for this node.\n", nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<std::string> script = {std::string("click ") + kTitle1, std::string("click ") + kTitle1};
        script.insert(script.end(), r.script.begin(), r.script.end());
        const Outcome o = edit(writeTree({r.node}, {}), script);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.out, r.out);
        if (r.check) r.check(saved());
    }
}

// A linked colour's swatch shows grey components and opens no picker: the
// answer is left for the question that follows.
TEST_F(EditCommand, ALinkedColourOpensNoPicker) {
    const std::string tree = writeTree({{40, 40, "Generic", "color"}, {240, 40, "Custom Shader", "Lambert"}}, {{0, 1}});
    const Outcome o = edit(tree, {std::string("click ") + kTitle2, std::string("click ") + kTitle2, "answer ok",
                                  "button base_col", "button OK", "file Clear nodes"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(saved().nodes.empty());
}

TEST_F(EditCommand, AddsNodesWhereThePlacementRulesSay) {
    const char* cfg = "ShortCut a \"Operator\" \"add\"\nShortCut r \"Root\" \"root\"\n";
    const Outcome o = edit("", {"add Generic/color", "add Generic/color", "key Escape", "key Right", "ctrl a",
                                "ctrl b", "add Root/root", "info", "add Root/root", "info", "ctrl r", "info",
                                "key c", "key v", "info", "click 30 80", "click 30 80", "info"},
                           cfg);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out,
              "\nCannot put multiple root.\nCannot put multiple root.\n0 nodes pasted.\n\n");
    const vx::NodeList t = saved();
    ASSERT_EQ(t.nodes.size(), 4u);
    EXPECT_EQ(positions(t), (Texts{"128,96", "64,64", "96,64", "96,96"}));
    EXPECT_EQ(t.nodes[2]->name, "add");
    EXPECT_EQ(t.nodes[3]->height, 400);  // 19 inputs: (19 + 6) x 16
}

// Components rows are 16 high from y = 71 (Root, Global, Generic, ...);
// x = 14 is an item's triangle.
TEST_F(EditCommand, ComponentsTreeAddsKindsOnlyByDoubleClick) {
    const Outcome o = edit("", {"add Root/root", "click 60 111", "click 60 111", "click 14 79", "click 60 95",
                                "wait 400", "click 60 95", "info", "click 60 95", "click 60 95", "info", "click 60 95",
                                "info"});
    ASSERT_EQ(o.status, 0) << o.err;
    // A category double-clicked adds nothing; 500 ms apart is no double-click;
    // a second root is refused; the next control event clears the line.
    EXPECT_EQ(o.out, "\nCannot put multiple root.\n\n");
    EXPECT_EQ(saved().nodes.size(), 1u);
}

TEST_F(EditCommand, APressWhereNodesOverlapPicksTheTopOne) {
    // Two colours at (64, 64) and (96, 96); canvas (100, 150) is in both.
    const Outcome o = edit("", {"add Generic/color", "add Generic/color", "key Escape", "click 276 180",
                                "key Delete", "info"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "1 nodes deleted.\n");
    EXPECT_EQ(positions(saved()), Texts{"64,64"});
}

// Closing asks only when the artist changed the tree (opening measures the
// nodes, which the file does not hold yet, and is no change); Cancel, or a
// save that fails, keeps the editor open: the "info" after "close" runs.
TEST_F(EditCommand, ClosingWithChangesSavesDiscardsOrStays) {
    const std::string drag = std::string("drag ") + kTitle1 + " 236 98", unwritable = path("no/such/folder/t.shd");
    const Texts moved{"240,40", "40,240", "40,60"}, kept{"240,40", "40,240", "40,40"};
    struct Row {
        const char* what;
        bool withTree;
        std::vector<std::string> lines;
        std::string out;
        Texts inFile;  // the tree file's nodes afterwards
    };
    const Row rows[] = {
        {"no change asks nothing", true, {"answer cancel", "close"}, "", kept},
        {"save", true, {drag, "answer save", "close"}, "", moved},
        {"discard", true, {drag, "answer discard", "close"}, "", kept},
        {"cancel", true, {drag, "answer cancel", "close", "info"}, "\n", kept},
        {"no answer", true, {drag, "close", "info"}, "\n", kept},
        {"a save that fails", false, {"add Generic/color", "answer save", "answer " + unwritable, "close", "info"},
         "Info: " + unwritable + ": cannot create: No such file or directory\n\n", {}},
    };
    for (const Row& r : rows) {
        const std::string tree = testTree();
        const Outcome o = edit(r.withTree ? tree : "", r.lines);
        ASSERT_EQ(o.status, 0) << r.what << ": " << o.err;
        EXPECT_EQ(o.out, r.out) << r.what;
        if (!r.withTree) continue;
        vx::NodeList t;
        std::string error;
        ASSERT_TRUE(vxs::readTreeFile(tree, t, *vxs::nodeCatalogue(), error)) << error;
        EXPECT_EQ(positions(t), r.inFile) << r.what;
    }
}

TEST_F(EditCommand, FileRequesterAddsTheExtensionUnlessItIsThereAndOpensAgain) {
    // The last three lines open one of the files again, in the requester's
    // folder, over a cleared tree.
    const Outcome o = edit(testTree(), {"answer " + path("a"), "file Save", "answer " + path("b.SHD"), "file Save",
                                        "answer " + path("c."), "file Save", "info", "answer ok",
                                        "file Clear nodes", "answer a.shd", "file Open", "info"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "Save valtorimex done.\nOpen valtorimex done.\n");
    for (const char* file : {"a.shd", "b.SHD", "c.shd"}) EXPECT_TRUE(std::filesystem::exists(path(file))) << file;
    EXPECT_FALSE(std::filesystem::exists(path("c..shd")));
    EXPECT_EQ(links(saved()), kTestLinks);
}

TEST_F(EditCommand, ResizingStopsAtTheMinimumAndRelaysTheControls) {
    const Outcome o = edit(testTree(), {"resize 500 300", "shot " + path("small.png"), "resize 900 700",
                                        "shot " + path("big.png"), "key r", "info"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "All preview done.\n");  // the information line moved with the window
    const vxt::Png small = vxt::decodePng(path("small.png")), big = vxt::decodePng(path("big.png"));
    EXPECT_EQ(std::make_pair(small.width, small.height), std::make_pair(640, 360));
    EXPECT_EQ(std::make_pair(big.width, big.height), std::make_pair(900, 700));
    EXPECT_EQ(big.at(700 - 30, 100), (std::array<int, 3>{128, 128, 128}));  // information line at H - 32
}

TEST_F(EditCommand, WithoutATreeEditsTheSurfacesOwn) {
    const Outcome o = edit("", {"info"}, "");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(saved().nodes.empty());
    ASSERT_EQ(run({"--scene", VX_SOURCE_DIR "/examples/scenes/vase.json", "--surface", "Glaze", "--script",
                   write("s.txt", "save " + path("out.shd") + "\n")})
                  .status,
              0);
    vx::NodeList vase;
    std::string error;
    ASSERT_TRUE(vxs::readTreeFile(VX_SOURCE_DIR "/examples/scenes/trees/vase.shd", vase, *vxs::nodeCatalogue(), error));
    EXPECT_EQ(saved().nodes.size(), vase.nodes.size());
}

TEST_F(EditCommand, BadScriptsAndInputsStopWithStatus2) {
    const std::string kOpenColour = "add Generic/color\nclick 260 102\nclick 260 102\n";
    struct Row { std::vector<std::string> args; const char* message; };
    const std::string bad = write("bad.txt", "info\nclick 1\n");
    const std::string noKind = write("nokind.txt", "add Operator/nothing\n");
    const std::string good = write("good.txt", "info\n");
    const std::string noItem = write("noitem.txt", "menu Nothing\nclick 400 300 both\ninfo\n");
    const Row rows[] = {
        {{"--script", bad}, "line 2: click needs X Y"},
        {{"--script", noItem}, "line 1: the menu has no item \"Nothing\""},
        {{"--script", noKind}, "line 1: no kind Operator/nothing"},
        {{"--script", bad, "--size", "10"}, "--size needs WxH"},
        {{"--script", write("label.txt", kOpenColour + "field nothing 1\n")}, "line 4: no control labelled \"nothing\""},
        {{"--script", write("value.txt", kOpenColour + "button col\nfield Red red\n")}, "line 5: \"red\" is not a value"},
        {{"--script", write("modal.txt", kOpenColour + "focus QK's Valtorimex version 0.52 [ Default ]\n")},
         "line 4: \"Node parameters [ color ]\" must be closed first"},
        {{path("missing.shd"), "--script", good}, "missing.shd"},
        {{"--script", write("wait.txt", "wait-render\n")}, "line 1: there is no live view (edit needs --scene)"},
    };
    for (const Row& r : rows) {
        const Outcome o = run(r.args);
        EXPECT_EQ(o.status, 2) << r.message;
        EXPECT_NE(o.err.find(r.message), std::string::npos) << o.err;
    }
}

// Shots of the test tree, for what the documented editor pictures do not
// show: the halo of a multi-selection and the overview with nothing
// selected. Points are window (column, row).
TEST_F(EditCommand, ShotsShowTheSelection) {
    const Outcome o = edit(testTree(), {"shot " + path("none.png"), std::string("click ") + kTitle1,
                                        "shot " + path("one.png"), std::string("click ") + kTitle2 + " shift",
                                        "shot " + path("two.png")});
    ASSERT_EQ(o.status, 0) << o.err;
    const vxt::Png none = vxt::decodePng(path("none.png")), one = vxt::decodePng(path("one.png")),
                   two = vxt::decodePng(path("two.png"));
    using Rgb = std::array<int, 3>;
    struct Row { const char* what; const vxt::Png& shot; int x, y; Rgb expected; };
    const Row rows[] = {
        {"title bar of a node", none, 218, 72, {128, 128, 128}},
        {"title bar of the current node", one, 218, 72, {64, 64, 64}},
        {"no halo around a single selection", one, 215, 69, {128, 128, 128}},
        {"halo of a multi-selection", two, 215, 69, {255, 255, 192}},
        // The overview maps canvas (0, 0) - (617, 529) onto 160 x 120 at (8, 439).
        {"overview: the current node", one, 20, 450, {176, 224, 176}},
        {"overview: nothing selected", none, 20, 450, {176, 176, 176}},
    };
    for (const Row& r : rows) EXPECT_EQ(r.shot.at(r.y, r.x), r.expected) << r.what;
}

}  // namespace
