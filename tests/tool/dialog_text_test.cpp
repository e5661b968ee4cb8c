// Dialog texts and geometry: glyph table bounds, names, the frequency list
// and the settings items.
#include <gtest/gtest.h>

#include <cstring>

#include "tool/dialog_text.h"

namespace duo::tool {
namespace {

TEST(Glyphs, EveryGlyphLiesInsideTheSheets) {
    for (int c = 0; c < 256; ++c) {
        const Glyph g = glyph_for(static_cast<char>(c));
        if (c < 32 || c > 127) {
            EXPECT_EQ(g.width, 0) << c;
            continue;
        }
        EXPECT_GT(g.width, 0) << c;
        EXPECT_LE(g.x + g.width, kTextSheetWidth) << c;
        // Every glyph is whole in the light sheet; in the dark one, one row
        // shorter, nothing is read below its last row.
        EXPECT_EQ(glyph_rows(g, kLightSheetRows), kGlyphHeight) << c;
        EXPECT_LE(g.y + glyph_rows(g, kDarkSheetRows), kDarkSheetRows) << c;
        EXPECT_GE(glyph_rows(g, kDarkSheetRows), kGlyphHeight - 1) << c;
    }
    EXPECT_EQ(glyph_for(' '), (Glyph{125, 32, 8}));
    EXPECT_EQ(glyph_for('N'), (Glyph{130, 0, 8}));
    EXPECT_EQ(glyph_for('k'), (Glyph{79, 15, 5}));
    EXPECT_EQ(glyph_for('\\'), glyph_for('/'));
    EXPECT_EQ(glyph_for('#'), (Glyph{0, 0, 14}));
    EXPECT_EQ(bitmap_text_width("OK"), 9 + 7);
}

// Letters and digits do not overlap one another in the sheet.
TEST(Glyphs, LettersAndDigitsDoNotOverlap) {
    const char* rows[] = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz", "0123456789.:+/"};
    for (const char* row : rows)
        for (const char* a = row; *a; ++a)
            for (const char* b = a + 1; *b; ++b) {
                const Glyph ga = glyph_for(*a), gb = glyph_for(*b);
                const bool apart = ga.x + ga.width <= gb.x || gb.x + gb.width <= ga.x;
                EXPECT_TRUE(apart) << *a << " " << *b;
            }
}

TEST(Names, ChipsFrequenciesVersions) {
    EXPECT_STREQ(chip_name(0x206), "S3 ViRGE");
    EXPECT_STREQ(chip_name(0x203), "S3 765");
    EXPECT_STREQ(chip_name(0x304), "");
    EXPECT_STREQ(chip_name(-1), "");
    EXPECT_STREQ(frequency_text(0), "75Hz");
    EXPECT_STREQ(frequency_text(9), "120Hz");
    EXPECT_STREQ(frequency_text(16), "");
    EXPECT_STREQ(frequency_text(-1), "");
    EXPECT_STREQ(default_frequency_text(3), " 90Hz");
    EXPECT_STREQ(default_frequency_text(20), "");
    EXPECT_STREQ(default_frequency_text(2), "");
    EXPECT_EQ(version_text(100), "1.0");
    EXPECT_EQ(version_text(105), "1.5");
    EXPECT_EQ(version_text(-1), "NA");
}

TEST(FrequencyList, MarkerAndLabels) {
    EXPECT_EQ(frequency_marker_position(5), (Point{20, 88}));
    EXPECT_EQ(frequency_marker_position(9), (Point{100, 58}));
    EXPECT_EQ(frequency_label_position(8), (Point{120, 30}));
    EXPECT_EQ(frequency_label_position(7), (Point{40, 150}));
}

TEST(FrequencyList, ClicksOnlySelectAvailableFrequencies) {
    int available[20] = {};
    available[3] = available[5] = available[9] = 1; // 90, 100, 120 Hz
    EXPECT_EQ(frequency_after_click(5, {50, 35}, available), 3);
    EXPECT_EQ(frequency_after_click(5, {50, 65}, available), 5);  // 95 Hz unavailable
    EXPECT_EQ(frequency_after_click(5, {150, 65}, available), 9);
    EXPECT_EQ(frequency_after_click(5, {150, 35}, available), 5); // 115 Hz unavailable
    EXPECT_EQ(frequency_after_click(5, {5, 5}, available), 5);
    // Rows without a frequency in the second column never select.
    for (int i = 0; i < 20; ++i) available[i] = 1;
    EXPECT_EQ(frequency_after_click(5, {150, 95}, available), 5);
    // x = 105 on row 0 is in the 90 Hz and the 115 Hz cell: the later
    // column wins.
    EXPECT_EQ(frequency_after_click(5, {105, 35}, available), 8);
}

TEST(Settings, ItemsOnA320x240Client) {
    const Size client{320, 240};
    EXPECT_EQ(settings_label_position(SettingsItem::kOnTop, client), (Point{64, 15}));
    EXPECT_EQ(settings_label_position(SettingsItem::kTwoColumns, client), (Point{64, 80 + 102}));
    EXPECT_EQ(settings_label_position(SettingsItem::kNoHotKey, client), (Point{212, 80 + 96}));
    for (int i = 0; i < kSettingsItemCount; ++i) {
        const Point p = settings_label_position(static_cast<SettingsItem>(i), client);
        EXPECT_EQ(settings_item_at({p.x + 5, p.y + 5}, client), i);
        EXPECT_GT(std::strlen(settings_label(static_cast<SettingsItem>(i))), 0u);
    }
    EXPECT_EQ(settings_item_at({1, 1}, client), -1);
}

TEST(Settings, ClicksChangeOnlyTheWorkingValues) {
    SettingsChoice c{kLayoutOneRow, kHotKeyT, true};
    apply_settings_click(c, SettingsItem::kOnTop);
    apply_settings_click(c, SettingsItem::kOnTop);
    EXPECT_TRUE(c.on_top);
    apply_settings_click(c, SettingsItem::kTwoColumns);
    apply_settings_click(c, SettingsItem::kNoHotKey);
    EXPECT_EQ(c.layout, kLayoutTwoColumns);
    EXPECT_EQ(c.hot_key, 0);
    EXPECT_EQ(layout_item(c.layout), static_cast<int>(SettingsItem::kTwoColumns));
    EXPECT_EQ(hot_key_item(0), static_cast<int>(SettingsItem::kNoHotKey));
    EXPECT_EQ(layout_item(5), -1);
    EXPECT_EQ(hot_key_item(7), -1);
}

} // namespace
} // namespace duo::tool
