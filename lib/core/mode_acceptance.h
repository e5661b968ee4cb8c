// Which desktop modes each chip can run stereo in.
#pragma once
#include <cstdint>

namespace duo {

enum class ModeVerdict { kAccepted, kRefused, kUnknownChip };

ModeVerdict judge_mode(std::int32_t chip, int bits_per_pixel, int width, int height);

} // namespace duo
