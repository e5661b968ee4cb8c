// What a timing block means on the screen: totals unfolded from the CRTC
// registers and the family's extension bytes, and the line and field rates
// they give with a pixel clock. Portable: used by the table dump and tests.
#pragma once
#include <cstdint>

#include "lib/hw/chips.h"
#include "lib/timing/timing_table.h"

namespace duo {

struct DecodedTiming {
    int h_total_chars;  // HT + 5 character clocks
    int h_scale;        // character clocks counted per 8 pixels
    double clock_per_pixel; // synthesizer clock periods per pixel
    double h_total_px;  // horizontal total in pixels
    int v_total;        // VT + 2 as programmed
    bool per_frame;     // vertical values count the whole frame
    double field_lines; // line periods per field
    int shown_lines;    // picture lines of a whole frame
};

// The chip decides the family's register layout and counting rules; a chip
// of no supported family decodes as plain VGA.
DecodedTiming decode_timing(std::int32_t chip, int bits_per_pixel, const TimingBlock& block);

struct ScanRates {
    double line_rate_hz;
    double field_rate_hz;
};

// The rates `clock_hz` from the synthesizer gives.
ScanRates scan_rates(const DecodedTiming& timing, double clock_hz);

} // namespace duo
