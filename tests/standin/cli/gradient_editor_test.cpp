// The gradient editor replayed by scripts: a gradient node double-clicked on
// the canvas, its editor worked in its own coordinates, the saved keys checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "host/services.h"
#include "nodes/gradient.h"
#include "standin/streams/tree_file.h"
#include "tests/standin/cli/run_command.h"

namespace {

using vx::GValue;
using Keys = std::vector<GValue>;

// The node sits at canvas (40, 40): its title at window point (236, 78).
// Editor points: the bar's marker strip at x 34, its colours at x 80, row
// y = 40 + position x 297 for keys over 0..1.
const std::vector<std::string> kOpen = {"click 236 78", "click 236 78"};
constexpr const char* kCopy = "button Copy data";
constexpr const char* kPaste = "button Paste data";
constexpr const char* kInverse = "button Inverse key";
constexpr const char* kDelete = "button Delete key";

const GValue kRed{0, 1, 0, 0, 1}, kBlue{1, 0, 0, 1, 0.5};
const Keys kThree = {{1, 1, 1, 1, 1}, {0, 0, 0, 0, 1}, {0.5, 0.5, 0.5, 0.5, 1}};

vx::Gradient* gradientOf(vx::Node& n) {
    if (auto* c = dynamic_cast<vx::NGradientC*>(&n)) return &c->gradient;
    if (auto* v = dynamic_cast<vx::NGradientV*>(&n)) return &v->gradient;
    return nullptr;
}

std::string setField(const char* label, const std::string& value) { return std::string("field ") + label + " " + value; }
std::string strip(double p) { return std::to_string(40 + int(p * 296)); }

class GradientEditor : public vxt::CommandTest {
protected:
    GradientEditor() : CommandTest("edit") {}

    // Runs the script on a tree of gradient nodes (at canvas (40, 40), then
    // 200 to the right each) and returns the saved keys of each, in order.
    std::vector<Keys> edit(const std::vector<Keys>& nodes, const std::vector<std::string>& lines,
                           const char* kind = "grad_col") {
        const auto catalogue = vxs::nodeCatalogue();
        vx::NodeList tree;
        for (size_t i = 0; i < nodes.size(); ++i) {
            tree.nodes.push_back(catalogue->createByName("Texture", kind));
            tree.nodes.back()->x = 40 + 200 * int(i), tree.nodes.back()->y = 40;
            vx::Gradient& g = *gradientOf(*tree.nodes.back());
            g.keys.clear();
            for (const GValue& k : nodes[i]) g.keys.push_back(std::make_unique<GValue>(k));
        }
        std::string error;
        EXPECT_TRUE(vxs::writeTreeFile(path("tree.shd"), tree, HOST_IO_TEXT, error)) << error;
        std::string script;
        for (const std::string& l : lines) script += l + "\n";
        script += "save " + path("out.shd") + "\n";
        const Outcome o = run({path("tree.shd"), "--script", write("script.txt", script), "--presets", path("p")});
        EXPECT_EQ(o.status, 0) << o.err;
        shown = o.out;
        vx::NodeList saved;
        EXPECT_TRUE(vxs::readTreeFile(path("out.shd"), saved, *catalogue, error)) << error;
        std::vector<Keys> out;
        std::sort(saved.nodes.begin(), saved.nodes.end(), [](auto& a, auto& b) { return a->x < b->x; });
        for (const auto& n : saved.nodes) {
            Keys keys;
            if (const vx::Gradient* g = gradientOf(*n))
                for (const auto& k : g->keys) keys.push_back(*k);
            out.push_back(keys);
        }
        return out;
    }

