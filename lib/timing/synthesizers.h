// The pixel clock synthesizers of the supported chip families: the frequency
// a clock setting selects, from its bytes in the order the clock tables store
// them. Portable: used by the table dump, the generator and the tests.
#pragma once
#include <cstdint>

#include "lib/hw/chips.h"

namespace duo {

inline constexpr double kReferenceHz = 14318180.0; // the adapters' crystal

// Pixel clock in Hz; 0 for a setting of zero bytes (a slot without a clock)
// and for settings whose divider would be zero.
double pixel_clock_hz(Synthesizer synth, const ClockSetting& setting);

// The voltage-controlled oscillator's frequency before the post-divider, for
// the generator's range checks; 0 where pixel_clock_hz is 0.
double vco_hz(Synthesizer synth, const ClockSetting& setting);

} // namespace duo
