// The dialogs' bitmaps: the committed files are the generator's output, in
// the formats the dialogs load, and their content keeps the layout the
// dialogs depend on (glyph cells, arrow zones, interleaved stereo views).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lib/dialogs/adjust.h"
#include "lib/dialogs/glyphs.h"
#include "tools/artwork/dialog_art.h"

namespace duo::art {
namespace {

std::vector<std::uint8_t> read_file(const std::string& name) {
    std::vector<std::uint8_t> data;
    FILE* f = std::fopen((std::string(DUO_RES_DIR) + "/" + name).c_str(), "rb");
    if (!f) return data;
    int c;
    while ((c = std::fgetc(f)) != EOF) data.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
    return data;
}

std::uint32_t u32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<std::uint32_t>(d[at + 3]) << 24);
}

TEST(DialogArt, CommittedBitmapsAreTheGeneratorsOutputInTheirFormats) {
    const struct {
        const char* file;
        std::vector<std::uint8_t> drawn;
        int width, height, bits;
    } cases[] = {
        {"text_sheet.bmp", text_sheet().bmp(), 246, 46, 24},
        {"face_raised.bmp", button_face(true).bmp_indexed(4), 80, 30, 4},
        {"face_sunken.bmp", button_face(false).bmp_indexed(4), 80, 30, 4},
        {"marker.bmp", selection_marker().bmp_indexed(4), 20, 20, 4},
        {"adjust.bmp", adjust_picture().bmp_indexed(8), 320, 200, 8},
        {"test.bmp", test_picture().bmp_indexed(8), 320, 200, 8},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> file = read_file(c.file);
        ASSERT_FALSE(c.drawn.empty()) << c.file;
        EXPECT_EQ(file, c.drawn) << c.file << ": run duoart lib/res";
        ASSERT_GE(file.size(), 54u) << c.file;
        EXPECT_EQ(u32(file, 18), static_cast<std::uint32_t>(c.width)) << c.file;
        EXPECT_EQ(u32(file, 22), static_cast<std::uint32_t>(c.height)) << c.file;
        EXPECT_EQ(file[28], c.bits) << c.file;
        // Palette pictures carry a full colour table: the pixels start right after it.
        if (c.bits <= 8) {
            EXPECT_EQ(u32(file, 10), 54u + 4u * (1u << c.bits)) << c.file;
        }
    }
}

TEST(DialogArt, EveryGlyphHasInkAndShadowInsideItsOwnCell) {
    const Canvas sheet = text_sheet();
    ASSERT_EQ(sheet.width(), 246);
    std::vector<bool> in_cell(static_cast<std::size_t>(246 * 46), false);
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.:+/";
    for (char ch : letters) {
        const Glyph& g = *glyph_of(static_cast<unsigned char>(ch));
        int ink = 0, shadow = 0;
        for (int y = g.y; y < g.y + kGlyphHeight; ++y)
            for (int x = g.x; x < g.x + g.width; ++x) {
                in_cell[static_cast<std::size_t>(y * 246 + x)] = true;
                ink += sheet.get(x, y) == kWhite;
                shadow += sheet.get(x, y) == kDarkShadow;
            }
        EXPECT_GE(ink, 4) << ch;
        EXPECT_GE(shadow, 2) << ch;
    }
    // Nothing is drawn outside the cells: the blank cells stay blank.
    for (int y = 0; y < 46; ++y)
        for (int x = 0; x < 246; ++x)
            if (!in_cell[static_cast<std::size_t>(y * 246 + x)]) {
                EXPECT_EQ(sheet.get(x, y), kFace) << x << "," << y;
            }
    // Distinct letters look different.
    auto cell = [&](char ch) {
        const Glyph& g = *glyph_of(static_cast<unsigned char>(ch));
        std::string bits;
        for (int y = g.y; y < g.y + kGlyphHeight; ++y)
            for (int x = g.x; x < g.x + g.width; ++x) bits += sheet.get(x, y) == kWhite ? '#' : '.';
        return bits;
    };
    EXPECT_NE(cell('O'), cell('Q'));
    EXPECT_NE(cell('0'), cell('O'));
    EXPECT_NE(cell('l'), cell('i'));
}

TEST(DialogArt, EachArrowLiesInsideItsZoneAndItsShiftedRectangle) {
    const Canvas picture = adjust_picture();
    const Rgb arrow_fill{0, 200, 216};
    const Rgb arrow_edge{0, 96, 112};
    int counted[kArrows] = {};
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) {
            const Rgb c = picture.get(x, y);
            if (!(c == arrow_fill || c == arrow_edge)) continue;
            const int cx = x - kAdjustPictureColumn; // client column
            int owner = -1;
            for (int a = 0; a < kArrows; ++a) {
                const ArrowShift& s = kArrowShifts[a];
                const bool in_shift = cx >= s.x && cx < s.x + s.width && y >= s.y && y < s.y + s.height;
                if (kArrowZones[a].contains(cx, y) && in_shift) owner = a;
            }
            ASSERT_GE(owner, 0) << "arrow pixel outside every zone at picture " << x << "," << y;
            ++counted[owner];
        }
    for (int a = 0; a < kArrows; ++a) EXPECT_GT(counted[a], 150) << a;
}

TEST(DialogArt, TestPictureInterleavesTwoHorizontallyOffsetViews) {
    const Canvas picture = test_picture();
    const Canvas left = test_scene(-1), right = test_scene(1);
    int differing_rows = 0;
    for (int y = 0; y < 200; ++y) {
        bool differ = false;
        for (int x = 0; x < 320; ++x) {
            EXPECT_EQ(picture.get(x, y), (y % 2 ? right : left).get(x, y));
            differ = differ || !(left.get(x, y) == right.get(x, y));
        }
        differing_rows += differ;
    }
    EXPECT_GT(differing_rows, 100);
    // Each row of the right view is the left view shifted: find the shift
    // that matches a row through the ball best; it is not zero.
    const int y = 110;
    int best_shift = 0, best = -1;
    for (int d = -20; d <= 20; ++d) {
        int same = 0;
        for (int x = 180; x < 250; ++x) same += left.get(x, y) == right.get(x + d, y);
        if (same > best) best = same, best_shift = d;
    }
    EXPECT_NE(best_shift, 0);
}

} // namespace
} // namespace duo::art
