// The interface services as a module calls them: the requester's buffers,
// the tree control and the preset shelf.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>

#include "standin/services/globals.h"
#include "standin/services/ui_services.h"
#include "standin/streams/files.h"
#include "standin/ui/keys.h"
#include "tests/temp_dir.h"

namespace vxs {
namespace {

// Answers from a list; menus and texts are not asked here.
struct ListAsker : ui::Asker {
    std::deque<std::optional<std::string>> answers;
    int chooseItem(ui::Panel&, const std::vector<std::string>&, int, int, int) override { return -1; }
    int ask(const std::string&, const std::string&, const std::vector<std::string>&) override { return -1; }
    void inform(const std::string&, const std::string&) override {}
    std::optional<std::string> requestFile(const std::string&, const std::string&, const std::string&) override {
        std::optional<std::string> a = answers.front();
        answers.pop_front();
        return a;
    }
};

class UiServices : public ::testing::Test {
protected:
    void SetUp() override { uiSession().asker = &asker; }
    void TearDown() override { uiSession() = UiSession{}; }
    ListAsker asker;
};

TEST_F(UiServices, FileRequestFillsNameDirectoryAndPath) {
    struct Row {
        const char* dir;
        std::optional<std::string> answer;
        int length, accepted;
        const char *name, *dirOut, *result;
    };
    const std::string longName(300, 'x');
    const Row rows[] = {
        {"", "/tmp/trees/a.shd", 260, 1, "a.shd", "/tmp/trees", "/tmp/trees/a.shd"},
        {"/home/me", "b", 260, 1, "b", "/home/me", "/home/me/b"},  // relative: in the directory
        {"/home/me", std::nullopt, 260, 0, "", "", ""},             // cancelled
        {"", "/tmp/" + longName, 260, 0, "", "", ""},               // does not fit
    };
    const auto* files = static_cast<const HostFileRequest*>(globalLookup(HOST_GLOBAL_FILE_REQUEST, 0));
    for (const Row& r : rows) {
        asker.answers = {r.answer};
        char name[260] = ">*.shd", dir[260] = {}, result[260] = {};
        std::snprintf(dir, sizeof dir, "%s", r.dir);
        ASSERT_EQ(files->request("Save Valtorimex", name, dir, result, r.length), r.accepted) << r.dir;
        if (!r.accepted) continue;
        EXPECT_STREQ(name, r.name);
        EXPECT_STREQ(dir, r.dirOut);
        EXPECT_STREQ(result, r.result);
    }
}

// The focus: moved by title or to the next panel, never past a modal one.
TEST_F(UiServices, FocusMovesAmongPanelsAModalOneLeavesReachable) {
    ui::Panel editor("Editor", 10, 10), view("View", 10, 10), modal("Modal", 10, 10);
    for (ui::Panel* p : {&editor, &view, &modal}) p->open();
    panelOpened(&editor);
    panelOpened(&view);
    EXPECT_EQ(focusPanel(), &view);
    EXPECT_EQ(focusOn("Editor"), "");
    EXPECT_EQ(focusPanel(), &editor);
    focusNext();
    EXPECT_EQ(focusPanel(), &view);
    EXPECT_EQ(focusOn("Nothing"), "no open panel is titled \"Nothing\"");
    panelOpened(&modal, true);
    EXPECT_EQ(focusOn("Editor"), "\"Modal\" must be closed first");
    focusNext();
    EXPECT_EQ(focusPanel(), &modal);
    for (ui::Panel* p : {&editor, &view, &modal}) panelClosed(p);
}

// A two-level tree: item 1 holds items 11 and 12.
struct TwoLevels {
    int expanded = 0, events = 0;
    static int count(void*, void* item) { return !item ? 1 : item == &one ? 2 : 0; }
    static void* child(void*, void* item, int i) { return !item ? &one : item == &one ? (i ? &twelve : &eleven) : nullptr; }
    static const char* label(void*, void* item) { return item == &one ? "one" : item == &eleven ? "eleven" : "twelve"; }
    static int isExpanded(void* d, void*) { return static_cast<TwoLevels*>(d)->expanded; }
    static void setExpanded(void* d, void*, int e) { static_cast<TwoLevels*>(d)->expanded = e; }
    static inline int one, eleven, twelve;
};

TEST_F(UiServices, TreeControlSelectsWhatIsPressedAndOpensOnTheTriangle) {
    const auto* ps = static_cast<const HostPanelServices*>(globalLookup(HOST_GLOBAL_PANEL_SERVICES, 0));
    TwoLevels data;
    HostTreeFuncs funcs{&data, TwoLevels::count, TwoLevels::child, TwoLevels::label, TwoLevels::isExpanded,
                        TwoLevels::setExpanded};
    HostPanelHandlers handlers{};
    handlers.control = [](void* d, HostControl) { ++static_cast<TwoLevels*>(d)->events; };
    HostPanel panel = ps->create("Tree", &handlers, &data);
    ASSERT_EQ(ps->open(panel, HOST_PANF_NOBUTT), 1);
    HostControlDesc desc{};
    desc.kind = HOST_CTL_TREE;
    desc.label = "Components";
    desc.x = 8, desc.y = 8, desc.width = 144, desc.height = 200;
    desc.tree = &funcs;
    HostControl tree = ps->addControl(panel, &desc);
    // Rows are 16 high under a 16-pixel header; the triangle is at the left.
    const struct { int x, y; void* selected; int expanded; } presses[] = {
        {14, 33, &TwoLevels::one, 1}, {60, 49, &TwoLevels::eleven, 1}, {60, 33, &TwoLevels::one, 1},
        {60, 150, nullptr, 1}, {14, 33, &TwoLevels::one, 0}};
    ui::Panel& shown = *focusPanel();
    for (const auto& p : presses) {
        shown.mouseDown(asker, ui::qual::kLeft, p.x, p.y);
        shown.mouseUp(ui::qual::kLeft, p.x, p.y);
        EXPECT_EQ(ps->getItem(tree), p.selected) << p.x << "," << p.y;
        EXPECT_EQ(data.expanded, p.expanded) << p.x << "," << p.y;
    }
    EXPECT_EQ(data.events, 5);
    ps->destroy(panel);
}

TEST_F(UiServices, ShelfKeepsPresetsWithThumbnailsAndLoadsAClickedOne) {
    vxt::TempDir dir;
    uiSession().presetFolder = (dir.dir() / "presets").string();
    struct Client {
        std::string loaded;
    } client;
    const auto* shelf = static_cast<const HostShelfFuncs*>(globalLookup(HOST_GLOBAL_SHELF_FUNCS, 0));
    const auto* images = static_cast<const HostImageUtility*>(globalLookup(HOST_GLOBAL_IMAGE_UTILITY, 0));
    HostShelfClient c = shelf->open(
        "ShaderHandler", "QK_Valtorimex", &client, 14, [](void*) { return 1; },
        [](void* d, const HostLoadState*, const char* file, const char**) { static_cast<Client*>(d)->loaded = file; },
        [](void*, const HostSaveState*, const char* file) {
            std::string error;
            writeFile(file, "tree", error);
        });
    HostImage thumb = images->create(HOST_IMAGE_RGBFP, 80, 80);
    ASSERT_EQ(shelf->isOpen(c), 0);
    shelf->openWindow(c);
    EXPECT_EQ(shelf->addPreset(c, thumb, nullptr), 1);
    EXPECT_EQ(shelf->addPreset(c, thumb, nullptr), 1);
    images->destroy(thumb);
    for (const char* f : {"preset-001.shd", "preset-001.png", "preset-002.shd", "preset-002.png"})
        EXPECT_TRUE(std::filesystem::exists(dir.dir() / "presets" / f)) << f;
    ui::Panel* window = focusPanel();
    ASSERT_NE(window, nullptr);
    window->mouseDown(asker, ui::qual::kLeft, 8 + 88 + 40, 28 + 40);  // the second thumbnail
    EXPECT_EQ(client.loaded, (dir.dir() / "presets" / "preset-002.shd").string());
    window->keyDown(ui::key::kEscape);
    EXPECT_EQ(shelf->isOpen(c), 0);
    shelf->close(c);
}

}  // namespace
}  // namespace vxs
