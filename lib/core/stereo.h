// Stereo mode on and off, re-applied, and the eye swap.
#pragma once
#include <cstdint>

#include "lib/core/types.h"
#include "lib/timing/timing_table.h"

namespace duo {

// The frequency index after substitution of 20 and clamping, error 0; 0
// with error 201 when this process does not hold the library, or 301 when
// the index cannot be programmed (no timing or no clock).
std::int32_t enable_stereo(WindowHandle skip, std::int32_t frequency);
void disable_stereo(WindowHandle skip);
std::int32_t resume_stereo();
void switch_glasses();

// With the glasses phase 0, moves the display start down one line again
// after a timing write has put it back.
void apply_glasses_phase();

// Block f of the current timing table, or nullptr for an index no frequency
// has (a damaged settings file can name one).
const TimingBlock* stereo_timing_block(std::int32_t frequency);

} // namespace duo
