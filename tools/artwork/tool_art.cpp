// Draws DuoDeck's bitmaps and icon. `duotoolart tool/res` writes them
// there; the committed copies in tool/res are made this way.
//
// Everything is drawn in the sixteen VGA colours, so the 16-colour face
// sheets are the true-colour ones without loss (and cannot be written
// otherwise).
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tool/dialog_text.h"
#include "tools/artwork/canvas.h"
#include "tools/artwork/icon_file.h"

namespace duo::art {
namespace {

constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kDarkRed{128, 0, 0};
constexpr Rgb kGreen{0, 128, 0};
constexpr Rgb kCyan{0, 255, 255};
constexpr Rgb kTeal{0, 128, 128};
constexpr Rgb kOlive{128, 128, 0};
constexpr Rgb kYellow{255, 255, 0};
// Marks the empty pixels of a pictogram; never drawn.
constexpr Rgb kClear{1, 2, 3};

enum class Look { kNormal, kPressed, kDisabled };

void thick_line(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour) {
    c.line(x0, y0, x1, y1, colour);
    c.line(x0 + 1, y0, x1 + 1, y1, colour);
    c.line(x0, y0 + 1, x1, y1 + 1, colour);
}

void ring(Canvas& c, int cx, int cy, int r, Rgb colour) {
    for (int y = -r - 1; y <= r + 1; ++y)
        for (int x = -r - 1; x <= r + 1; ++x) {
            const double d = std::sqrt(double(x * x + y * y));
            if (d <= r + 0.5 && d >= r - 1.6) c.set(cx + x, cy + y, colour);
        }
}

void disc(Canvas& c, int cx, int cy, int r, Rgb colour) {
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x)
            if (x * x + y * y <= r * r + r / 2) c.set(cx + x, cy + y, colour);
}

// A small filled triangle pointing in direction (dx, dy) with its tip at
// (x, y).
void arrow_head(Canvas& c, int x, int y, int dx, int dy, int size, Rgb colour) {
    for (int i = 0; i < size; ++i)
        for (int j = -i; j <= i; ++j) c.set(x - dx * i + dy * j, y - dy * i + dx * j, colour);
}

void monitor(Canvas& c) {
    c.fill_rect(5, 6, 30, 25, kBlack);
    c.fill_rect(7, 8, 28, 23, kNavy);
    c.fill_rect(15, 26, 20, 27, kBlack);
    c.fill_rect(10, 28, 25, 29, kBlack);
}

void power_symbol(Canvas& c, Rgb colour) {
    ring(c, 18, 19, 10, colour);
    ring(c, 18, 19, 9, colour);
    c.fill_rect(14, 6, 22, 13, kClear);
    c.fill_rect(17, 5, 19, 18, colour);
}

// The ten pictograms, drawn on a clear 36x36 cell.
void draw_enable(Canvas& c) { power_symbol(c, kGreen); }

void draw_disable(Canvas& c) {
    power_symbol(c, kDarkRed);
    for (int t = -1; t <= 1; ++t) c.line(7 + t, 29, 29 + t, 7, kRed);
}

void draw_select_frequency(Canvas& c) {
    c.line(5, 18, 30, 18, kShadow);
    for (int x = 5; x <= 30; ++x) {
        const double phase = (x - 5) / 25.0 * 2.0 * 3.14159265 * 1.5;
        const int y = 18 - static_cast<int>(std::lround(8.0 * std::sin(phase)));
        c.fill_rect(x, y, x, y + 1, kBlue);
    }
    // Pointer picking one of three steps below the wave.
    for (int i = 0; i < 3; ++i) c.fill_rect(8 + 9 * i, 29, 11 + 9 * i, 30, kBlack);
    arrow_head(c, 18, 27, 0, 1, 3, kRed);
}

void draw_information(Canvas& c) {
    disc(c, 18, 18, 12, kNavy);
    c.fill_rect(17, 9, 19, 11, kWhite);
    c.fill_rect(17, 14, 19, 26, kWhite);
    c.fill_rect(15, 14, 16, 15, kWhite);
    c.fill_rect(15, 26, 21, 27, kWhite);
}

void draw_adjust(Canvas& c) {
    monitor(c);
    c.fill_rect(17, 11, 18, 20, kYellow);
    c.fill_rect(11, 15, 24, 16, kYellow);
    arrow_head(c, 17, 9, 0, -1, 3, kYellow);
    arrow_head(c, 18, 9, 0, -1, 3, kYellow);
    arrow_head(c, 17, 22, 0, 1, 3, kYellow);
    arrow_head(c, 18, 22, 0, 1, 3, kYellow);
    arrow_head(c, 9, 15, -1, 0, 3, kYellow);
    arrow_head(c, 9, 16, -1, 0, 3, kYellow);
    arrow_head(c, 26, 15, 1, 0, 3, kYellow);
    arrow_head(c, 26, 16, 1, 0, 3, kYellow);
}

void draw_test(Canvas& c) {
    monitor(c);
    for (int x = 8; x <= 27; ++x) {
        const int y = 16 - static_cast<int>(std::lround(5.0 * std::sin((x - 8) / 19.0 * 2.0 * 3.14159265 * 2.0)));
        c.set(x, y, kCyan);
    }
    // A tick: this frequency passed.
    thick_line(c, 19, 19, 22, 22, kGreen);
    thick_line(c, 22, 22, 29, 12, kGreen);
}

void draw_resume(Canvas& c) {
    ring(c, 18, 18, 10, kGreen);
    ring(c, 18, 18, 9, kGreen);
    c.fill_rect(19, 4, 31, 17, kClear);
    arrow_head(c, 27, 17, 0, 1, 5, kGreen);
    c.fill_rect(23, 12, 31, 13, kClear);
    arrow_head(c, 27, 20, 0, 1, 5, kGreen);
}

void glasses(Canvas& c, int y) {
    c.ellipse(11, y, 7, 5, kNavy, true);
    c.ellipse(25, y, 7, 5, kNavy, true);
    c.ellipse(11, y, 7, 5, kBlack, false);
    c.ellipse(25, y, 7, 5, kBlack, false);
    c.line(17, y - 2, 19, y - 2, kBlack);
    c.line(8, y - 2, 10, y - 3, kWhite);
    c.line(22, y - 2, 24, y - 3, kWhite);
}

void draw_toggle_glasses(Canvas& c) {
    glasses(c, 13);
    c.fill_rect(8, 25, 28, 26, kRed);
    arrow_head(c, 5, 25, -1, 0, 4, kRed);
    arrow_head(c, 5, 26, -1, 0, 4, kRed);
    arrow_head(c, 31, 25, 1, 0, 4, kRed);
    arrow_head(c, 31, 26, 1, 0, 4, kRed);
}

void draw_setup(Canvas& c) {
    for (int k = 0; k < 8; ++k) {
        const double a = k * 3.14159265 / 4.0;
        const int x = 18 + static_cast<int>(std::lround(11.0 * std::cos(a)));
        const int y = 18 + static_cast<int>(std::lround(11.0 * std::sin(a)));
        c.fill_rect(x - 2, y - 2, x + 2, y + 2, kShadow);
    }
    disc(c, 18, 18, 9, kShadow);
    ring(c, 18, 18, 9, kBlack);
    disc(c, 18, 18, 3, kFace);
    ring(c, 18, 18, 4, kBlack);
}

void draw_exit(Canvas& c) {
    c.fill_rect(7, 5, 19, 30, kBlack);
    c.fill_rect(8, 6, 18, 30, kOlive);
    c.fill_rect(15, 17, 16, 18, kYellow);
    c.fill_rect(17, 17, 28, 18, kRed);
    arrow_head(c, 31, 17, 1, 0, 5, kRed);
    arrow_head(c, 31, 18, 1, 0, 5, kRed);
}

bool is_light(Rgb c) { return 299 * c.r + 587 * c.g + 114 * c.b > 600 * 255; }

// Copies a pictogram into a face cell in the given look.
void place(Canvas& sheet, int cx, int cy, const std::function<void(Canvas&)>& draw, Look look) {
    Canvas art(36, 36, kClear);
    draw(art);
    const int d = look == Look::kPressed ? 1 : 0;
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 36; ++x) {
            const Rgb p = art.get(x, y);
            if (p == kClear) continue;
            if (look == Look::kDisabled) {
                // Embossed grey: light parts of the picture sink into the
                // face, the rest is grey with a white edge below and right.
                if (is_light(p)) {
                    sheet.set(cx + x, cy + y, kFace);
                    continue;
                }
                if (x + 1 < 33 && y + 1 < 33) {
                    const Rgb under = art.get(x + 1, y + 1);
                    if (under == kClear) sheet.set(cx + x + 1, cy + y + 1, kWhite);
                }
                sheet.set(cx + x, cy + y, kShadow);
            } else if (x + d >= 2 && x + d <= 33 && y + d >= 2 && y + d <= 33) {
                sheet.set(cx + x + d, cy + y + d, p);
            }
        }
}

