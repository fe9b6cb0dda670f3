#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>

#include "core/macro.h"
#include "core/persist.h"
#include "core/root.h"
#include "host/host.h"
#include "standin/scene/image_file.h"
#include "standin/streams/streams.h"
#include "tests/core/test_kinds.h"
#include "tests/scene_host.h"
#include "tests/temp_dir.h"

using namespace vx;
using vxs::LoadStream;
using vxs::SaveStream;
using vxt::add;
using vxt::link;

namespace {

class KConst final : public NodeKind<KConst> {
public:
    KConst() {
        static constexpr InputDecl in[] = {{"val", VT_COLOR, PK_COLOR, 0}, {"label", VT_ANY, PK_TEXT, 0}, {nullptr}};
        static constexpr OutputDecl out[] = {{"v", VT_COLOR}, {nullptr}};
        setup("const", "Test", in, out, false);
    }
};

class KMix final : public NodeKind<KMix> {
public:
    KMix() {
        static constexpr InputDecl in[] = {
            {"a"}, {"b"}, {"amount", VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(0.5)}, {nullptr}};
        static constexpr OutputDecl out[] = {{"r"}, {"g"}, {nullptr}};
        setup("mix", "Test", in, out, false);
    }
};

// Same kind name, one port fewer: a stored "mix" no longer fits it.
class KMixNarrow final : public NodeKind<KMixNarrow> {
public:
    KMixNarrow() {
        static constexpr InputDecl in[] = {{"a"}, {"amount", VT_SCALAR, PK_PERCENT, 1, NodeValue::scalar(0.5)}, {nullptr}};
        static constexpr OutputDecl out[] = {{"r"}, {"g"}, {nullptr}};
        setup("mix", "Test", in, out, false);
    }
};

class KImage final : public NodeKind<KImage> {
public:
    KImage() {
        static constexpr InputDecl in[] = {{"image", VT_INT, PK_IMAGE, 0}, {"tint", VT_COLOR, PK_COLOR}, {nullptr}};
        static constexpr OutputDecl out[] = {{"c", VT_COLOR}, {nullptr}};
        setup("image", "Test", in, out, false);
    }
};

// Keeps data of its own in a block between its ports and its image refs.
class KNote final : public NodeKind<KNote> {
public:
    static constexpr HostBlockId kBlock{HOST_ID4('N', 'O', 'T', 'E'), "NoteData"};
    std::string note;
    KNote() {
        static constexpr InputDecl in[] = {{"x"}, {nullptr}};
        static constexpr OutputDecl out[] = {{"y"}, {nullptr}};
        setup("note", "Test", in, out, false);
    }
    bool saveData(const HostSaveState& s) const override {
        s.beginBlk(s.data, &kBlock);
        s.writeStr(s.data, note.c_str());
        s.endBlk(s.data);
        return true;
    }
    bool loadData(const HostLoadState& s) override {
        static constexpr HostBlockId table[] = {kBlock, {0, nullptr}};
        if (!s.findBlk(s.data, table)) return true;
        char buf[64];
        if (s.readStr(s.data, buf, sizeof buf) >= 0) note = buf;
        s.endBlk(s.data);
        return true;
    }
};

enum Omit { OMIT_NONE, OMIT_MIX, NARROW_MIX };

std::unique_ptr<NodeFactoryData> catalogue(Omit omit = OMIT_NONE) {
    auto cat = std::make_unique<NodeFactoryData>();
    cat->registerKind(std::make_unique<NRoot>());
    cat->registerKind(std::make_unique<KConst>());
    if (omit == OMIT_NONE) cat->registerKind(std::make_unique<KMix>());
    if (omit == NARROW_MIX) cat->registerKind(std::make_unique<KMixNarrow>());
    cat->registerKind(std::make_unique<KImage>());
    cat->registerKind(std::make_unique<KNote>());
    cat->registerKind(std::make_unique<NMacro>(cat.get()));
    cat->registerKind(std::make_unique<NMacroRoot>());
    return cat;
}

// The stand-in's image list (or none) over images by name, each stored at
// its name plus ".tga" in one folder, where only "sky.tga" is a readable
// file; for one scope.
struct ImageList {
    static const vxt::TempDir& folder() {
        static const vxt::TempDir dir("vx_persist");
        static const bool written = [] {
            std::string tga(18, '\0');  // 1 x 1, 24 bits, uncompressed
            tga[2] = 2, tga[12] = 1, tga[14] = 1, tga[16] = 24;
            return !dir.write("sky.tga", tga + "abc").empty();
        }();
        EXPECT_TRUE(written);
        return dir;
    }
    static vxs::Scene scene(const std::map<std::string, HostID>& images) {
        vxs::Scene s;
        for (const auto& [name, id] : images) {
            vxs::Image& image = s.images.emplace_back();
            image.id = id, image.name = name, image.path = folder().path(name + ".tga");
        }
        return s;
    }
    vxt::SceneHost host;
    explicit ImageList(const std::map<std::string, HostID>& images, bool present = true) : host(scene(images)) {
        if (!present) vx::host().imageList = nullptr;
    }
};

// root <- mix <- (const, image), note, and a macro passing a const out.
void buildSample(NodeList& list, const NodeFactoryData& cat) {
    Node* root = add(list, cat, "Root", "root");
    Node* c = add(list, cat, "Test", "const");
    c->inputs[0].param.value = {0.1, -2.5, 1e30};
    c->inputs[1].param.text = "say \"hi\"\nback\\slash";
    Node* mix = add(list, cat, "Test", "mix");
    mix->x = -40;
    mix->y = 7;
    mix->width = 100;
    mix->height = 60;
    mix->layout = 33;
    mix->expanded = false;
    mix->inputs[2].param.value = NodeValue::scalar(0.25);
    Node* image = add(list, cat, "Test", "image");
    image->inputs[0].param.intValue = 7;
    image->inputs[1].param.intValue = -9;
    static_cast<KNote*>(add(list, cat, "Test", "note"))->note = "kept";
    auto* macro = static_cast<NMacro*>(add(list, cat, "Macro", "macro"));
    Node* inner = add(macro->inner, cat, "Macro", "macro root");
    Node* innerConst = add(macro->inner, cat, "Test", "const");
    innerConst->inputs[0].param.value = {1, 0, 0};
    link(inner, 0, innerConst);
    link(mix, 0, c);
    link(mix, 1, image);
    link(root, RI_COLOR, mix, 1);
    link(root, RI_DIFF, c);
    link(root, RI_SPEC, macro);
}

// Everything a load must restore, as text: order, kinds, layout, links by
// position and parameters as stored (single precision).
std::string describe(const NodeList& list) {
    std::string out;
    numberNodes(list);
    for (const auto& n : list.nodes) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "%s/%s %d %d %d %d %d %d\n", n->category.c_str(), n->name.c_str(), n->x,
                      n->y, n->width, n->height, n->layout, n->expanded);
        out += buf;
        for (const InputPort& in : n->inputs) {
            const NodeValue& v = in.param.value;
            std::snprintf(buf, sizeof buf, "  <%d.%d %d %.9g %.9g %.9g [", in.source ? in.source->listIndex : 0,
                          in.sourceOutput, in.param.intValue, static_cast<float>(v.x), static_cast<float>(v.y),
                          static_cast<float>(v.z));
            out += buf + in.param.text + "]\n";
        }
        if (auto* note = dynamic_cast<const KNote*>(n.get())) out += "  note " + note->note + "\n";
        if (auto* macro = dynamic_cast<const NMacro*>(n.get())) out += "  inner {\n" + describe(macro->inner) + "}\n";
    }
    return out;
}

