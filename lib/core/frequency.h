// Frequency change while stereo is on, and the line-double mode.
#pragma once
#include <cstdint>

namespace duo {

inline constexpr std::int32_t kLineDoubleOn = 501;
inline constexpr std::int32_t kLineDoubleOff = 502;

// 1 on success; 0 with error 201 (this process does not hold the library),
// 300 (stereo off) or 301 (no such index, or one that cannot be programmed).
std::int32_t set_frequency(std::int32_t frequency);

// Command 501 or 502 of Set_VR_System and Set_VR_Reserved, which act alike:
// 501 switches line-double mode on while stereo is on, 502 switches it off
// back to exactly what 501 replaced. Always 1.
std::int32_t line_double_command(std::int32_t command);

// The line-double registers written again over a freshly entered stereo
// timing (the clock is the caller's).
void line_double_reapply();

} // namespace duo
