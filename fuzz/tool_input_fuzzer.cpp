// What the bar program reads from outside: its command line, its position
// file "DuoDeck.ini", and the texts it draws as bitmap text. The first byte
// picks which; the rest is the input. Nothing may crash or read past the
// input, the command line yields only frequency indexes the library takes,
// a position file only known arrangements on the screen, and text widths add
// up and stay inside the text sheets.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "tool/command_line.h"
#include "tool/dialog_text.h"
#include "tool/position_file.h"

namespace {

constexpr std::size_t kMaxInput = 4096;

void check(bool ok) {
    if (!ok) std::abort();
}

void command_line(const std::vector<char>& input) {
    const std::string_view text(input.data(), input.size());
    for (int start : {20, 0, 9}) {
        const duo::tool::CommandLine c = duo::tool::scan_command_line(text, start);
        check(c.enable_commands >= 0);
        check(c.enable_frequency == start || (c.enable_frequency >= 0 && c.enable_frequency <= 9));
        check(!c.frequency_chosen || (c.enable_frequency >= 3 && c.enable_frequency <= 9));
    }
}

void position_file(const std::vector<char>& input) {
    duo::tool::PositionRecord record;
    duo::tool::apply_position_bytes(record, reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    check(record.layout >= duo::tool::kLayoutOneRow && record.layout <= duo::tool::kLayoutTwoColumns);
    // What is written back reads back the same.
    const auto bytes = duo::tool::encode_position(record);
    duo::tool::PositionRecord again;
    duo::tool::apply_position_bytes(again, bytes.data(), bytes.size());
    check(again.layout == record.layout);
    check(std::memcmp(&again.rect, &record.rect, sizeof record.rect) == 0);
    // Whatever the file says, the bar starts wholly on the screen.
    const duo::tool::Rect screen{0, 0, 640, 480};
    const duo::tool::Size size = duo::tool::bar_size(record.layout);
    const duo::tool::Point at = duo::tool::onto_screen({record.rect.left, record.rect.top}, size, screen);
    check(at.x >= 0 && at.y >= 0 && at.x + size.width <= 640 && at.y + size.height <= 480);
}

void bitmap_text(const std::vector<char>& input) {
    const std::string text(input.begin(), input.end());
    int expected = 0;
    for (char c : text) {
        const duo::tool::Glyph g = duo::tool::glyph_for(c);
        const auto code = static_cast<unsigned char>(c);
        check(g.width >= 0 && g.x >= 0 && g.y >= 0);
        if (code < 32 || code > 127) check(g.width == 0);
        // Every copy stays inside both text sheets.
        check(g.x + g.width <= duo::tool::kTextSheetWidth);
        check(g.y + duo::tool::glyph_rows(g, duo::tool::kDarkSheetRows) <= duo::tool::kDarkSheetRows);
        check(g.y + duo::tool::glyph_rows(g, duo::tool::kLightSheetRows) <= duo::tool::kLightSheetRows);
        expected += g.width;
    }
    check(duo::tool::bitmap_text_width(text) == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > kMaxInput) return 0;
    // An exactly sized copy, so that a read past the input is caught.
    const std::vector<char> input(data + 1, data + size);
    switch (data[0] % 3) {
    case 0: command_line(input); break;
    case 1: position_file(input); break;
    default: bitmap_text(input); break;
    }
    return 0;
}