// What any loaded tree must be, however strange its file.
bool consistent(const NodeList& list) {
    std::set<const Node*> members;
    for (const auto& n : list.nodes) members.insert(n.get());
    for (const auto& n : list.nodes) {
        if (dynamic_cast<const N_Null*>(n.get())) return false;
        for (const InputPort& in : n->inputs) {
            if (in.source && !members.contains(in.source)) return false;
            if (in.source && (in.sourceOutput < 0 || in.sourceOutput >= in.source->outputCount)) return false;
        }
        if (auto* macro = dynamic_cast<const NMacro*>(n.get()); macro && !consistent(macro->inner)) return false;
    }
    return !hasCycle(list);
}

std::string save(const NodeList& tree, int form) {
    SaveStream out(form);
    saveInstanceTree(tree, *out.state());
    return out.bytes();
}

bool load(NodeList& tree, const NodeFactoryData& cat, std::string data) {
    LoadStream in(std::move(data));
    return loadInstanceTree(tree, cat, *in.state());
}

// A tree that a failed load must leave exactly as it was.
struct Previous {
    std::unique_ptr<NodeFactoryData> cat = catalogue();
    NodeList tree;
    std::vector<const Node*> nodes;
    std::string text;
    Previous() {
        Node* root = add(tree, *cat, "Root", "root");
        link(root, RI_LUMI, add(tree, *cat, "Test", "const"));
        tree.usedItems = {3, 0};
        remember();
    }
    void remember() {
        nodes.clear();
        for (const auto& n : tree.nodes) nodes.push_back(n.get());
        text = describe(tree);
    }
    bool unchanged() {
        std::vector<const Node*> now;
        for (const auto& n : tree.nodes) now.push_back(n.get());
        return now == nodes && describe(tree) == text && tree.usedItems == std::vector<HostID>{3, 0};
    }
};

