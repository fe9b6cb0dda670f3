// Host panel wrappers. Every host panel event becomes one virtual operation of
// the panel object, in one fixed slot order; presses are checked for
// double-clicks and the Shift, Alt and Ctrl keys are tracked.
#pragma once

#include <cstdint>
#include <string>

#include "host/ui_services.h"

namespace vx {

inline constexpr int kDoubleClickPixels = 2;
inline constexpr uint32_t kDoubleClickMs = 500;
inline constexpr int kGripSize = 16;
// What the panel base adds to every opening: pointer movement and every key.
inline constexpr int kPanelBaseFlags = HOST_PANF_MOUSETRAP | HOST_PANF_PASSALLKEYS;

// A control's description at (x, y), w x h pixels (0: the kind's own size).
HostControlDesc controlAt(int kind, const char* label, int x, int y, int w = 0, int h = 0);

// A press is a double-click when the previous press was at most 2 pixels away
// in x and in y and less than 500 ms earlier.
class DoubleClick {
public:
    bool press(int x, int y, uint32_t ms);

private:
    bool pressed_ = false;
    int x_ = 0, y_ = 0;
    uint32_t time_ = 0;
};

class PPanel {
public:
    PPanel(std::string title, bool resizable);
    virtual ~PPanel();                                   // slot 0
    PPanel(const PPanel&) = delete;
    PPanel& operator=(const PPanel&) = delete;

    virtual void opened() {}                             // 1
    virtual void closed() {}                             // 2
    virtual void activated() {}                          // 3
    virtual void drawPanel() {}                          // 4
    virtual void buttonDown(int /*x*/, int /*y*/, int /*qualifiers*/, bool /*doubleClick*/) {} // 5
    virtual void buttonUp(int /*x*/, int /*y*/, int /*qualifiers*/) {}  // 6
    virtual void pointerMove(int /*x*/, int /*y*/, int /*qualifiers*/) {} // 7
    virtual void keyDown(int /*key*/) {}                 // 8
    virtual void keyUp(int /*key*/) {}                   // 9
    virtual void controlEvent(HostControl /*control*/) {} // 10
    virtual void drawControl(HostControl /*control*/) {} // 11
    virtual void buildControls() {}                      // 12
    virtual void beforeRecreate() {}                     // 13
    virtual void afterRecreate() {}                      // 14

    // Creates the host panel, or closes and re-creates it when one exists,
    // and opens it; the host's result (for a blocking panel, OK or Cancel).
    int open(int flags);
    // True while Shift (HOST_KEY_SHIFT), Alt or Ctrl is held.
    bool modifier(int keyCode) const;

    std::string title;
    const HostPanelServices* services;
    HostPanel panel = nullptr;
    int width = 640, height = 480;
    int minWidth = 320, minHeight = 320;

protected:
    uint32_t clock() const;

private:
    static void onOpen(void* data);
    static void onClose(void* data);
    static void onActivate(void* data);
    static void onDraw(void* data);
    static void onKeyDown(void* data, int key);
    static void onKeyUp(void* data, int key);
    static void onMouse(void* data, int qualifiers, int x, int y);
    static void onMove(void* data, int qualifiers, int x, int y);
    static void onControl(void* data, HostControl control);
    static void onDrawControl(void* data, HostControl control);
    void setModifier(int keyCode, bool down);

    bool resizable_;
    int flags_ = 0;
    bool recreated_ = false;
    bool shift_ = false, alt_ = false, ctrl_ = false;
    bool resizing_ = false;
    int lastX_ = 0, lastY_ = 0;
    DoubleClick click_;
};

// A panel the artist resizes by dragging the 16 x 16 grip in its corner.
class PResizePanel : public PPanel {
public:
    explicit PResizePanel(std::string title) : PPanel(std::move(title), true) {}
};

// A panel of a fixed size.
class PSimplePanel : public PPanel {
public:
    explicit PSimplePanel(std::string title) : PPanel(std::move(title), false) {}
};

}  // namespace vx
