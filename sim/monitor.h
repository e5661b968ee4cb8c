// What a CRT monitor would make of the adapter's signal.
#pragma once
#include <string>

#include "sim/adapter.h"

namespace duo::sim {

struct MonitorView {
    bool blanked;           // sequencer screen-off bit or sequencer reset
    bool interlaced;
    double pixel_clock_hz;  // after the clock divider
    int h_total_px;
    int displayed_px;       // the accelerator CRTC's pixels with picture per line; 0 on the VGA CRTC
    double line_rate_hz;
    int v_total_lines;      // per field when interlaced
    double field_rate_hz;   // frame rate when progressive
    int displayed_lines;    // scan lines with picture per field/frame
    int display_start;      // CRTC start address
    int line_offset;        // CRTC offset with the family's high bits; the accelerator CRTC's pitch
    bool h_sync_missing;    // the sync start lies beyond the line or the field (or outside the blanking)
    bool v_sync_missing;
    bool out_of_range;      // outside what a multisync CRT of the period syncs to
};

MonitorView observe(const AdapterState& state);

// One line: "progressive 800x600-class 37.879 kHz 60.32 Hz ..." for people.
std::string describe(const MonitorView& view);

inline constexpr double kMinLineRate = 30e3, kMaxLineRate = 70e3;
inline constexpr double kMinFieldRate = 50, kMaxFieldRate = 150;

} // namespace duo::sim