void button_cell(Canvas& sheet, int x, int y, bool pressed) {
    sheet.fill_rect(x, y, x + 35, y + 35, kFace);
    if (pressed) {
        sheet.line(x, y, x + 35, y, kBlack);
        sheet.line(x, y, x, y + 35, kBlack);
        sheet.line(x + 1, y + 1, x + 34, y + 1, kShadow);
        sheet.line(x + 1, y + 1, x + 1, y + 34, kShadow);
        sheet.line(x, y + 35, x + 35, y + 35, kWhite);
        sheet.line(x + 35, y, x + 35, y + 35, kWhite);
    } else {
        sheet.line(x, y, x + 35, y, kWhite);
        sheet.line(x, y, x, y + 35, kWhite);
        sheet.line(x, y + 35, x + 35, y + 35, kBlack);
        sheet.line(x + 35, y, x + 35, y + 35, kBlack);
        sheet.line(x + 1, y + 34, x + 34, y + 34, kShadow);
        sheet.line(x + 34, y + 1, x + 34, y + 34, kShadow);
    }
}

// The logo: shutter glasses over a red and a cyan picture, on the frame's
// navy.
void draw_logo(Canvas& c) {
    c.fill_rect(7, 7, 42, 42, kNavy);
    c.fill_rect(10, 10, 20, 20, kRed);
    c.fill_rect(15, 13, 25, 23, kCyan);
    c.ellipse(18, 31, 7, 5, kBlack, true);
    c.ellipse(32, 31, 7, 5, kBlack, true);
    c.ellipse(18, 31, 7, 5, kWhite, false);
    c.ellipse(32, 31, 7, 5, kWhite, false);
    c.line(24, 29, 26, 29, kWhite);
    c.fill_rect(29, 9, 39, 11, kYellow);
    c.fill_rect(29, 14, 36, 16, kYellow);
}

