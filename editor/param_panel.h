// The node parameter panel: a modal panel generated for each edit from the
// node's input records, one row per parameter with a host control chosen by
// the input's paramKind, the node's preview at the top left, OK and Cancel.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/node.h"
#include "editor/raster.h"
#include "host/ui_services.h"

namespace vx {

inline constexpr const char* kNoParameters = "No editable parameter for this node.";
inline constexpr int kParamPanelFlags = HOST_PANF_BLOCKING | HOST_PANF_FRAME;  // 5: with the host's OK and Cancel
inline constexpr int kParamRowPitch = 24;
inline constexpr int kParamPreviewX = 8, kParamPreviewY = 4, kParamPreviewSide = 65;
inline constexpr int kParamBorderX = 80;
inline constexpr int kSwatchWidth = 104, kSwatchHeight = 16;

// One parameter row.
struct EditCtlData {
    HostControl control = nullptr;
    int input = 0;  // index into the node's inputs
    int kind = 0;   // 0 for every row
    // Choice and popup items, the lines of the input's text, kept while the
    // host shows them; the name of a scene list's item, returned to the host.
    std::vector<std::string> lines;
    std::vector<const char*> items;
    std::string name;
};

// The panel's record, the host panel's user data.
struct EditPanelData {
    ~EditPanelData();
    NodeList* tree = nullptr;
    void* surface = nullptr;
    const HostPanelServices* services = nullptr;
    HostPanel panel = nullptr;
    PRaster preview;
    HostControl previewCanvas = nullptr;
    Node* node = nullptr;
    std::vector<std::unique_ptr<EditCtlData>> controls;
};

// Builds, runs and ends the panel for `node` of `tree`; false, with nothing
// shown, when the node has no parameter. `surface` lights the preview.
bool editParameters(NodeList& tree, void* surface, Node& node);

// Every row's control value written into its input, as OK does.
void readBack(EditPanelData& data);

}  // namespace vx
