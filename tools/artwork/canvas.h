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

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

} // namespace duo::art
