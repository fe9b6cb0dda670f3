// The editor's node commands: delete, copy, cut, paste, selection and
// previews, each reporting on the information line.
#include <cstdio>
#include <string>

#include "editor/clipboard.h"
#include "editor/preview.h"
#include "editor/user_panel.h"

namespace vx {

namespace {
std::string count(const char* format, size_t n) {
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<int>(n));
    return text;
}
}  // namespace

void UserPanel::deleteSelected() {
    if (selection_.empty()) return;
    const size_t n = selection_.size();
    for (Node* node : selection_) removeNode(*current_, node);
    dropSelection();
    setInfo(count("%d nodes deleted.", n));
    redrawCanvas();
}

void UserPanel::copySelected() {
    if (selection_.empty()) return;
    copyNodes(*current_, selection_, catalogue_);
    setInfo(count("%d nodes copied.", selection_.size()));
    redrawCanvas();
}

void UserPanel::cutSelected() {
    if (selection_.empty()) return;
    const size_t n = selection_.size();
    copyNodes(*current_, selection_, catalogue_);
    for (Node* node : selection_) removeNode(*current_, node);
    dropSelection();
    setInfo(count("%d nodes cut.", n));
    redrawCanvas();
}

void UserPanel::paste() {
    if (clipboard().nodes.empty()) return;
    selection_ = pasteNodes(*current_, catalogue_, scrollX_ + kPlaceOffset, scrollY_ + kPlaceOffset);
    setInfo(count("%d nodes pasted.", selection_.size()));
    redrawCanvas();
}

void UserPanel::selectAll() {
    Node* first = currentNode();
    selection_.clear();
    if (first) selection_.push_back(first);
    for (const auto& n : current_->nodes)
        if (n.get() != first) selection_.push_back(n.get());
    redrawCanvas();
}

void UserPanel::deselectAll() {
    dropSelection();
    redrawCanvas();
}

void UserPanel::previewCurrent() {
    if (selection_.empty()) return;
    for (Node* n : selection_) renderPreview(surface_, *current_, *n);
    setInfo("Preview done.");
    redrawCanvas();
}

void UserPanel::previewAll() {
    for (const auto& n : current_->nodes) renderPreview(surface_, *current_, *n);
    setInfo("All preview done.");
    redrawCanvas();
}

}  // namespace vx
