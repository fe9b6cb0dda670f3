#include "editor/user_panel.h"

#include <algorithm>

#include "core/persist.h"
#include "editor/config.h"
#include "editor/requester.h"
#include "editor/ui.h"

namespace vx {

namespace {
const char* const kMenuItems[] = {"Edit property", "------------------", "Preview current", "Preview all",
                                  "------------------", "Select all", "Deselect all", "------------------",
                                  "Cut", "Copy", "Paste", "------------------", "Delete", nullptr};
const char* const kFileItems[] = {"Open", "Save", "------------------", "Save to preset", "------------------",
                                  "Clear nodes", nullptr};
enum { FILE_OPEN = 0, FILE_SAVE = 1, FILE_PRESET = 3, FILE_CLEAR = 5 };
constexpr int kMenuWidth = 128;
constexpr int kThumbnailSize = 80, kThumbnailInset = 8;
constexpr int kTreeScrollBar = 40;

UserPanel& editor(void* data) { return *static_cast<UserPanel*>(data); }

void shelfLoad(void* data, const HostLoadState* state, const char* file, const char**) {
    const HostFileIO* io = host().fileIO;
    if (state) {
        editor(data).readTree(*state);
    } else if (HostLoadState* opened = file && io ? io->openLoad(file, 0) : nullptr) {
        editor(data).readTree(*opened);
        io->closeLoad(opened);
    }
}

void shelfSave(void* data, const HostSaveState* state, const char* file) {
    const HostFileIO* io = host().fileIO;
    if (state) {
        editor(data).writeTree(*state);
    } else if (HostSaveState* opened = file && io ? io->openSave(file, 0) : nullptr) {
        editor(data).writeTree(*opened);
        io->closeSave(opened);
    }
}
}  // namespace

// The Components tree's callbacks: the catalogue's categories, then kinds.
struct ComponentsTree {
    static NodeFactoryData* entry(void* data, void* item) {
        return item ? static_cast<NodeFactoryData*>(item) : static_cast<NodeFactoryData*>(data);
    }
    static int count(void* data, void* item) { return static_cast<int>(entry(data, item)->children().size()); }
    static void* child(void* data, void* item, int i) {
        const auto& c = entry(data, item)->children();
        return i >= 0 && static_cast<size_t>(i) < c.size() ? c[i].get() : nullptr;
    }
    static const char* label(void* data, void* item) {
        const NodeFactoryData* e = entry(data, item);
        return e->prototype() ? e->prototype()->name.c_str() : e->category().c_str();
    }
    static int expanded(void* data, void* item) { return entry(data, item)->expanded; }
    static void setExpanded(void* data, void* item, int open) { entry(data, item)->expanded = open != 0; }
};

UserPanel::UserPanel(std::string title_, NodeList& tree, NodeFactoryData& catalogue, void* surface)
    : PResizePanel(std::move(title_)), top_(tree), catalogue_(catalogue), surface_(surface),
      menu_(kMenuItems, kMenuWidth), shelf_(this, shelfLoad, shelfSave),
      messages_(uiService<HostInfoMessages>(HOST_GLOBAL_INFO_MESSAGES)), current_(&tree) {
    width = editorOptions().initialWidth;
    height = editorOptions().initialHeight;
    minWidth = kMinEditorWidth;
    minHeight = kMinEditorHeight;
}

UserPanel::~UserPanel() = default;

void UserPanel::show() {
    open(kEditorOpenFlags);
    if (!macros_.empty()) {
        while (!macros_.empty()) popMacroLevel();
        dropSelection();
        setQuitMacroState();
    }
    // Trees loaded with the scene carry their stored sizes; show them as measured here.
    measureAll();
    redrawCanvas();
    setInfo(kWelcome);
}

void UserPanel::resetView() {
    dropSelection();
    measureAll();
    redrawCanvas();
    setQuitMacroState();
}

void UserPanel::activated() { shelf_.serve(); }

void UserPanel::buildControls() {
    const int W = width, H = height;
    auto add = [this](int kind, const char* label, int x, int y, int w, int h, const char* const* items = nullptr,
                      const HostTreeFuncs* tree = nullptr) {
        HostControlDesc d = controlAt(kind, label, x, y, w, h);
        d.items = items;
        d.tree = tree;
        return services->addControl(panel, &d);
    };
    const HostTreeFuncs tree{&catalogue_, ComponentsTree::count, ComponentsTree::child, ComponentsTree::label,
                             ComponentsTree::expanded, ComponentsTree::setExpanded};
    filePopup_ = add(HOST_CTL_POPUP, "", 2, 0, 160, 0, kFileItems);
    addButton_ = add(HOST_CTL_BUTTON, "Add Component", 8, 30, 160, 0);
    quitButton_ = add(HOST_CTL_BUTTON, "Quit Macro", W - 72, 0, 64, 0);
    components_ = add(HOST_CTL_TREE, "Components", 8, 54, 144, H - 223, nullptr, &tree);
    canvas_ = add(HOST_CTL_CANVAS, "", kCanvasLeft, kCanvasTop, W - 183, H - 71);
    overview_ = add(HOST_CTL_CANVAS, "", 8, H - 161, kOverviewWidth, kOverviewHeight);
    infoLine_ = add(HOST_CTL_CANVAS, "", 8, H - 32, W - 40, 20);
    canvasRaster_ = PRaster(W - 184, H - 72);
    overviewRaster_ = PRaster(kOverviewWidth - 1, kOverviewHeight - 1);
    lastComponent_ = nullptr;
    setQuitMacroState();
}

void UserPanel::setQuitMacroState() {
    if (panel && quitButton_) services->ghost(quitButton_, macros_.empty());
}

void UserPanel::drawPanel() {
    constexpr HostColor light = HOST_RGB(192, 192, 192), dark = HOST_RGB(64, 64, 64);
    for (int i = 0; i < 4; ++i) {
        services->drawLine(panel, light, width - 20 + 4 * i, height, width, height - 20 + 4 * i);
        services->drawLine(panel, dark, width - 18 + 4 * i, height, width, height - 18 + 4 * i);
    }
    services->drawBorder(panel, 2, 8, 26, width - 16, 2);
}

void UserPanel::drawControl(HostControl control) {
    if (control == canvas_) redrawCanvas();
    if (control == overview_) drawOverview();
    if (control == infoLine_) drawInfoLine();
}

void UserPanel::drawInfoLine() const {
    if (!panel || !infoLine_) return;
    int x, y, w, h;
    services->hotRect(infoLine_, &x, &y, &w, &h);
    services->drawBox(panel, HOST_RGB(128, 128, 128), x, y, w, h);
    services->drawText(panel, HOST_RGB(0, 0, 0), x + 4, y + 4, info_.c_str());
}

void UserPanel::setInfo(std::string text) {
    info_ = std::move(text);
    drawInfoLine();
}

int UserPanel::textWidth(const char* s) const {
    return panel ? services->textWidth(panel, s) : canvasRaster_.textWidth(s);
}

void UserPanel::measureAll() {
    for (auto& n : current_->nodes) measureNode(*n, [this](const char* s) { return textWidth(s); });
}

void UserPanel::controlEvent(HostControl control) {
    setInfo("");
    if (control == filePopup_) {
        fileCommand(services->getInt(filePopup_));
        services->setInt(filePopup_, 0);
    } else if (control == addButton_) {
        addFromComponents();
    } else if (control == quitButton_) {
        quitMacro();
    } else if (control == components_) {
        componentsClicked();
    }
}

void UserPanel::fileCommand(int item) {
    switch (item) {
    case FILE_OPEN: openFile(); break;
    case FILE_SAVE: saveFile(); break;
    case FILE_PRESET: saveToPreset(); break;
    case FILE_CLEAR: clearNodes(); break;
    default: break;
    }
}

bool UserPanel::readTree(const HostLoadState& state) {
    const bool read = loadInstanceTree(*current_, catalogue_, state);
    dropSelection();
    measureAll();
    redrawCanvas();
    return read;
}

void UserPanel::writeTree(const HostSaveState& state) const { saveInstanceTree(*current_, state); }

void UserPanel::openFile() {
    const std::string path = requestFile("Open Valtorimex", "shd", true);
    const HostFileIO* io = host().fileIO;
    HostLoadState* state = path.empty() || !io ? nullptr : io->openLoad(path.c_str(), 0);
    if (!state) return;
    const bool read = readTree(*state);
    io->closeLoad(state);
    if (read) setInfo("Open valtorimex done.");
}

void UserPanel::saveFile() {
    const std::string path = requestFile("Save Valtorimex", "shd", false);
    const HostFileIO* io = host().fileIO;
    HostSaveState* state = path.empty() || !io ? nullptr : io->openSave(path.c_str(), 0);
    if (!state) return;
    writeTree(*state);
    io->closeSave(state);
    setInfo("Save valtorimex done.");
}

void UserPanel::saveToPreset() {
    const auto* images = static_cast<const HostImageUtility*>(host().imageUtility);
    HostImage thumbnail = images ? images->create(HOST_IMAGE_RGBFP, kThumbnailSize, kThumbnailSize) : nullptr;
    if (thumbnail) {
        const Node* root = findRoot(*current_);
        const uint8_t* preview = root ? root->preview.get() : nullptr;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                float rgb[3] = {0, 0, 0};
                for (int c = 0; preview && c < 3; ++c) rgb[c] = preview[(y * 64 + x) * 3 + c] * 0.003921569f;
                images->setPixel(thumbnail, kThumbnailInset + x, kThumbnailInset + y, rgb);
            }
    }
    shelf_.addPreset(thumbnail);
    if (thumbnail) images->destroy(thumbnail);
    setInfo("Save to preset done.");
}

