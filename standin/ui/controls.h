// What a control shows and what typing into it means, where its parts sit,
// and how a script names it: the rules every panel of the stand-in shares.
#pragma once

#include <string>
#include <string_view>

#include "standin/ui/panel.h"

namespace vxs::ui {

// The text a value field shows: "%g" numbers, whole numbers for integers,
// distances with their unit ("1.5 m", "25 cm").
std::string fieldText(const Control& c, int part);

// What the control shows as the artist reads it: a field's text (a vector's
// three separated by spaces), "0" or "1" for a check box, the chosen item's
// text, a text field's text, a label's or button's text, the texts drawn in a
// canvas.
std::string shownValue(Control& c);

// Takes `typed` as the artist would type it into the control: numbers as the
// fields show them (a distance may carry a unit), a vector as three, a check
// box 0 or 1, a choice or popup by item text, a text field the whole text.
// False, leaving the control as it was, when the text is no such value.
bool setFromText(Control& c, std::string_view typed);

// The parts of a value field: its text boxes (three for a vector), the slider
// of a number with a range, the requester button of a path field.
struct FieldLayout {
    int parts = 1;
    Rect box[3];
    Rect slider;  // empty without one
    Rect button;  // empty without one
    int unitX = 0;  // where "%" or the degree sign goes, 0 for none
};
FieldLayout fieldLayout(const Control& c);

// The number a slider at panel column x stands for.
double sliderValue(const Control& c, int x);

// The control a script names by `label`: one with that label or, for a
// control without one, the first control right of the text label of that
// name on the same row. Null when the panel has none.
Control* findLabelled(Panel& panel, std::string_view label);

}  // namespace vxs::ui
