#include "tool/dialog_text.h"

#include <algorithm>
#include <cstdio>

#include "lib/hw/chips.h"

namespace duo::tool {
namespace {

constexpr Glyph kUpper[26] = {{1, 0, 8},   {10, 0, 8},  {19, 0, 8},  {29, 0, 8},  {39, 0, 8},  {49, 0, 7},
                              {57, 0, 9},  {68, 0, 8},  {78, 0, 4},  {84, 0, 6},  {91, 0, 7},  {100, 0, 7},
                              {108, 0, 10}, {130, 0, 8}, {119, 0, 9}, {140, 0, 7}, {149, 0, 9}, {159, 0, 8},
                              {169, 0, 7}, {178, 0, 8}, {187, 0, 8}, {197, 0, 8}, {206, 0, 11}, {218, 0, 9},
                              {227, 0, 8}, {236, 0, 8}};
constexpr Glyph kLower[26] = {{2, 15, 5},   {9, 15, 7},   {17, 15, 6},  {25, 15, 7},  {33, 15, 7},  {42, 15, 4},
                              {47, 15, 6},  {55, 15, 7},  {64, 15, 4},  {68, 15, 5},  {79, 15, 5},  {74, 15, 4},
                              {87, 15, 10}, {98, 15, 6},  {106, 15, 6}, {114, 15, 7}, {122, 15, 8}, {130, 15, 5},
                              {137, 15, 5}, {144, 15, 5}, {150, 15, 7}, {158, 15, 6}, {166, 15, 8}, {176, 15, 6},
                              {184, 15, 6}, {191, 15, 7}};
constexpr Glyph kDigits[10] = {{75, 30, 8}, {2, 30, 6},  {10, 30, 7}, {18, 30, 7}, {27, 30, 6},
                               {35, 30, 6}, {42, 30, 7}, {51, 30, 7}, {59, 30, 6}, {67, 30, 6}};
constexpr Glyph kBlank{125, 32, 8};
constexpr Glyph kUnknown{0, 0, 14};

constexpr const char* kSettingsLabels[kSettingsItemCount] = {"Always on top", "one row",   "two rows",  "one column",
                                                             "two columns",   "Alt+Ctl+T", "Alt+Ctl+O", "disable"};

} // namespace

Glyph glyph_for(char ch) {
    const int c = static_cast<unsigned char>(ch);
    if (c < 32 || c > 127) return {0, 0, 0};
    if (c >= 'A' && c <= 'Z') return kUpper[c - 'A'];
    if (c >= 'a' && c <= 'z') return kLower[c - 'a'];
    if (c >= '0' && c <= '9') return kDigits[c - '0'];
    switch (c) {
    case ' ': return kBlank;
    case '.': return {89, 30, 4};
    case ':': return {95, 30, 4};
    case '+': return {100, 30, 8};
    case '/': return {114, 30, 5};
    case '\\': return {114, 30, 5};
    case '_': return {125, 30, 8};
    default: return kUnknown;
    }
}

int glyph_rows(const Glyph& glyph, int sheet_rows) {
    return std::clamp(sheet_rows - glyph.y, 0, kGlyphHeight);
}

int bitmap_text_width(const std::string& text) {
    int w = 0;
    for (char c : text) w += glyph_for(c).width;
    return w;
}

const char* chip_name(int chip_code) { return chip_name_of(chip_code); }

const char* frequency_text(int index) {
    static constexpr const char* kTexts[10] = {"75Hz",  "80Hz",  "85Hz",  "90Hz",  "95Hz",
                                               "100Hz", "105Hz", "110Hz", "115Hz", "120Hz"};
    return index >= 0 && index < 10 ? kTexts[index] : "";
}

const char* default_frequency_text(int index) {
    static constexpr const char* kTexts[7] = {" 90Hz", " 95Hz", "100Hz", "105Hz", "110Hz", "115Hz", "120Hz"};
    return index >= kFirstListedFrequency && index <= kLastListedFrequency ? kTexts[index - kFirstListedFrequency]
                                                                           : "";
}

std::string version_text(int version) {
    if (version == -1) return "NA";
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d", version / 100, version % 100);
    return text;
}

const char* port_access_text(int access) {
    switch (access) {
    case 1: return "DUOGATE driver";
    case 2: return "own (Windows 95)";
    default: return "";
    }
}

Point frequency_label_position(int index) {
    const int k = index - kFirstListedFrequency;
    return {40 + 80 * (k / 5), 30 + 30 * (k % 5)};
}

Point frequency_marker_position(int index) {
    const int k = index - kFirstListedFrequency; // division truncates toward zero
    return {20 + 80 * (k / 5), 28 + 30 * (k % 5)};
}

int frequency_after_click(int shown, Point click, const int (&available)[20]) {
    for (int j = 0; j < 2; ++j) {
        const int x = 20 + 80 * j;
        for (int r = 0; r < 5; ++r) {
            const int y = 30 + 30 * r;
            const int index = kFirstListedFrequency + 5 * j + r;
            if (click.x < x || click.x >= x + 90 || click.y < y || click.y >= y + 16) continue;
            if (available[index] == 0) continue;
            if (5 * j + r <= 6) shown = index;
            break;
        }
    }
    return shown;
}

const char* settings_label(SettingsItem item) {
    const int i = static_cast<int>(item);
    return i >= 0 && i < kSettingsItemCount ? kSettingsLabels[i] : "";
}

Point settings_label_position(SettingsItem item, Size client) {
    const int w = client.width, h = client.height;
    const int left = w / 5, right = 3 * w / 5 + 20, top = h / 3;
    switch (item) {
    case SettingsItem::kOnTop: return {left, h / 20 + 3};
    case SettingsItem::kOneRow: return {left, top};
    case SettingsItem::kTwoRows: return {left, top + h / 7};
    case SettingsItem::kOneColumn: return {left, top + 2 * h / 7};
    case SettingsItem::kTwoColumns: return {left, top + 3 * h / 7};
    case SettingsItem::kHotKeyT: return {right, top + 2 * h / 10};
    case SettingsItem::kHotKeyO: return {right, top + 3 * h / 10};
    case SettingsItem::kNoHotKey: return {right, top + 4 * h / 10};
    }
    return {0, 0};
}

int settings_item_at(Point click, Size client) {
    for (int i = 0; i < kSettingsItemCount; ++i) {
        const Point p = settings_label_position(static_cast<SettingsItem>(i), client);
        if (click.x >= p.x && click.x < p.x + 90 && click.y >= p.y && click.y < p.y + 16) return i;
    }
    return -1;
}

void apply_settings_click(SettingsChoice& choice, SettingsItem item) {
    switch (item) {
    case SettingsItem::kOnTop: choice.on_top = !choice.on_top; break;
    case SettingsItem::kOneRow: choice.layout = kLayoutOneRow; break;
    case SettingsItem::kTwoRows: choice.layout = kLayoutTwoRows; break;
    case SettingsItem::kOneColumn: choice.layout = kLayoutOneColumn; break;
    case SettingsItem::kTwoColumns: choice.layout = kLayoutTwoColumns; break;
    case SettingsItem::kHotKeyT: choice.hot_key = kHotKeyT; break;
    case SettingsItem::kHotKeyO: choice.hot_key = kHotKeyO; break;
    case SettingsItem::kNoHotKey: choice.hot_key = 0; break;
    }
}

int layout_item(int layout) {
    switch (layout) {
    case kLayoutOneRow: return static_cast<int>(SettingsItem::kOneRow);
    case kLayoutTwoRows: return static_cast<int>(SettingsItem::kTwoRows);
    case kLayoutOneColumn: return static_cast<int>(SettingsItem::kOneColumn);
    case kLayoutTwoColumns: return static_cast<int>(SettingsItem::kTwoColumns);
    default: return -1;
    }
}

int hot_key_item(int hot_key) {
    switch (hot_key) {
    case kHotKeyT: return static_cast<int>(SettingsItem::kHotKeyT);
    case kHotKeyO: return static_cast<int>(SettingsItem::kHotKeyO);
    case 0: return static_cast<int>(SettingsItem::kNoHotKey);
    default: return -1;
    }
}

} // namespace duo::tool
