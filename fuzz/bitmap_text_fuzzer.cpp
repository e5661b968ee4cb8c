// Bitmap text on arbitrary strings: every glyph a string can name lies on
// the text sheet, characters outside 32..127 are skipped, and the width of
// a text is the sum of its glyphs' widths, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lib/dialogs/glyphs.h"

namespace {

constexpr std::size_t kMaxInput = 4096;
constexpr int kSheetWidth = 246, kSheetHeight = 46; // bitmap 156

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    // An exactly sized copy, so that a read past the text is caught.
    std::vector<char> text(data, data + size);
    int expected = 0;
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        const duo::Glyph* g = duo::glyph_of(code);
        check((g != nullptr) == (code >= 32 && code <= 127));
        if (!g) continue;
        check(g->x >= 0 && g->y >= 0 && g->width >= 0);
        check(g->x + g->width <= kSheetWidth && g->y + duo::kGlyphHeight <= kSheetHeight);
        expected += g->width;
    }
    check(duo::text_width(text.data(), static_cast<int>(text.size())) == expected);
    check(duo::text_width(text.data(), -static_cast<int>(size)) == 0);
    return 0;
}
