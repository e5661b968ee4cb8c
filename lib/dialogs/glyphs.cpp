#include "lib/dialogs/glyphs.h"

#include <initializer_list>

namespace duo {
namespace {

constexpr Glyph kCorner{0, 0, 14};  // the sheet's top-left cell, for codes without a glyph
constexpr Glyph kSpace{125, 32, 7};
constexpr Glyph kGap{125, 30, 7};   // an empty part of the sheet

constexpr int kUpperY = 0;
constexpr int kLowerY = 15;
constexpr int kDigitY = 30;

struct Placed {
    char code;
    std::int16_t x, width;
};

constexpr Placed kUpper[] = {
    {'A', 1, 8},   {'B', 10, 8},  {'C', 19, 8},  {'D', 29, 8},  {'E', 39, 8},  {'F', 49, 7},  {'G', 57, 9},
    {'H', 68, 8},  {'I', 78, 4},  {'J', 84, 6},  {'K', 91, 7},  {'L', 100, 7}, {'M', 108, 10}, {'N', 130, 8},
    {'O', 119, 9}, {'P', 140, 7}, {'Q', 149, 9}, {'R', 159, 8}, {'S', 169, 7}, {'T', 178, 8}, {'U', 187, 8},
    {'V', 197, 8}, {'W', 206, 11}, {'X', 218, 9}, {'Y', 227, 8}, {'Z', 236, 8},
};
constexpr Placed kLower[] = {
    {'a', 2, 5},   {'b', 9, 7},   {'c', 17, 6},  {'d', 25, 7},  {'e', 33, 7},  {'f', 42, 4},  {'g', 47, 6},
    {'h', 55, 7},  {'i', 64, 4},  {'j', 68, 5},  {'k', 79, 5},  {'l', 74, 4},  {'m', 87, 10}, {'n', 98, 6},
    {'o', 106, 6}, {'p', 114, 7}, {'q', 122, 8}, {'r', 130, 5}, {'s', 137, 5}, {'t', 144, 5}, {'u', 150, 7},
    {'v', 158, 6}, {'w', 166, 8}, {'x', 176, 6}, {'y', 184, 6}, {'z', 191, 7},
};
constexpr Placed kDigits[] = {
    {'1', 2, 6},  {'2', 10, 7}, {'3', 18, 7}, {'4', 27, 6},  {'5', 35, 6},  {'6', 42, 7},   {'7', 51, 7},
    {'8', 59, 6}, {'9', 67, 6}, {'0', 75, 8}, {'.', 89, 4}, {':', 95, 4}, {'+', 100, 8}, {'/', 114, 5},
    {'\\', 114, 5},
};

constexpr void place(Glyph (&table)[kGlyphCount], const Placed* items, int count, std::int16_t y) {
    for (int i = 0; i < count; ++i) table[items[i].code - kFirstGlyphCode] = Glyph{items[i].x, y, items[i].width};
}

struct Table {
    Glyph g[kGlyphCount];
};

constexpr Table make_table() {
    Table t{};
    for (Glyph& g : t.g) g = kCorner;
    place(t.g, kUpper, sizeof kUpper / sizeof kUpper[0], kUpperY);
    place(t.g, kLower, sizeof kLower / sizeof kLower[0], kLowerY);
    place(t.g, kDigits, sizeof kDigits / sizeof kDigits[0], kDigitY);
    t.g[' ' - kFirstGlyphCode] = kSpace;
    for (char c : {'\'', '(', ')', '?', '_'}) t.g[c - kFirstGlyphCode] = kGap;
    return t;
}

constexpr Table kTable = make_table();

constexpr Caption kCaptions[] = {
    {1002, "OK", 36},     {1003, "Cancel", 26},     {1004, "Default", 26}, {1005, "Close", 24},
    {1006, "Test", 27},   {1007, "Set default", 6}, {1008, "Yes", 31},     {1009, "No", 35},
    {1010, "Retry", 25},  {1011, "Yes", 31},        {1012, "No", 35},      {1013, "Abort", 25},
    {1014, "Test all", 15},
};

} // namespace

const Glyph* glyph_of(unsigned char code) {
    if (code < kFirstGlyphCode || code >= kFirstGlyphCode + kGlyphCount) return nullptr;
    return &kTable.g[code - kFirstGlyphCode];
}

int text_width(const char* text, int length) {
    int width = 0;
    for (int i = 0; i < length; ++i)
        if (const Glyph* g = glyph_of(static_cast<unsigned char>(text[i]))) width += g->width;
    return width;
}

const Caption* caption_of(std::int32_t control_id) {
    for (const Caption& c : kCaptions)
        if (c.control_id == control_id) return &c;
    return nullptr;
}

} // namespace duo
