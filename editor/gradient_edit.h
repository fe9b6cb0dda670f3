// The gradient editor: a fixed-size window showing a gradient node's keys as a
// vertical colour bar with one arrow per key, where keys are picked, dragged,
// added, deleted, mirrored and rescaled, and the current key's colour (or
// value), alpha and position are edited. Every change is made in the node's
// own key list.
#pragma once

#include <memory>
#include <vector>

#include "editor/panel.h"
#include "editor/raster.h"
#include "nodes/gradient.h"

namespace vx {

inline constexpr const char* kGradientEditorTitle = "Gradient Editor";
inline constexpr int kGradientBarWidth = 80, kGradientBarHeight = 296;

// The bar's picture: w x h rows of RGB bytes, keys marked from the lowest up,
// the current key's outline highlighted. In value mode the red of each key
// stands for all three components.
void drawGradientBar(const Gradient& keys, const GValue* current, bool valueMode, int w, int h,
                     std::vector<unsigned char>& rgb);
// The colour and alpha at p as the bar shows them: interpolated between the
// keys around p, the end key's beyond the range; black and opaque with fewer
// than two keys.
void gradientAt(const Gradient& keys, double p, NodeValue& colour, double& alpha);

class PGradientEdit final : public PSimplePanel {
public:
    explicit PGradientEdit(bool valueMode);

    // Edits `keys` from now on and opens the window without blocking.
    void edit(Gradient& keys);

    void opened() override;
    void closed() override;
    void drawPanel() override;
    void buttonDown(int x, int y, int qualifiers, bool doubleClick) override;
    void buttonUp(int x, int y, int qualifiers) override;
    void pointerMove(int x, int y, int qualifiers) override;
    void controlEvent(HostControl control) override;
    void drawControl(HostControl control) override;
    void buildControls() override;

    // Draws the bar's raster and copies it onto the bar canvas.
    void redrawBar();
    const GValue* current() const { return current_; }

private:
    struct Controls {
        HostControl bar, high, low, copy, paste, inverse, remove, value, alpha, position;
    };
    // The fields show the current key and the range again.
    void refresh();
    void redrawSwatch();
    // The key whose marker lies within 8 pixels of row y of the bar, from the
    // highest position down; null when none.
    GValue* keyAtRow(int y) const;
    void addKeyAt(double p);
    void dragTo(double p);
    void pickColour();
    // Every key's position mapped from [lowest, highest] onto [low, high].
    void rescale(double low, double high);
    // Lowest + (y - bar top) / bar height of the range.
    double positionAt(int y) const;

    PRaster bar_, swatch_;
    std::vector<unsigned char> barPixels_;
    Gradient* keys_ = nullptr;
    GValue* current_ = nullptr;
    std::unique_ptr<GValue> clipboard_;
    bool dragging_ = false;
    Controls c_{};
    bool valueMode_;
};

}  // namespace vx
