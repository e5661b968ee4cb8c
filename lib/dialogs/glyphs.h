// Where each character of the dialogs' bitmap text lies on the text sheet
// (bitmap 156), and the captions of the captioned buttons.
#pragma once
#include <cstdint>

namespace duo {

inline constexpr int kGlyphHeight = 14;
inline constexpr int kFirstGlyphCode = 32;
inline constexpr int kGlyphCount = 96; // codes 32..127

struct Glyph {
    std::int16_t x, y, width; // source rectangle on the sheet, kGlyphHeight high
};

// The glyph of a character code, or nullptr for codes outside 32..127:
// bitmap text skips those.
const Glyph* glyph_of(unsigned char code);

// Width in pixels of the first `length` characters drawn as bitmap text.
int text_width(const char* text, int length);

struct Caption {
    std::int32_t control_id;
    const char* text;
    std::int16_t x; // while held down the caption moves one pixel up and left
};
inline constexpr int kCaptionY = 10;

// The caption of a captioned button, or nullptr: such a button shows a blank face.
const Caption* caption_of(std::int32_t control_id);

} // namespace duo
