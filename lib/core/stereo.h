// Stereo mode on and off, re-applied, and the eye swap.
#pragma once
#include <cstdint>

#include "lib/core/types.h"
#include "lib/timing/timing_table.h"

namespace duo {

// The frequency index after substitution of 20 and clamping; 0 with error
// 201 when the library is not initialised.
std::int32_t enable_stereo(WindowHandle skip, std::int32_t frequency);
void disable_stereo(WindowHandle skip);
std::int32_t resume_stereo();
void switch_glasses();

// Block f of the current timing table, or nullptr for an index no frequency
// has (a damaged settings file can name one).
const TimingBlock* stereo_timing_block(std::int32_t frequency);

} // namespace duo
