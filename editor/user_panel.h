// The editor window: the node canvas with its overview, the Components tree,
// the file popup, Quit Macro and the information line, over one shader
// instance's tree.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue.h"
#include "core/node.h"
#include "editor/canvas.h"
#include "editor/context_menu.h"
#include "editor/panel.h"
#include "editor/raster.h"
#include "editor/shelf.h"

namespace vx {

inline constexpr int kEditorOpenFlags = HOST_PANF_FRAME | HOST_PANF_NOBUTT;
inline constexpr int kCanvasLeft = 176, kCanvasTop = 30;
inline constexpr int kOverviewWidth = 160, kOverviewHeight = 120;

inline constexpr const char* kWelcome = "Welcome to the valtorimex editor.";
inline constexpr const char* kMultipleRoot = "Cannot put multiple root.";
inline constexpr const char* kConnectionLoop = "Connection loop detected, cannot connect.";

// Entering a macro pushes the level left; Quit Macro pops it.
struct MacroLevel {
    int scrollX, scrollY;
    NodeList* tree;
};

enum class DragState { None, Moving, Panning, Connecting, RubberBand };

// The items of the context menu, in order.
enum MenuItem {
    MI_EDIT = 0, MI_PREVIEW = 2, MI_PREVIEW_ALL = 3, MI_SELECT_ALL = 5, MI_DESELECT_ALL = 6,
    MI_CUT = 8, MI_COPY = 9, MI_PASTE = 10, MI_DELETE = 12
};

class UserPanel final : public PResizePanel {
public:
    // `tree` is the instance's tree, `surface` its host context.
    UserPanel(std::string title, NodeList& tree, NodeFactoryData& catalogue, void* surface);
    ~UserPanel() override;

    // Opens the window on the top-level tree and greets.
    void show();

    void activated() override;
    void drawPanel() override;
    void buttonDown(int x, int y, int qualifiers, bool doubleClick) override;
    void buttonUp(int x, int y, int qualifiers) override;
    void pointerMove(int x, int y, int qualifiers) override;
    void keyDown(int key) override;
    void controlEvent(HostControl control) override;
    void drawControl(HostControl control) override;
    void buildControls() override;

    void setInfo(std::string text);
    const std::string& info() const { return info_; }

    // Canvas commands.
    void redrawCanvas();
    void measureAll();
    void addNode(std::unique_ptr<Node> node);
    void editNode(Node* node);
    void quitMacro();
    void deleteSelected();
    void copySelected();
    void cutSelected();
    void paste();
    void selectAll();
    void deselectAll();
    void previewCurrent();
    void previewAll();
    void runMenuItem(int item);

    // Tree files, from the requester, the shelf or a test.
    bool readTree(const HostLoadState& state);
    void writeTree(const HostSaveState& state) const;

    NodeList* tree() const { return current_; }
    Node* currentNode() const { return selection_.empty() ? nullptr : selection_.front(); }
    const std::vector<Node*>& selection() const { return selection_; }
    const std::deque<MacroLevel>& macroStack() const { return macros_; }
    int scrollX() const { return scrollX_; }
    int scrollY() const { return scrollY_; }
    DragState dragState() const { return drag_; }

private:
    friend struct ComponentsTree;
    int textWidth(const char* s) const;
    int canvasWidth() const { return width - 183; }
    int canvasHeight() const { return height - 71; }
    bool inCanvas(int x, int y) const;
    Point toCanvas(int x, int y) const { return {x - kCanvasLeft + scrollX_, y - kCanvasTop + scrollY_}; }
    // Empties the selection and ends any drag, whose nodes may be gone.
    void dropSelection();
    void selectOnly(Node* node);
    void toggleSelected(Node* node);
    void makeCurrent(Node* node);
    void resetView();
    void popMacroLevel();
    void setQuitMacroState();
    void fileCommand(int item);
    void openFile();
    void saveFile();
    void saveToPreset();
    void clearNodes();
    void addFromComponents();
    void componentsClicked();
    void shortcut(int key);
    void startDrag(Node* node, const NodeHit& hit, int x, int y);
    void finishLink(int x, int y);
    void finishRubberBand(int x, int y);
    void edgeScroll(int x, int y, int& dx, int& dy);
    void drawNode(const Node& node, const LinkedOutputs& linked) const;
    void drawLinks() const;
    void drawOverview() const;
    void drawInfoLine() const;

    NodeList& top_;
    NodeFactoryData& catalogue_;
    void* surface_;
    PContextMenu menu_;
    PShelf shelf_;
    HostControl canvas_ = nullptr, overview_ = nullptr, filePopup_ = nullptr, components_ = nullptr,
                infoLine_ = nullptr, addButton_ = nullptr, quitButton_ = nullptr;
    const HostInfoMessages* messages_;
    PRaster canvasRaster_, overviewRaster_;
    std::string info_;
    std::vector<Node*> selection_;
    NodeList* current_;
    std::deque<MacroLevel> macros_;
    int scrollX_ = 0, scrollY_ = 0;
    const void* lastComponent_ = nullptr;
    uint32_t lastComponentTime_ = 0;

    DragState drag_ = DragState::None;
    Point anchor_{0, 0}, pointer_{0, 0}, last_{0, 0};
    Node* linkSource_ = nullptr;
    int linkOutput_ = -1;
};

}  // namespace vx