void UserPanel::clearNodes() {
    if (!messages_ || messages_->okCancel("Info", "Really clear all nodes?") != 1) return;
    current_->nodes.clear();
    dropSelection();
    redrawCanvas();
}

void UserPanel::popMacroLevel() {
    current_ = macros_.back().tree;
    scrollX_ = macros_.back().scrollX;
    scrollY_ = macros_.back().scrollY;
    macros_.pop_back();
}

void UserPanel::quitMacro() {
    if (macros_.empty()) return;
    popMacroLevel();
    resetView();
}

void UserPanel::componentsClicked() {
    int px, py, x, y, w, h;
    services->pointer(panel, &px, &py);
    services->controlRect(components_, &x, &y, &w, &h);
    if (px < x || py < y || py >= y + h || px >= x + w - kTreeScrollBar) {
        lastComponent_ = nullptr;
        return;
    }
    const void* item = services->getItem(components_);
    const uint32_t now = clock();
    if (item && item == lastComponent_) {
        const bool twice = now - lastComponentTime_ < kDoubleClickMs;
        lastComponent_ = nullptr;
        if (twice) addFromComponents();
    } else {
        lastComponent_ = item;
        lastComponentTime_ = now;
    }
}

void UserPanel::addFromComponents() {
    const auto* entry = static_cast<const NodeFactoryData*>(services->getItem(components_));
    if (entry && entry->prototype()) addNode(entry->create());
}

void UserPanel::addNode(std::unique_ptr<Node> node) {
    if (node->isRoot && findRoot(*current_)) {
        setInfo(kMultipleRoot);
        return;
    }
    const Point at = placeNewNode(currentNode(), scrollX_, scrollY_, canvasWidth(), canvasHeight());
    node->x = at.x;
    node->y = at.y;
    measureNode(*node, [this](const char* s) { return textWidth(s); });
    selection_.assign(1, node.get());
    current_->nodes.push_back(std::move(node));
    redrawCanvas();
}

void UserPanel::shortcut(int key) {
    if (const ShortCutData* sc = scMan().find(key))
        if (std::unique_ptr<Node> node = catalogue_.createByName(sc->category, sc->name)) addNode(std::move(node));
}

}  // namespace vx