class Persist : public testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(BothForms, Persist, testing::Values(HOST_IO_BINARY, HOST_IO_TEXT),
                         [](const auto& info) { return info.param == HOST_IO_TEXT ? "Text" : "Binary"; });

TEST_P(Persist, TreeRoundTripsAndReplacesThePreviousOne) {
    ImageList images({{"sky", 7}});
    auto cat = catalogue();
    NodeList sample;
    buildSample(sample, *cat);
    const std::string data = save(sample, GetParam());

    Previous prev;
    ASSERT_TRUE(load(prev.tree, *cat, data));
    EXPECT_EQ(describe(prev.tree), describe(sample));
    EXPECT_TRUE(prev.tree.usedItems.empty()) << "the used-items cache is dropped";
    EXPECT_EQ(prev.tree.nodes[1]->inputs[0].param.value.x, static_cast<double>(0.1f)) << "single precision";
    EXPECT_TRUE(consistent(prev.tree));
}

TEST_P(Persist, UnknownKindsAreDroppedWithTheirLinks) {
    auto full = catalogue();
    auto withoutMix = catalogue(OMIT_MIX);
    NodeList sample;
    buildSample(sample, *full);
    {
        NodeList tree;
        ASSERT_TRUE(load(tree, *withoutMix, save(sample, GetParam())));
        ASSERT_EQ(tree.nodes.size(), sample.nodes.size() - 1);
        EXPECT_EQ(tree.nodes[2]->name, "image") << "order kept";
        const Node& root = *tree.nodes[0];
        EXPECT_EQ(root.inputs[RI_COLOR].source, nullptr) << "linked to the dropped node";
        EXPECT_EQ(root.inputs[RI_DIFF].source, tree.nodes[1].get()) << "positions shifted, links kept";
        EXPECT_EQ(root.inputs[RI_SPEC].source, tree.nodes[4].get());
        EXPECT_TRUE(consistent(tree));
    }

    NodeList onlyUnknown;
    add(onlyUnknown, *full, "Test", "mix");
    link(add(onlyUnknown, *full, "Test", "mix"), 0, onlyUnknown.nodes[0].get());
    NodeList tree;
    add(tree, *full, "Root", "root");
    EXPECT_TRUE(load(tree, *withoutMix, save(onlyUnknown, GetParam())));
    EXPECT_TRUE(tree.nodes.empty());
}

TEST_P(Persist, StoredPortCountThatDiffersKeepsDefaultsAndNoLinks) {
    ImageList images({{"sky", 7}});
    auto full = catalogue();
    NodeList sample, tree;
    buildSample(sample, *full);
    ASSERT_TRUE(load(tree, *catalogue(NARROW_MIX), save(sample, GetParam())));
    ASSERT_EQ(tree.nodes.size(), sample.nodes.size());
    const Node& mix = *tree.nodes[2];
    EXPECT_EQ(mix.inputs[0].source, nullptr);
    EXPECT_EQ(mix.inputs[1].param.value, NodeValue::scalar(0.5)) << "default, not the stored 0.25";
    EXPECT_EQ(mix.x, -40) << "layout is read before the ports";
    EXPECT_EQ(tree.nodes[0]->inputs[RI_COLOR].source, &mix) << "links to it stay";
    EXPECT_EQ(tree.nodes[3]->inputs[0].param.intValue, 7) << "the nodes after it read in step";
    EXPECT_EQ(static_cast<const KNote&>(*tree.nodes[4]).note, "kept");
}

// Stream pieces for hand-made files.
std::string frame(const std::string& list, int version = 272) {
    return std::to_string(version) + " { PluginDataLib 1 { PluginDataParam \"nlist\" 1347769170\n" + list + "} }\n";
}
std::string nodeList(const std::string& count, const std::string& nodes, int version = 256) {
    return "{ NodeList " + std::to_string(version) + " " + count + "\n" + nodes + "}\n";
}
std::string mix(const std::string& linkA, const char* token = "NodeData") {
    return std::string("{ ") + token + " \"Test\" \"mix\" 0 0 128 128 0 1 3\n  " + linkA +
           " 0 0 0 0 \"\"\n  0 0 0 0 0 0 \"\"\n  0 0 0 0.5 0.5 0.5 \"\"\n}\n";
}

