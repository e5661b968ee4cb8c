#include "sim/monitor.h"

#include <cstdio>

#include "sim/crtc_fields.h"
#include "sim/family.h"
#include "sim/vga_regs.h"

namespace duo::sim {

MonitorView observe(const AdapterState& s) {
    using namespace vga_field;
    const ScanRules rules = hooks_of(s).scan_rules(s);
    MonitorView v{};
    const std::uint8_t clocking = s.seq[kSeqClockingMode];
    const ScanRules::OwnCrtc& own = rules.own_crtc;
    const bool vga_crtc = own.h_total_chars == 0;
    // Screen off, or the sequencer held in reset (SR00 bits 0-1 not both set).
    v.blanked = (clocking & 0x20) != 0 || (s.seq[kSeqReset] & 0x03) != 0x03;
    v.interlaced = rules.interlaced;
    v.pixel_clock_hz = rules.pixel_clock_hz / ((vga_crtc && (clocking & 0x08)) ? 2.0 : 1.0);
    // S3 chips count bytes: the CRTC's character clock runs faster than the
    // pixels by the number of bytes per pixel.
    const int char_width = (!vga_crtc || (clocking & 0x01)) ? 8 : 9;
    const int h_chars = vga_crtc ? read_field(s.crtc, kHTotal) + rules.h_total_high + 5 : own.h_total_chars;
    v.h_total_px = h_chars * char_width / rules.char_clock_scale;
    v.displayed_px = own.h_display_chars * 8;
    v.line_rate_hz = v.pixel_clock_hz * rules.char_clock_scale / (h_chars * char_width);
    // With CRTC 0x17 bit 2 the vertical counter advances every second line.
    const int line_time = (vga_crtc && (s.crtc[kCrtcModeControl] & 0x04)) ? 2 : 1;
    const int vt = vga_crtc ? (read_field(s.crtc, kVTotal) + rules.v_total_high + 2) * line_time : own.v_total;
    const int vde = vga_crtc ? (read_field(s.crtc, kVDisplayEnd) + rules.v_display_high + 1) * line_time : own.v_display;
    if (!v.interlaced) {
        v.v_total_lines = vt;
        v.field_rate_hz = v.line_rate_hz / vt;
        v.displayed_lines = vde;
    } else if (rules.per_frame) {
        // The counts cover the frame; each field scans half of it.
        v.v_total_lines = vt / 2;
        v.field_rate_hz = 2 * v.line_rate_hz / vt;
        v.displayed_lines = vde / 2;
    } else {
        // The counts cover one field, which runs half a line longer.
        v.v_total_lines = vt;
        v.field_rate_hz = v.line_rate_hz / (vt + 0.5);
        v.displayed_lines = vde;
    }
    v.display_start = vga_crtc ? read_field(s.crtc, kStartAddress) : own.start;
    v.line_offset = vga_crtc ? s.crtc[kCrtcOffset] + rules.offset_high : own.pitch;
    // A sync pulse the counters never reach, or outside the blanked part of
    // the scan, is no sync a monitor can lock to.
    if (vga_crtc) {
        v.h_sync_missing = read_field(s.crtc, kHRetraceStart) + rules.h_retrace_high >= h_chars;
        v.v_sync_missing = (read_field(s.crtc, kVRetraceStart) + rules.v_retrace_high) * line_time >= vt;
    } else {
        v.h_sync_missing = v.v_sync_missing = !own.syncs_in_blanking;
    }
    v.out_of_range = v.line_rate_hz < kMinLineRate || v.line_rate_hz > kMaxLineRate ||
                     v.field_rate_hz < kMinFieldRate || v.field_rate_hz > kMaxFieldRate || v.h_sync_missing ||
                     v.v_sync_missing;
    return v;
}

std::string describe(const MonitorView& v) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%s%s, pixel clock %.3f MHz, line rate %.3f kHz, %s rate %.2f Hz, %d lines shown, start %d%s%s%s",
                  v.interlaced ? "interlaced" : "progressive", v.blanked ? " (blanked)" : "",
                  v.pixel_clock_hz / 1e6, v.line_rate_hz / 1e3, v.interlaced ? "field" : "frame", v.field_rate_hz,
                  v.displayed_lines, v.display_start, v.h_sync_missing ? ", no horizontal sync" : "",
                  v.v_sync_missing ? ", no vertical sync" : "", v.out_of_range ? ", OUT OF RANGE" : "");
    return text;
}

} // namespace duo::sim
