// "DuoDeck.ini": 20 bytes, little-endian: the layout code, then the bar's
// screen rectangle (left, top, right, bottom).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "tool/bar_layout.h"

namespace duo::tool {

inline constexpr std::size_t kPositionFileSize = 20;

struct PositionRecord {
    int layout = kLayoutOneRow;
    Rect rect{0, 0, 0, 0};
};

// Lays the bytes read over the record's own image, so a short file changes
// only the bytes it holds; bytes past 20 are ignored. A layout code that
// names no arrangement is replaced by one row.
void apply_position_bytes(PositionRecord& record, const std::uint8_t* data, std::size_t size);

std::array<std::uint8_t, kPositionFileSize> encode_position(const PositionRecord& record);

} // namespace duo::tool
