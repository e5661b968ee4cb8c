// The pixel clock synthesizers of the supported chip families: the frequency
// a clock setting selects, from its bytes in the order the clock tables store
// them. Portable: used by the table dump, the generator and the tests.
#pragma once
#include <cstdint>

#include "lib/core/state.h"

namespace duo {

inline constexpr double kReferenceHz = 14318180.0; // the adapters' crystal

enum class Synthesizer : int {
    kTrident,   // chips 0x101, 0x103: b0/b1: word at 0x43C8/0x43C9, b2: (SEQ 0x0D >> 1) & 3
    kTridentNew, // chips 0x102, 0x105: b0 N, b1 M | K << 6, b2 as kTrident
    kS3,        // b0: SEQ 0x12 (N1 | R << 5), b1: SEQ 0x13 (M)
    kCirrus,    // chips 0x301-0x303: b0 numerator, b1 denominator, b2 misc
    kCirrus304, // chip 0x304: (SEQ 0x1B+s, SEQ 0x0B+s, misc), numerator first
    kMach64,    // b0: post-divider code, b1: feedback divider N
    kEt6000,    // b0: M - 2, b1: (N1 - 2) | (N2 << 5)
    kNone,
};

Synthesizer synthesizer_of(std::int32_t chip);

// Pixel clock in Hz; 0 for a setting of zero bytes (a slot without a clock)
// and for settings whose divider would be zero.
double pixel_clock_hz(Synthesizer synth, const ClockSetting& setting);

// The voltage-controlled oscillator's frequency before the post-divider, for
// the generator's range checks; 0 where pixel_clock_hz is 0.
double vco_hz(Synthesizer synth, const ClockSetting& setting);

} // namespace duo
