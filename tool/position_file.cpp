#include "tool/position_file.h"

namespace duo::tool {
namespace {

void put32(std::uint8_t* p, int v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

int get32(const std::uint8_t* p) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return static_cast<int>(u);
}

} // namespace

std::array<std::uint8_t, kPositionFileSize> encode_position(const PositionRecord& record) {
    std::array<std::uint8_t, kPositionFileSize> out{};
    put32(&out[0], record.layout);
    put32(&out[4], record.rect.left);
    put32(&out[8], record.rect.top);
    put32(&out[12], record.rect.right);
    put32(&out[16], record.rect.bottom);
    return out;
}

void apply_position_bytes(PositionRecord& record, const std::uint8_t* data, std::size_t size) {
    auto image = encode_position(record);
    for (std::size_t i = 0; i < size && i < kPositionFileSize; ++i) image[i] = data[i];
    record.layout = effective_layout(get32(&image[0]));
    record.rect = {get32(&image[4]), get32(&image[8]), get32(&image[12]), get32(&image[16])};
}

} // namespace duo::tool
