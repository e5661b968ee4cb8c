#include "tools/artwork/icon_file.h"

#include <cstdio>

namespace duo::art {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::vector<std::uint8_t> ico16(const Canvas& canvas) {
    if (canvas.width() > 256 || canvas.height() > 256) return {};
    const std::vector<std::uint8_t> bmp = canvas.bmp_indexed(4);
    constexpr std::size_t kFileHeader = 14;
    if (bmp.size() <= kFileHeader + 40) return {};
    // An icon image is the bitmap without its file header, declared twice
    // as high because the AND mask follows the colours.
    std::vector<std::uint8_t> image(bmp.begin() + kFileHeader, bmp.end());
    const auto doubled = static_cast<std::uint32_t>(canvas.height() * 2);
    for (int i = 0; i < 4; ++i) image[8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(doubled >> (8 * i));
    const int mask_row = ((canvas.width() + 31) / 32) * 4;
    image.insert(image.end(), static_cast<std::size_t>(mask_row * canvas.height()), 0);

    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1); // an icon
    put16(out, 1); // one image
    out.push_back(static_cast<std::uint8_t>(canvas.width() & 0xFF));
    out.push_back(static_cast<std::uint8_t>(canvas.height() & 0xFF));
    out.push_back(16); // colours
    out.push_back(0);
    put16(out, 1); // planes
    put16(out, 4); // bits per pixel
    put32(out, static_cast<std::uint32_t>(image.size()));
    put32(out, 6 + 16);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool save_icon(const Canvas& canvas, const std::string& path) {
    const std::vector<std::uint8_t> data = ico16(canvas);
    if (data.empty()) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace duo::art