// The bar in two rows: frame, logo, filler and the ten buttons.
Canvas face_sheet(Look look) {
    Canvas c(230, 86, kNavy);
    // Frame rings from the outside in: outline, raised highlight, navy,
    // then a sunken step down to the buttons.
    const int w = 230, h = 86;
    auto frame_ring = [&](int i, Rgb top_left, Rgb bottom_right) {
        c.line(i, i, w - 1 - i, i, top_left);
        c.line(i, i, i, h - 1 - i, top_left);
        c.line(i, h - 1 - i, w - 1 - i, h - 1 - i, bottom_right);
        c.line(w - 1 - i, i, w - 1 - i, h - 1 - i, bottom_right);
    };
    frame_ring(0, kBlack, kBlack);
    frame_ring(1, kBlue, kBlack);
    frame_ring(2, kBlue, kNavy);
    frame_ring(5, kBlack, kBlue);
    frame_ring(6, kBlack, kBlue);
    for (int y = 7; y <= 78; ++y)
        for (int x = 7; x <= 222; ++x) c.set(x, y, kNavy);
    draw_logo(c);
    // Filler: the cell no button covers, in the frame's navy with a grid.
    for (int y = 43; y <= 78; y += 5) c.line(7, y, 42, y, kTeal);
    for (int x = 7; x <= 42; x += 5) c.line(x, 43, x, 78, kTeal);
    using Draw = void (*)(Canvas&);
    struct Cell {
        int x, y;
        Draw draw;
    };
    const Cell cells[10] = {
        {43, 7, draw_enable},   {79, 7, draw_disable},         {115, 7, draw_select_frequency},
        {151, 7, draw_information}, {187, 7, draw_adjust},      {79, 43, draw_test},
        {43, 43, draw_resume},  {115, 43, draw_toggle_glasses}, {151, 43, draw_setup},
        {187, 43, draw_exit},
    };
    for (const Cell& cell : cells) {
        button_cell(c, cell.x, cell.y, look == Look::kPressed);
        place(c, cell.x, cell.y, cell.draw, look);
    }
    return c;
}

