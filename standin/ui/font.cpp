#include "standin/ui/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vxs::ui {

namespace {
struct Glyph {
    int advance = 0, left = 0, top = 0, width = 0, rows = 0;
    std::vector<uint8_t> coverage;
};

class Font {
public:
    Font() {
        if (FT_Init_FreeType(&library_)) {
            error_ = "cannot start FreeType";
            return;
        }
        if (FT_New_Face(library_, kFontPath, 0, &face_) || FT_Set_Pixel_Sizes(face_, 0, kFontPixels)) {
            error_ = std::string("cannot load the font ") + kFontPath;
            face_ = nullptr;
            return;
        }
        ascent_ = int(face_->size->metrics.ascender >> 6);
    }
    ~Font() {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const std::string& error() const { return error_; }
    int ascent() const { return ascent_; }

    const Glyph* glyph(char32_t code) {
        if (!face_) return nullptr;
        auto it = glyphs_.find(code);
        if (it != glyphs_.end()) return &it->second;
        Glyph g;
        if (!FT_Load_Char(face_, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) {
            const FT_GlyphSlot slot = face_->glyph;
            g.advance = int((slot->advance.x + 32) >> 6);
            g.left = slot->bitmap_left;
            g.top = slot->bitmap_top;
            g.width = int(slot->bitmap.width);
            g.rows = int(slot->bitmap.rows);
            for (int r = 0; r < g.rows; ++r) {
                const uint8_t* row = slot->bitmap.buffer + r * slot->bitmap.pitch;
                g.coverage.insert(g.coverage.end(), row, row + g.width);
            }
        }
        return &glyphs_.emplace(code, std::move(g)).first->second;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    int ascent_ = 0;
    std::string error_;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

Font& font() {
    static Font f;
    return f;
}

// The next character of UTF-8 text; a byte that starts no valid sequence is
// taken as a Latin-1 character on its own.
char32_t nextChar(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return uint8_t(text[k]); };
    const uint8_t b = byte(i);
    const int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (b >= 0x80 && extra > 0 && i + size_t(extra) < text.size()) {
        char32_t c = b & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra && ok; ++k) {
            ok = (byte(i + size_t(k)) & 0xC0) == 0x80;
            c = (c << 6) | (byte(i + size_t(k)) & 0x3F);
        }
        if (ok) {
            i += size_t(extra) + 1;
            return c;
        }
    }
    ++i;
    return b;
}
}  // namespace

int textWidth(std::string_view text) {
    int w = 0;
    for (size_t i = 0; i < text.size();)
        if (const Glyph* g = font().glyph(nextChar(text, i))) w += g->advance;
    return w;
}

void drawText(Framebuffer& fb, int x, int y, std::string_view text, Rgb c) {
    const int baseline = y + font().ascent();
    for (size_t i = 0; i < text.size();) {
        const Glyph* g = font().glyph(nextChar(text, i));
        if (!g) return;
        for (int r = 0; r < g->rows; ++r)
            for (int col = 0; col < g->width; ++col)
                fb.blend(x + g->left + col, baseline - g->top + r, c, g->coverage[size_t(r * g->width + col)]);
        x += g->advance;
    }
}

bool fontLoaded(std::string& error) {
    error = font().error();
    return error.empty();
}

}  // namespace vxs::ui
