// The texts and geometry of the tool's three dialogs: the bitmap font's
// glyph table, chip names, frequency and version texts, the frequency
// list's cells and the settings dialog's items.
#pragma once
#include <string>

#include "tool/bar_layout.h"

namespace duo::tool {

inline constexpr int kGlyphHeight = 14;
// The two text sheets: 246 wide; the light one (171) has 46 rows, the dark
// one (170) 45.
inline constexpr int kTextSheetWidth = 246;
inline constexpr int kLightSheetRows = 46;
inline constexpr int kDarkSheetRows = 45;

struct Glyph {
    int x, y, width;
    bool operator==(const Glyph&) const = default;
};

// Place of a character in the text sheets. Codes outside 32..127 have no
// glyph and answer width 0.
Glyph glyph_for(char c);
// How many of the glyph's rows lie inside a sheet of this many rows: the
// blank (rows 32 to 45) is one row short in the dark sheet, and that row is
// left as the background it is drawn on.
int glyph_rows(const Glyph& glyph, int sheet_rows);
// Width in pixels of a text drawn with the sheets.
int bitmap_text_width(const std::string& text);

// The adapter's name for a chip code, or "" for a code without one.
const char* chip_name(int chip_code);
// "75Hz" .. "120Hz" for frequency indexes 0..9, "" otherwise.
const char* frequency_text(int index);
// " 90Hz" .. "120Hz" for indexes 3..9 (the frequency dialog's default
// display), "" otherwise.
const char* default_frequency_text(int index);
// "NA" for -1, otherwise hundredths shown as "1.0", "1.5".
std::string version_text(int version);
// How the library reaches the adapter (query 106's answer), "" for none.
const char* port_access_text(int access);

// Frequency select dialog: the frequency indexes 3..9 stand in two columns.
inline constexpr int kFirstListedFrequency = 3;
inline constexpr int kLastListedFrequency = 9;
Point frequency_label_position(int index);
// Where the 20x20 selection marker goes for a frequency index.
Point frequency_marker_position(int index);
// The shown frequency index after a click at this client point, given the
// availability flags (20 entries).
int frequency_after_click(int shown, Point click, const int (&available)[20]);

// Settings dialog items, in the order clicks are tested.
enum class SettingsItem { kOnTop, kOneRow, kTwoRows, kOneColumn, kTwoColumns, kHotKeyT, kHotKeyO, kNoHotKey };
inline constexpr int kSettingsItemCount = 8;
const char* settings_label(SettingsItem item);
Point settings_label_position(SettingsItem item, Size client);
// The clicked item (its label cell, 90x16), or -1.
int settings_item_at(Point click, Size client);

inline constexpr int kHotKeyT = 1023;
inline constexpr int kHotKeyO = 1024;

// Working values of the settings dialog and what a click on an item does.
struct SettingsChoice {
    int layout;
    int hot_key;
    bool on_top;
};
void apply_settings_click(SettingsChoice& choice, SettingsItem item);
// The item whose mark shows the layout / hot key, or -1 for a value
// without an item.
int layout_item(int layout);
int hot_key_item(int hot_key);

} // namespace duo::tool
