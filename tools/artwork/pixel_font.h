// A small hand-drawn pixel font for the dialogs' text sheet: ink rows of
// each glyph, '#' for ink. Capitals and digits are 8 rows high; lower case
// letters have 2 ascender rows, 6 x-height rows and 2 descender rows.
#pragma once

namespace duo::art {

inline constexpr int kFontRows = 10;

struct PixelGlyph {
    char code;
    const char* rows[kFontRows]; // missing rows are blank
};

const PixelGlyph* pixel_glyph(char code);

} // namespace duo::art