    std::string shown;  // what the script's `show` lines printed
};

std::vector<double> positions(const Keys& keys) {
    std::vector<double> out;
    for (const GValue& k : keys) out.push_back(std::round(k.position * 1e4) / 1e4);
    return out;
}

std::vector<std::string> opened(std::vector<std::string> lines) {
    lines.insert(lines.begin(), kOpen.begin(), kOpen.end());
    return lines;
}

TEST_F(GradientEditor, KeyListEdits) {
    struct Row {
        const char* what;
        Keys keys;
        std::vector<std::string> script;
        std::function<void(const Keys&)> check;
    };
    const Row rows[] = {
        {"high 2 then low 1 rescale the keys", kThree, {setField("high", "2"), setField("low", "1")},
         [](const Keys& k) { EXPECT_EQ(positions(k), (std::vector<double>{2, 1, 1.5})); }},
        {"Inverse key mirrors them", {{0, 0, 0, 0, 1}, {0.25, 0, 0, 0, 1}, {1, 0, 0, 0, 1}}, {kInverse},
         [](const Keys& k) { EXPECT_EQ(positions(k), (std::vector<double>{1, 0.75, 0})); }},
        {"a range that would invert is refused", kThree, {setField("low", "5"), setField("high", "-1")},
         [](const Keys& k) { EXPECT_EQ(positions(k), (std::vector<double>{1, 0, 0.5})); }},
        {"a middle key dragged past its neighbour stops 1 % before it", kThree,
         {"drag 34 " + strip(0.5) + " 34 390"},
         [](const Keys& k) { EXPECT_EQ(positions(k), (std::vector<double>{1, 0, 0.99})); }},
        {"end keys are neither dragged nor deleted", kThree,
         {"drag 34 " + strip(1) + " 34 100", kDelete, "drag 34 " + strip(0) + " 34 200", kDelete},
         [](const Keys& k) { EXPECT_EQ(positions(k), (std::vector<double>{1, 0, 0.5})); }},
        {"a middle key is deleted", kThree, {"click 34 " + strip(0.5), kDelete},
         [](const Keys& k) { EXPECT_EQ(positions(k), (std::vector<double>{1, 0})); }},
        {"a click within 1 % of a key adds none, further away one", kThree, {"click 80 190", "click 80 114"},
         [](const Keys& k) { EXPECT_EQ(positions(k), (std::vector<double>{1, 0, 0.5, 0.2492})); }},
        {"an added key takes the colour and alpha between its neighbours", {kRed, kBlue}, {"click 80 188"},
         [](const Keys& k) {
             ASSERT_EQ(k.size(), 3u);
             const double p = 148.0 / 297;
             EXPECT_NEAR(k[2].position, p, 1e-6);
             EXPECT_NEAR(k[2].red, 1 - p, 1e-6);
             EXPECT_NEAR(k[2].blue, p, 1e-6);
             EXPECT_NEAR(k[2].alpha, 1 - 0.5 * p, 1e-6);
         }},
        {"Copy then Paste carries colour and alpha, not position", {kRed, kBlue},
         {"click 34 " + strip(1), kCopy, "click 34 " + strip(0), kPaste},
         [](const Keys& k) {
             EXPECT_EQ(positions(k), (std::vector<double>{0, 1}));
             EXPECT_EQ(k[0].blue, 1);
             EXPECT_EQ(k[0].alpha, 0.5);
         }},
        {"alpha is a percent", {kRed, kBlue}, {setField("Alpha", "25")},
         [](const Keys& k) { EXPECT_EQ(k[0].alpha, 0.25); }},
        {"keys at one place stay finite", {{0.5, 1, 0, 0, 1}, {0.5, 0, 1, 0, 1}, {0.5, 0, 0, 1, 1}},
         {"click 80 200", "drag 34 40 34 300", setField("high", "2"), setField("low", "0"), kInverse},
         [](const Keys& k) {
             ASSERT_EQ(k.size(), 3u);
             for (const GValue& g : k) EXPECT_EQ(g.position, 0.5);
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const std::vector<Keys> saved = edit({r.keys}, opened(r.script));
        ASSERT_EQ(saved.size(), 1u);
        r.check(saved[0]);
    }
}

TEST_F(GradientEditor, ValueModeSetsAllThreeComponents) {
    const auto saved = edit({{{0, 0, 0, 0, 1}, {1, 1, 1, 1, 1}}},
                            opened({setField("Value", "40"), "show Value", "show Alpha", "show Position"}), "grad_val");
    const GValue& k = saved.at(0).at(0);
    EXPECT_EQ(std::vector<double>({k.red, k.green, k.blue}), std::vector<double>(3, 0.4f));
    EXPECT_EQ(shown, "40\n100\n0\n");
}

TEST_F(GradientEditor, EachEditorHasItsOwnClipboard) {
    const auto saved = edit({{kRed, kBlue}, {kRed, kBlue}},
                            {kOpen[0], kOpen[1], "click 34 " + strip(1), kCopy, "button OK", "click 436 78",
                             "click 436 78", kPaste});
    EXPECT_EQ(saved.at(1).at(0).red, 1) << "the second editor had nothing to paste";
}

}  // namespace