// A 5x7 pixel font of this program's own, with descenders to row 8.
struct FontGlyph {
    char ch;
    std::vector<const char*> rows;
};

const std::vector<FontGlyph>& font() {
    static const std::vector<FontGlyph> kFont = {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'G', {".####", "#....", "#....", "#.###", "#...#", "#...#", ".####"}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
        {'J', {"..##", "...#", "...#", "...#", "...#", "#..#", ".##."}},
        {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'M', {"#.....#", "##...##", "#.#.#.#", "#..#..#", "#.....#", "#.....#", "#.....#"}},
        {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'W', {"#.....#", "#.....#", "#.....#", "#..#..#", "#.#.#.#", "##...##", "#.....#"}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
        {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
        {'a', {"....", "....", ".##.", "...#", ".###", "#..#", ".###"}},
        {'b', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####."}},
        {'c', {"....", "....", ".###", "#...", "#...", "#...", ".###"}},
        {'d', {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}},
        {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
        {'f', {".##", "#..", "###", "#..", "#..", "#..", "#.."}},
        {'g', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
        {'h', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#"}},
        {'i', {"#", ".", "#", "#", "#", "#", "#"}},
        {'j', {"..#", "...", "..#", "..#", "..#", "..#", "..#", "..#", "##."}},
        {'k', {"#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#"}},
        {'l', {"#", "#", "#", "#", "#", "#", "#"}},
        {'m', {".......", ".......", "###.##.", "#..#..#", "#..#..#", "#..#..#", "#..#..#"}},
        {'n', {"....", "....", "###.", "#..#", "#..#", "#..#", "#..#"}},
        {'o', {"....", "....", ".##.", "#..#", "#..#", "#..#", ".##."}},
        {'p', {".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}},
        {'q', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", "....#"}},
        {'r', {"...", "...", "#.#", "##.", "#..", "#..", "#.."}},
        {'s', {"....", "....", ".###", "#...", ".##.", "...#", "###."}},
        {'t', {".#.", ".#.", "###", ".#.", ".#.", ".#.", "..#"}},
        {'u', {".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####"}},
        {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'w', {".......", ".......", "#.....#", "#.....#", "#..#..#", "#.#.#.#", ".#...#."}},
        {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
        {'y', {".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
        {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
        {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
        {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
        {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
        {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
        {'.', {"..", "..", "..", "..", "..", "##", "##"}},
        {':', {"..", "##", "##", "..", "##", "##", ".."}},
        {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
        {'/', {"...#", "...#", "..#.", ".#..", ".#..", "#...", "#..."}},
    };
    return kFont;
}

// A text sheet: every glyph at its place in the glyph table, lettering in
// `ink` with a white etch below and right of it.
Canvas text_sheet(int height, Rgb ink) {
    Canvas c(246, height, kFace);
    for (const FontGlyph& g : font()) {
        const tool::Glyph place = tool::glyph_for(g.ch);
        const int pattern_width = static_cast<int>(std::string(g.rows[0]).size());
        const int x0 = place.x + (place.width - pattern_width) / 2;
        const int y0 = place.y + 3;
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t r = 0; r < g.rows.size(); ++r)
                for (int x = 0; x < pattern_width; ++x) {
                    if (g.rows[r][x] != '#') continue;
                    const int px = x0 + x + (pass == 0 ? 1 : 0), py = y0 + static_cast<int>(r) + (pass == 0 ? 1 : 0);
                    // Keep the etch inside the glyph's own cell.
                    if (pass == 0 && px >= place.x + place.width) continue;
                    c.set(px, py, pass == 0 ? kWhite : ink);
                }
    }
    return c;
}

Canvas dialog_button(bool pressed) {
    Canvas c(60, 24, kFace);
    c.line(0, 0, 59, 0, kBlack);
    c.line(0, 23, 59, 23, kBlack);
    c.line(0, 0, 0, 23, kBlack);
    c.line(59, 0, 59, 23, kBlack);
    c.bevel(1, 1, 58, 22, !pressed);
    return c;
}

// Selection marker: a red arrow pointing at the chosen label.
Canvas mark_selected() {
    Canvas c(20, 20, kFace);
    for (int i = 0; i < 7; ++i) c.line(6 + i, 4 + i, 6 + i, 16 - i, kRed);
    c.line(5, 3, 5, 17, kDarkRed);
    c.line(5, 3, 12, 10, kDarkRed);
    c.line(5, 17, 12, 10, kDarkRed);
    return c;
}

// On-top mark: a tick in a small box.
Canvas mark_on_top() {
    Canvas c(20, 20, kFace);
    c.fill_rect(3, 3, 16, 16, kWhite);
    c.line(3, 3, 16, 3, kShadow);
    c.line(3, 3, 3, 16, kShadow);
    thick_line(c, 5, 9, 8, 12, kBlack);
    thick_line(c, 8, 12, 14, 5, kBlack);
    return c;
}

Canvas icon() {
    Canvas c(32, 32, kNavy);
    c.fill_rect(3, 3, 14, 14, kRed);
    c.fill_rect(9, 7, 20, 18, kCyan);
    c.ellipse(9, 23, 7, 5, kBlack, true);
    c.ellipse(23, 23, 7, 5, kBlack, true);
    c.ellipse(9, 23, 7, 5, kWhite, false);
    c.ellipse(23, 23, 7, 5, kWhite, false);
    c.line(15, 21, 17, 21, kWhite);
    c.fill_rect(22, 4, 29, 6, kYellow);
    c.fill_rect(22, 9, 27, 11, kYellow);
    return c;
}

} // namespace
} // namespace duo::art

int main(int argc, char** argv) {
    using namespace duo::art;
    if (argc != 2) {
        std::fprintf(stderr, "usage: duotoolart OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const Canvas normal = face_sheet(Look::kNormal);
    const Canvas pressed = face_sheet(Look::kPressed);
    const Canvas disabled = face_sheet(Look::kDisabled);
    bool ok = normal.save(dir + "face_normal.bmp") && pressed.save(dir + "face_pressed.bmp") &&
              disabled.save(dir + "face_disabled.bmp") && normal.save_indexed(dir + "face_normal16.bmp", 4) &&
              pressed.save_indexed(dir + "face_pressed16.bmp", 4) &&
              disabled.save_indexed(dir + "face_disabled16.bmp", 4) &&
              text_sheet(46, kBlack).save(dir + "text_light.bmp") &&
              text_sheet(45, kShadow).save(dir + "text_dark.bmp") &&
              dialog_button(false).save(dir + "dialog_button_up.bmp") &&
              dialog_button(true).save(dir + "dialog_button_down.bmp") &&
              mark_selected().save(dir + "mark_selected.bmp") && mark_on_top().save(dir + "mark_on_top.bmp") &&
              save_icon(icon(), dir + "duodeck.ico");
    if (!ok) std::fprintf(stderr, "duotoolart: cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
