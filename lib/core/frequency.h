// Frequency change while stereo is on, and the line-double mode.
#pragma once
#include <cstdint>

namespace duo {

inline constexpr std::int32_t kLineDoubleOn = 501;
inline constexpr std::int32_t kLineDoubleOff = 502;

// 1 on success; 0 with error 201, 300 or 301.
std::int32_t set_frequency(std::int32_t frequency);

// Command 501 or 502 through one of the two exports; each export keeps its
// own saved frequency index (0: Set_VR_System, 1: Set_VR_Reserved).
std::int32_t line_double_command(int export_slot, std::int32_t command);

void line_double_enter();
void line_double_leave(std::int32_t frequency);

} // namespace duo
