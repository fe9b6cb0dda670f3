// Text for the stand-in's panels: DejaVu Sans through FreeType at one pixel
// size, hinted so that every advance is whole pixels. Widths and pictures are
// then the same on every machine with the same font package.
#pragma once

#include <string_view>

#include "standin/ui/framebuffer.h"

namespace vxs::ui {

inline constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr int kFontPixels = 11;
inline constexpr int kTextHeight = 13;  // one line of text, ascent and descent

// Width in pixels of UTF-8 text; bytes that are not UTF-8 count as Latin-1.
// 0 for every text when the font cannot be loaded.
int textWidth(std::string_view text);

// Draws text with the top of its line at y.
void drawText(Framebuffer& fb, int x, int y, std::string_view text, Rgb c);

// False when the font file could not be loaded; the reason is in `error`.
bool fontLoaded(std::string& error);

}  // namespace vxs::ui