struct FileCase { const char* what; std::string file; bool loads; };

TEST(Persist, HandMadeFiles) {
    const FileCase cases[] = {
        {"link to the last node", frame(nodeList("2", mix("2 1") + mix("0 0"))), true},
        {"NodeUser blocks are node blocks", frame(nodeList("2", mix("0 0", "NodeUser") + mix("1 0"))), true},
        {"unknown blocks between nodes", frame(nodeList("1", "{ Other { NodeData } }" + mix("0 0"))), true},
        {"link beyond the list", frame(nodeList("2", mix("0 0") + mix("3 0"))), false},
        {"link at the largest position", frame(nodeList("1", mix("4294967295 0"))), false},
        {"link to itself", frame(nodeList("1", mix("1 0"))), false},
        {"links in a loop", frame(nodeList("2", mix("2 0") + mix("1 0"))), false},
        {"frame version", frame(nodeList("1", mix("0 0")), 271), false},
        {"list version", frame(nodeList("1", mix("0 0"), 255)), false},
        {"fewer node blocks than counted", frame(nodeList("3", mix("0 0") + mix("0 0"))), false},
        {"huge count", frame(nodeList("2147483647", mix("0 0"))), false},
        {"negative count", frame(nodeList("-1", "")), false},
        {"count missing", frame(nodeList("", mix("0 0"))), false},
        {"no node list", frame("{ NodeLust 256 0 }\n"), false},
        {"node block cut short", frame(nodeList("1", "{ NodeData \"Test\" \"mix\" 0 0 128 }")), false},
        {"port with a bare word for text", frame(nodeList("1", "{ NodeData \"Test\" \"mix\" 0 0 1 1 0 1 3 0 0 0 0 0 0 x }")),
         false},
        {"unterminated string", frame(nodeList("1", "{ NodeData \"Test\" \"mix } } } }")), false},
        {"file cut inside the list", frame(nodeList("1", mix("0 0"))).substr(0, 90), false},
        {"empty file", "", false},
    };
    auto cat = catalogue();
    for (const FileCase& c : cases) {
        Previous prev;
        EXPECT_EQ(load(prev.tree, *cat, c.file), c.loads) << c.what;
        if (c.loads)
            EXPECT_TRUE(consistent(prev.tree)) << c.what;
        else
            EXPECT_TRUE(prev.unchanged()) << c.what;
    }

    NodeList tree;
    ASSERT_TRUE(load(tree, *cat, frame(nodeList("2", mix("2 1") + mix("0 0")))));
    EXPECT_EQ(tree.nodes[0]->inputs[0].source, tree.nodes[1].get());
    EXPECT_EQ(tree.nodes[0]->inputs[0].sourceOutput, 1);
    ASSERT_TRUE(load(tree, *cat, frame(nodeList("2", mix("0 0") + "{ NodeData \"Test\" \"mix\" 0 0 1 1 0 1 3 1 9 0 0 0 0 \"\" 0 0 0 0 0 0 \"\" 0 0 0 0 0 0 \"\" }"))));
    EXPECT_EQ(tree.nodes[1]->inputs[0].source, nullptr) << "output 9 of a two-output node";
}

std::string macro(const std::string& inner) { return "{ NodeData \"Macro\" \"macro\" 0 0 128 128 0 1 0\n" + inner + "}\n"; }

// Whatever is wrong inside a macro's own block costs that macro only.
TEST(Persist, BrokenInnerListLeavesJustThatMacroEmpty) {
    const struct { const char* what; std::string inner; size_t innerNodes; } cases[] = {
        {"whole", nodeList("1", mix("0 0")), 1},
        {"no inner list", "", 0},
        {"fewer node blocks than counted", nodeList("1", ""), 0},
        {"list breaks off", "{ NodeList 256 }\n", 0},
        {"inner node cut short", nodeList("1", "{ NodeData \"Test\" \"mix\" 0 0 128 }"), 0},
        {"inner link beyond its list", nodeList("1", mix("5 0")), 0},
        {"unknown block after the list", nodeList("1", mix("0 0")) + "{ Other 1 { Other } }", 1},
    };
    auto cat = catalogue();
    for (const auto& c : cases)
        for (int form : {HOST_IO_TEXT, HOST_IO_BINARY}) {
            NodeList tree;
            std::string file = frame(nodeList("3", mix("0 0") + macro(c.inner) + mix("2 0")));
            if (form == HOST_IO_BINARY) {
                ASSERT_TRUE(load(tree, *cat, file)) << c.what;
                file = save(tree, form);
            }
            ASSERT_TRUE(load(tree, *cat, file)) << c.what;
            ASSERT_EQ(tree.nodes.size(), 3u) << c.what;
            EXPECT_EQ(static_cast<const NMacro&>(*tree.nodes[1]).inner.nodes.size(), c.innerNodes) << c.what;
            EXPECT_EQ(tree.nodes[2]->inputs[0].source, tree.nodes[1].get()) << c.what;
        }
}

