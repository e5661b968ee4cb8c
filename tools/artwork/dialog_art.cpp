#include "tools/artwork/dialog_art.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "lib/dialogs/glyphs.h"
#include "tools/artwork/pixel_font.h"

namespace duo::art {
namespace {

constexpr int kInkTop = 2; // first ink row inside a 14-row glyph cell

// Rows of text need the shadow below and right of the ink, and the ink
// must stay inside the glyph's cell, shadow included.
bool draw_glyph(Canvas& c, const Glyph& cell, const PixelGlyph& pg, bool shadow) {
    int ink_width = 0;
    for (const char* row : pg.rows)
        if (row) ink_width = std::max(ink_width, static_cast<int>(std::strlen(row)));
    if (ink_width > cell.width - 1) return false;
    const int left = cell.x + std::max(0, (cell.width - 2 - ink_width) / 2);
    const Rgb colour = shadow ? kDarkShadow : kWhite;
    const int d = shadow ? 1 : 0;
    for (int r = 0; r < kFontRows; ++r) {
        const char* row = pg.rows[r];
        for (int i = 0; row && row[i]; ++i)
            if (row[i] == '#') c.set(left + i + d, cell.y + kInkTop + r + d, colour);
    }
    return true;
}

void arrow(Canvas& c, int x0, int y0, int x1, int y1, int dx, int dy) {
    const Rgb fill{0, 200, 216};
    const Rgb edge{0, 96, 112};
    // Drawn in arrow space: u along the arrow, v across it.
    const bool vertical = dx == 0;
    const int length = vertical ? y1 - y0 + 1 : x1 - x0 + 1;
    const int breadth = vertical ? x1 - x0 + 1 : y1 - y0 + 1;
    const int head = breadth / 2 + 1;
    for (int u = 0; u < length; ++u) {
        for (int v = 0; v < breadth; ++v) {
            const double mid = (breadth - 1) / 2.0;
            bool inside;
            bool border;
            if (u < head) {
                const double half = mid * u / (head - 1);
                inside = std::abs(v - mid) <= half + 0.01;
                border = inside && (std::abs(v - mid) > half - 1.0 || u == head - 1);
                if (u == head - 1 && std::abs(v - mid) < breadth / 4.0) border = false;
            } else {
                inside = std::abs(v - mid) < breadth / 4.0;
                border = inside && (std::abs(v - mid) > breadth / 4.0 - 1.0 || u == length - 1);
            }
            if (!inside) continue;
            // u runs from the tip: the tip is where the arrow points.
            int x, y;
            if (vertical) {
                x = x0 + v;
                y = dy < 0 ? y0 + u : y1 - u;
            } else {
                y = y0 + v;
                x = dx < 0 ? x0 + u : x1 - u;
            }
            c.set(x, y, border ? edge : fill);
        }
    }
}

} // namespace

Canvas text_sheet() {
    Canvas c(246, 46, kFace);
    bool ok = true;
    for (bool shadow : {true, false}) {
        for (int code = kFirstGlyphCode; code < kFirstGlyphCode + kGlyphCount; ++code) {
            const PixelGlyph* pg = pixel_glyph(static_cast<char>(code));
            if (pg == nullptr) continue;
            ok = draw_glyph(c, *glyph_of(static_cast<unsigned char>(code)), *pg, shadow) && ok;
        }
    }
    if (!ok) return Canvas(0, 0, kFace);
    return c;
}

Canvas button_face(bool raised) {
    Canvas c(80, 30, kFace);
    const Rgb light = raised ? kWhite : kBlack;
    const Rgb dark = raised ? kBlack : kWhite;
    c.line(0, 0, 79, 0, light);
    c.line(0, 0, 0, 29, light);
    c.line(0, 29, 79, 29, dark);
    c.line(79, 0, 79, 29, dark);
    // An inner grey line on the shaded side gives the face its depth.
    if (raised) {
        c.line(1, 28, 78, 28, kShadow);
        c.line(78, 1, 78, 28, kShadow);
    } else {
        c.line(1, 1, 78, 1, kShadow);
        c.line(1, 1, 1, 28, kShadow);
    }
    return c;
}

Canvas selection_marker() {
    Canvas c(20, 20, kFace);
    c.ellipse(11, 11, 6, 6, kShadow, true);
    c.ellipse(9, 9, 6, 6, kWhite, true);
    return c;
}

Canvas adjust_picture() {
    Canvas c(320, 200, kFace);
    const Rgb casing{168, 168, 176};
    const Rgb casing_dark{96, 96, 104};
    const Rgb bezel{56, 56, 64};
    // Case, bezel and screen; the screen holds all four arrows.
    c.fill_rect(70, 18, 246, 152, casing);
    c.line(70, 18, 246, 18, kWhite);
    c.line(70, 18, 70, 152, kWhite);
    c.line(70, 152, 246, 152, casing_dark);
    c.line(246, 18, 246, 152, casing_dark);
    c.fill_rect(80, 26, 236, 142, bezel);
    c.fill_rect(84, 30, 232, 138, kWhite);
    // Power light and stand.
    c.fill_rect(232, 145, 235, 147, Rgb{0, 160, 0});
    c.fill_rect(140, 153, 176, 162, casing);
    c.line(176, 153, 176, 162, casing_dark);
    c.fill_rect(108, 163, 208, 171, casing);
    c.line(108, 171, 208, 171, casing_dark);
    c.line(108, 163, 208, 163, kWhite);
    arrow(c, 149, 38, 168, 60, 0, -1);
    arrow(c, 149, 108, 168, 130, 0, 1);
    arrow(c, 93, 77, 115, 96, -1, 0);
    arrow(c, 201, 74, 222, 93, 1, 0);
    return c;
}

Canvas test_scene(int eye) {
    // Crossed disparity: a near object is drawn further right for the left
    // eye and further left for the right eye. Depth 0 lies on the screen.
    auto shift = [eye](int disparity) { return -eye * disparity / 2; };
    Canvas c(320, 200, kBlack);
    for (int y = 0; y < 120; ++y) {
        const int k = y / 8;
        c.fill_rect(0, y, 319, y,
                    Rgb{static_cast<std::uint8_t>(40 + 6 * k), static_cast<std::uint8_t>(90 + 8 * k), 230});
    }
    // Far hills, then a chequered floor whose rows come nearer downwards.
    for (int x = 0; x < 320; ++x) {
        const int top = 95 + static_cast<int>(12 * std::sin(x / 23.0) + 6 * std::sin(x / 9.0));
        c.fill_rect(x, top, x, 119, Rgb{70, 120, 70});
    }
    for (int y = 120; y < 200; ++y) {
        const int row = (y - 120) / 10;
        const int d = shift(row * 2 - 2);
        for (int x = 0; x < 320; ++x) {
            const bool dark = (((x - d + 1000) / 32) + row) % 2 != 0;
            c.set(x, y, dark ? Rgb{150, 110, 60} : Rgb{220, 190, 130});
        }
    }
    // A box at middle depth and a ball in front.
    const int box = shift(6);
    c.fill_rect(60 + box, 70, 130 + box, 140, Rgb{40, 60, 180});
    c.fill_rect(60 + box, 70, 130 + box, 76, Rgb{90, 110, 220});
    c.fill_rect(124 + box, 70, 130 + box, 140, Rgb{20, 30, 110});
    // The ball, lit from the upper left, in a few flat shades.
    const int ball = shift(16);
    const int cx = 210 + ball, cy = 110, radius = 34;
    for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius; ++x) {
            if (x * x + y * y >= radius * radius) continue;
            const double z = std::sqrt(static_cast<double>(radius * radius - x * x - y * y));
            const double light = (-0.5 * x - 0.6 * y + 0.62 * z) / radius;
            const int level = std::clamp(static_cast<int>(light * 8), 0, 7);
            const auto dark = static_cast<std::uint8_t>(10 + 6 * level);
            c.set(cx + x, cy + y, Rgb{static_cast<std::uint8_t>(110 + 20 * level), dark, dark});
        }
    return c;
}

Canvas test_picture() {
    const Canvas left = test_scene(-1);
    const Canvas right = test_scene(1);
    Canvas c(320, 200, kBlack);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x) c.set(x, y, (y % 2 == 0 ? left : right).get(x, y));
    return c;
}

bool write_dialog_art(const std::string& dir) {
    const Canvas sheet = text_sheet();
    if (sheet.width() == 0) {
        std::fprintf(stderr, "duoart: a glyph does not fit its cell\n");
        return false;
    }
    return sheet.save(dir + "/text_sheet.bmp") && button_face(true).save_indexed(dir + "/face_raised.bmp", 4) &&
           button_face(false).save_indexed(dir + "/face_sunken.bmp", 4) &&
           selection_marker().save_indexed(dir + "/marker.bmp", 4) &&
           adjust_picture().save_indexed(dir + "/adjust.bmp", 8) &&
           test_picture().save_indexed(dir + "/test.bmp", 8);
}

} // namespace duo::art
