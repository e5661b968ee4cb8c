// A small RGB canvas for drawing the resource bitmaps, written out as
// Windows BMP files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace duo::art {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kFace{192, 192, 192};
inline constexpr Rgb kShadow{128, 128, 128};
inline constexpr Rgb kDarkShadow{64, 64, 64};

// The 16 colours of the standard VGA palette, in their usual order.
extern const Rgb kVgaColours[16];

class Canvas {
public:
    Canvas(int width, int height, Rgb fill);
    int width() const { return width_; }
    int height() const { return height_; }
    void set(int x, int y, Rgb c); // clipped
    Rgb get(int x, int y) const;
    void fill_rect(int x0, int y0, int x1, int y1, Rgb c); // inclusive corners
    void line(int x0, int y0, int x1, int y1, Rgb c);
    void ellipse(int cx, int cy, int rx, int ry, Rgb c, bool filled);
    // A button frame: light top-left and dark bottom-right when raised,
    // the other way round when sunken.
    void bevel(int x0, int y0, int x1, int y1, bool raised);
    // 24 bits per pixel, bottom-up rows padded to 4 bytes.
    std::vector<std::uint8_t> bmp() const;
    bool save(const std::string& path) const;
    // 4 bits per pixel with the 16 standard VGA colours, or 8 bits per pixel
    // with the canvas's own colours in a full 256-entry table. Empty when a
    // colour is not in the 16, or there are more than 256.
    std::vector<std::uint8_t> bmp_indexed(int bits_per_pixel) const;
    bool save_indexed(const std::string& path, int bits_per_pixel) const;

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

} // namespace duo::art
