#include "tools/artwork/canvas.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace duo::art {

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), fill) {}

void Canvas::set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<std::size_t>(y * width_ + x)] = c;
}

Rgb Canvas::get(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

void Canvas::fill_rect(int x0, int y0, int x1, int y1, Rgb c) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) set(x, y, c);
}

void Canvas::line(int x0, int y0, int x1, int y1, Rgb c) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
    for (;;) {
        set(x0, y0, c);
        if (x0 == x1 && y0 == y1) return;
        int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void Canvas::ellipse(int cx, int cy, int rx, int ry, Rgb c, bool filled) {
    for (int y = -ry; y <= ry; ++y)
        for (int x = -rx; x <= rx; ++x) {
            double d = (x * x) / double(rx * rx) + (y * y) / double(ry * ry);
            bool inside = d <= 1.0;
            bool edge = inside && d > std::pow((std::min(rx, ry) - 1.2) / std::min(rx, ry), 2);
            if (filled ? inside : edge) set(cx + x, cy + y, c);
        }
}

void Canvas::bevel(int x0, int y0, int x1, int y1, bool raised) {
    Rgb light = raised ? kWhite : kDarkShadow;
    Rgb dark = raised ? kDarkShadow : kWhite;
    Rgb inner_dark = raised ? kShadow : kFace;
    line(x0, y0, x1, y0, light);
    line(x0, y0, x0, y1, light);
    line(x0, y1, x1, y1, dark);
    line(x1, y0, x1, y1, dark);
    line(x0 + 1, y1 - 1, x1 - 1, y1 - 1, inner_dark);
    line(x1 - 1, y0 + 1, x1 - 1, y1 - 1, inner_dark);
}

std::vector<std::uint8_t> Canvas::bmp() const {
    const int row = (width_ * 3 + 3) & ~3;
    const std::uint32_t image = static_cast<std::uint32_t>(row * height_);
    const std::uint32_t total = 54 + image;
    std::vector<std::uint8_t> out;
    auto u16 = [&](std::uint32_t v) { out.push_back(v & 0xFF), out.push_back((v >> 8) & 0xFF); };
    auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    out.push_back('B'), out.push_back('M');
    u32(total), u32(0), u32(54);
    u32(40), u32(static_cast<std::uint32_t>(width_)), u32(static_cast<std::uint32_t>(height_));
    u16(1), u16(24), u32(0), u32(image), u32(2835), u32(2835), u32(0), u32(0);
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            Rgb c = get(x, y);
            out.push_back(c.b), out.push_back(c.g), out.push_back(c.r);
        }
        for (int pad = width_ * 3; pad < row; ++pad) out.push_back(0);
    }
    return out;
}

namespace {

bool write_file(const std::string& path, const std::vector<std::uint8_t>& data) {
    if (data.empty()) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

const Rgb kVgaColours[16] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

bool Canvas::save(const std::string& path) const { return write_file(path, bmp()); }

bool Canvas::save_indexed(const std::string& path, int bits_per_pixel) const {
    return write_file(path, bmp_indexed(bits_per_pixel));
}

std::vector<std::uint8_t> Canvas::bmp_indexed(int bits_per_pixel) const {
    if (bits_per_pixel != 4 && bits_per_pixel != 8) return {};
    const int entries = 1 << bits_per_pixel;
    std::vector<Rgb> palette;
    if (bits_per_pixel == 4) palette.assign(std::begin(kVgaColours), std::end(kVgaColours));
    std::vector<std::uint8_t> index(pixels_.size());
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        std::size_t k = 0;
        while (k < palette.size() && !(palette[k] == pixels_[i])) ++k;
        if (k == palette.size()) {
            if (bits_per_pixel == 4 || palette.size() == static_cast<std::size_t>(entries)) return {};
            palette.push_back(pixels_[i]);
        }
        index[i] = static_cast<std::uint8_t>(k);
    }
    palette.resize(static_cast<std::size_t>(entries), kBlack);

    const int row = ((width_ * bits_per_pixel + 31) / 32) * 4;
    const std::uint32_t image = static_cast<std::uint32_t>(row * height_);
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(entries);
    std::vector<std::uint8_t> out;
    auto u16 = [&](std::uint32_t v) { out.push_back(v & 0xFF), out.push_back((v >> 8) & 0xFF); };
    auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    out.push_back('B'), out.push_back('M');
    u32(offset + image), u32(0), u32(offset);
    u32(40), u32(static_cast<std::uint32_t>(width_)), u32(static_cast<std::uint32_t>(height_));
    u16(1), u16(static_cast<std::uint32_t>(bits_per_pixel)), u32(0), u32(image), u32(2835), u32(2835);
    u32(static_cast<std::uint32_t>(entries)), u32(0);
    for (const Rgb& c : palette) out.push_back(c.b), out.push_back(c.g), out.push_back(c.r), out.push_back(0);
    for (int y = height_ - 1; y >= 0; --y) {
        std::vector<std::uint8_t> line(static_cast<std::size_t>(row), 0);
        for (int x = 0; x < width_; ++x) {
            const std::uint8_t v = index[static_cast<std::size_t>(y * width_ + x)];
            if (bits_per_pixel == 8) line[static_cast<std::size_t>(x)] = v;
            else line[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 ? v : v << 4);
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

} // namespace duo::art
