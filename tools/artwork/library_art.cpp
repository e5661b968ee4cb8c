// Draws the library's bitmaps. duoart OUTPUT_DIRECTORY writes them there;
// the committed copies in lib/res are made this way.
#include <cstdio>
#include <string>

#include "tools/artwork/canvas.h"
#include "tools/artwork/dialog_art.h"

namespace duo::art {
namespace {

// The eye-swap button of the popup window, 60x45: a pair of shutter
// glasses over a two-headed arrow. Pressed, the picture moves one pixel
// down and right inside a sunken frame.
Canvas popup_button(bool pressed) {
    Canvas c(60, 45, kFace);
    c.fill_rect(0, 0, 59, 44, kFace);
    c.line(0, 0, 59, 0, kBlack);
    c.line(0, 44, 59, 44, kBlack);
    c.line(0, 0, 0, 44, kBlack);
    c.line(59, 0, 59, 44, kBlack);
    c.bevel(1, 1, 58, 43, !pressed);
    const int d = pressed ? 1 : 0;
    const Rgb lens{40, 40, 110};
    const Rgb frame{20, 20, 20};
    // Lenses and bridge.
    c.ellipse(19 + d, 16 + d, 9, 6, lens, true);
    c.ellipse(40 + d, 16 + d, 9, 6, lens, true);
    c.ellipse(19 + d, 16 + d, 9, 6, frame, false);
    c.ellipse(40 + d, 16 + d, 9, 6, frame, false);
    c.line(27 + d, 13 + d, 32 + d, 13 + d, frame);
    c.line(9 + d, 14 + d, 5 + d, 12 + d, frame);
    c.line(50 + d, 14 + d, 54 + d, 12 + d, frame);
    // Highlights on the lenses.
    c.line(15 + d, 13 + d, 17 + d, 12 + d, kWhite);
    c.line(36 + d, 13 + d, 38 + d, 12 + d, kWhite);
    // The swap arrow.
    const Rgb arrow{150, 0, 0};
    for (int t = 0; t < 2; ++t) c.line(16 + d, 32 + t + d, 43 + d, 32 + t + d, arrow);
    for (int i = 0; i < 5; ++i) {
        c.line(16 + i + d, 32 - i + d, 16 + i + d, 33 + i + d, arrow);
        c.line(43 - i + d, 32 - i + d, 43 - i + d, 33 + i + d, arrow);
    }
    return c;
}

} // namespace
} // namespace duo::art

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: duoart OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = duo::art::popup_button(false).save(dir + "/button_up.bmp") &&
              duo::art::popup_button(true).save(dir + "/button_down.bmp") && duo::art::write_dialog_art(dir);
    if (!ok) std::fprintf(stderr, "duoart: cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