// `levels` macros inside each other.
void nestMacros(NodeList& list, const NodeFactoryData& cat, int levels) {
    for (NodeList* at = &list; levels-- > 0;) at = &static_cast<NMacro*>(add(*at, cat, "Macro", "macro"))->inner;
}

int macroDepth(const NodeList& list) {
    int deepest = 0;
    for (const auto& n : list.nodes)
        if (const auto* m = dynamic_cast<const NMacro*>(n.get())) deepest = std::max(deepest, 1 + macroDepth(m->inner));
    return deepest;
}

TEST_P(Persist, MacrosNestAsDeepAsTheLimitAndNoDeeper) {
    auto cat = catalogue();
    NodeList deepest, tooDeep, loaded;
    nestMacros(deepest, *cat, kMaxMacroNesting);
    ASSERT_TRUE(load(loaded, *cat, save(deepest, GetParam())));
    EXPECT_EQ(macroDepth(loaded), kMaxMacroNesting);

    nestMacros(tooDeep, *cat, kMaxMacroNesting + 1);
    SaveStream out(GetParam());
    EXPECT_FALSE(saveInstanceTree(tooDeep, *out.state()));
    EXPECT_EQ(out.bytes(), SaveStream(GetParam()).bytes()) << "nothing written";

    // A file nested deeper is refused, however deep it goes.
    for (const int levels : {kMaxMacroNesting + 1, 20000}) {
        std::string open, close;
        for (int i = 0; i < levels; ++i) {
            open += "{ NodeList 256 1\n{ NodeData \"Macro\" \"macro\" 0 0 128 128 0 1 0\n";
            close += "}\n}\n";
        }
        const std::string file = open + "{ NodeList 256 0 }\n" + close;
        Previous prev;
        EXPECT_FALSE(load(prev.tree, *cat, frame(file))) << levels;
        EXPECT_TRUE(prev.unchanged());
    }
}

struct ImageCase {
    const char* what;
    std::map<std::string, HostID> onSave;
    bool listOnSave, listOnLoad;
    std::map<std::string, HostID> onLoad;
    HostID expect;
};

TEST_P(Persist, ImageReferencesResolveByName) {
    const ImageCase cases[] = {
        {"renumbered", {{"sky", 7}}, true, true, {{"sky", 12}}, 12},
        {"gone, read again from its file", {{"sky", 7}}, true, true, {{"other", 12}}, vxs::makeImageId(1)},
        {"gone with its file", {{"lost", 7}}, true, true, {{"other", 12}}, 0},
        {"no image list when saved", {{"sky", 7}}, false, true, {{"sky", 12}}, 0},
        {"no image list when loaded", {{"sky", 7}}, true, false, {{"sky", 12}}, 0},
    };
    auto cat = catalogue();
    for (const ImageCase& c : cases) {
        NodeList sample, tree;
        buildSample(sample, *cat);
        std::string data;
        {
            ImageList images(c.onSave, c.listOnSave);
            data = save(sample, GetParam());
        }
        ImageList images(c.onLoad, c.listOnLoad);
        ASSERT_TRUE(load(tree, *cat, data)) << c.what;
        EXPECT_EQ(tree.nodes[3]->inputs[0].param.intValue, c.expect) << c.what;
        EXPECT_EQ(tree.nodes[3]->inputs[1].param.intValue, -9) << c.what;
        EXPECT_EQ(static_cast<const KNote&>(*tree.nodes[4]).note, "kept") << c.what;
    }

    // A reference of another version is skipped whole and gives no image.
    ImageList images({{"sky", 12}});
    const std::string node =
        "{ NodeData \"Test\" \"image\" 0 0 1 1 0 1 2 0 0 7 0 0 0 \"\" 0 0 0 0 0 0 \"\"\n"
        "  { ImageRefData 257 1 \"sky\" 70 } }\n";
    NodeList tree;
    ASSERT_TRUE(load(tree, *catalogue(), frame(nodeList("2", node + mix("1 0")))));
    EXPECT_EQ(tree.nodes[0]->inputs[0].param.intValue, 0);
    EXPECT_EQ(tree.nodes[1]->inputs[0].source, tree.nodes[0].get());
}

}  // namespace
