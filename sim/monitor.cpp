#include "sim/monitor.h"

#include <cstdio>

#include "sim/crtc_fields.h"
#include "sim/vga_regs.h"

namespace duo::sim {

MonitorView observe(const AdapterState& s) {
    using namespace vga_field;
    MonitorView v{};
    const std::uint8_t clocking = s.seq[kSeqClockingMode];
    v.blanked = (clocking & 0x20) != 0;
    v.pixel_clock_hz = s.clock_hz[(s.misc_output >> 2) & 3] / ((clocking & 0x08) ? 2.0 : 1.0);
    const int char_width = (clocking & 0x01) ? 8 : 9;
    v.h_total_px = (read_field(s.crtc, kHTotal) + 5) * char_width;
    v.line_rate_hz = v.pixel_clock_hz / v.h_total_px;
    v.v_total_lines = read_field(s.crtc, kVTotal) + 2;
    // With CRTC 0x17 bit 2 the vertical counter advances every second line.
    const int line_time = (s.crtc[kCrtcModeControl] & 0x04) ? 2 : 1;
    v.field_rate_hz = v.line_rate_hz / (v.v_total_lines * line_time);
    v.displayed_lines = (read_field(s.crtc, kVDisplayEnd) + 1) * line_time;
    v.display_start = read_field(s.crtc, kStartAddress);
    v.interlaced = false;
    v.out_of_range = v.line_rate_hz < kMinLineRate || v.line_rate_hz > kMaxLineRate ||
                     v.field_rate_hz < kMinFieldRate || v.field_rate_hz > kMaxFieldRate;
    return v;
}

std::string describe(const MonitorView& v) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s%s, pixel clock %.3f MHz, line rate %.3f kHz, %s rate %.2f Hz, %d lines shown, start %d%s",
                  v.interlaced ? "interlaced" : "progressive", v.blanked ? " (blanked)" : "",
                  v.pixel_clock_hz / 1e6, v.line_rate_hz / 1e3, v.interlaced ? "field" : "frame", v.field_rate_hz,
                  v.displayed_lines, v.display_start, v.out_of_range ? ", OUT OF RANGE" : "");
    return text;
}

} // namespace duo::sim
