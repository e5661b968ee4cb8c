// The plain VGA port model shared by every simulated adapter; the chip
// families' own registers are behind their hooks (sim/family.h).
#include "sim/adapter.h"

#include <cstring>

#include "sim/crtc_fields.h"
#include "sim/dmt.h"
#include "sim/family.h"
#include "sim/vga_regs.h"

namespace duo::sim {
namespace {

constexpr double kFixedClock0 = 25.175e6;
constexpr double kFixedClock1 = 28.322e6;

// Indexed by ChipFamily.
constexpr const FamilyHooks* kFamilyHooks[] = {&kVgaHooks,    &kTridentHooks, &kS3Hooks,    &kCirrusHooks,
                                               &kMach64Hooks, &kMach32Hooks,  &kEt6000Hooks};

// The state may come from a section that another process wrote: a family
// outside the table falls back to the plain VGA.
} // namespace

const FamilyHooks& hooks_of(const AdapterState& s) {
    const auto family = static_cast<std::size_t>(s.family);
    return family < sizeof kFamilyHooks / sizeof kFamilyHooks[0] ? *kFamilyHooks[family] : kVgaHooks;
}

namespace {

// Programs the standard CRTC with a progressive DMT mode.
void program_progressive(AdapterState& s, const DmtMode& m, int bytes_per_pixel) {
    std::uint8_t* c = s.crtc;
    using namespace vga_field;
    const int chars = m.h_total / 8;
    write_field(c, kHTotal, chars - 5);
    write_field(c, kHDisplayEnd, m.width / 8 - 1);
    write_field(c, kHBlankStart, m.width / 8);
    write_field(c, kHBlankEnd, (chars - 1) & 0x3F);
    write_field(c, kHRetraceStart, m.h_sync_start / 8);
    write_field(c, kHRetraceEnd, (m.h_sync_end / 8) & 0x1F);
    write_field(c, kVTotal, m.v_total - 2);
    write_field(c, kVDisplayEnd, m.height - 1);
    write_field(c, kVRetraceStart, m.v_sync_start);
    write_field(c, kVRetraceEnd, m.v_sync_end & 0x0F);
    write_field(c, kVBlankStart, m.height);
    write_field(c, kVBlankEnd, (m.v_total - 1) & 0xFF);
    write_field(c, kLineCompare, 0x3FF);
    write_field(c, kOffset, (m.width * bytes_per_pixel / 8) & 0xFF);
    c[kCrtcMaxScanLine] |= 0x40; // line compare bit 9 stays set with LC = 0x3FF
    c[kCrtcUnderline] = 0x00;
    c[kCrtcModeControl] = 0xE3;   // byte mode off, sync enable
    c[kCrtcVRetraceEnd] |= kCrtcProtectBit;
    s.clock_hz[2] = s.clock_hz[3] = m.pixel_clock_hz;
    // Negative sync polarities for 640x480, positive above; clock select 2.
    s.misc_output = static_cast<std::uint8_t>((m.width == 640 ? 0xC0 : 0x00) | 0x08 | 0x03);
}

// Bits of the standard registers that a display driver leaves as its mode
// set them and that neither the timing nor the clock depend on: vertical
// interrupt and refresh bandwidth (CRTC 0x11 bits 5-6), underline row
// (CRTC 0x14 bits 0-4), text cursor shape (CRTC 0x0A, 0x0B), and the odd/even
// page (misc bit 5).
void leave_desktop_bits(AdapterState& s) {
    s.crtc[kCrtcVRetraceEnd] |= desktop_bits(s, 0x60);
    s.crtc[kCrtcUnderline] |= desktop_bits(s, 0x1F);
    s.crtc[kCrtcCursorStart] |= desktop_bits(s, 0x3F);
    s.crtc[kCrtcCursorEnd] |= desktop_bits(s, 0x1F);
    s.misc_output |= desktop_bits(s, 0x20);
}

std::string no_locks(const AdapterState&) { return "no extended registers"; }

} // namespace

void vga_power_on(AdapterState&, const AdapterModel&) {}

std::uint8_t vga_seq_read(AdapterState& s, std::uint8_t index) { return s.seq[index]; }

void vga_seq_write(AdapterState& s, std::uint8_t index, std::uint8_t value) { s.seq[index] = value; }

std::uint8_t vga_crtc_read(AdapterState& s, std::uint8_t index) { return s.crtc[index]; }

void vga_crtc_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    // CRTC 0x11 bit 7 protects 0x00-0x07; only the line compare bit of the
    // overflow register stays writable.
    if (index <= kCrtcOverflow && (s.crtc[kCrtcVRetraceEnd] & kCrtcProtectBit)) {
        if (index == kCrtcOverflow)
            s.crtc[index] = static_cast<std::uint8_t>((s.crtc[index] & ~kOverflowLineCompare8) |
                                                      (value & kOverflowLineCompare8));
        return;
    }
    s.crtc[index] = value;
}

void vga_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) { s.ports[port & 0xFFFF] = value; }

bool vga_driver_clock(AdapterState&, std::uint32_t, const void*, std::uint32_t, void*, std::uint32_t) { return false; }

ScanRules vga_scan_rules(const AdapterState& s) {
    return {s.clock_hz[(s.misc_output >> 2) & 3], 1, false, false, 0, 0, 0, 0, 0, 0};
}

const FamilyHooks kVgaHooks{vga_power_on,   vga_seq_read, vga_seq_write,    vga_crtc_read, vga_crtc_write,
                            vga_port_write, no_locks,     vga_driver_clock, vga_scan_rules};

void power_on(AdapterState& s, const AdapterModel& model, const DesktopMode& mode, std::uint32_t seed) {
    std::memset(&s, 0, sizeof s);
    std::strncpy(s.adapter_name, model.name, sizeof s.adapter_name - 1);
    s.mode = mode;
    s.family = model.family;
    s.desktop_seed = seed;
    s.clock_hz[0] = kFixedClock0;
    s.clock_hz[1] = kFixedClock1;
    s.seq[kSeqReset] = 0x03;
    s.seq[kSeqClockingMode] = 0x01; // 8-dot characters, screen on
    s.seq[0x02] = 0x0F;
    s.seq[0x04] = 0x0E;
    const DmtMode* dmt = dmt_start_mode(mode.width, mode.height);
    if (!dmt) dmt = dmt_start_mode(640, 480);
    int bytes_per_pixel = mode.bits_per_pixel <= 8 ? 1 : (mode.bits_per_pixel + 7) / 8;
    program_progressive(s, *dmt, bytes_per_pixel);
    leave_desktop_bits(s);
    hooks_of(s).power_on(s, model);
    s.magic = kStateMagic;
}

std::string lock_state(const AdapterState& s) { return hooks_of(s).lock_state(s); }

std::uint8_t port_read(AdapterState& s, std::uint32_t port) {
    ++s.io_operations;
    port &= 0xFFFF;
    switch (port) {
    case kPortSeqIndex: return s.seq_index;
    case kPortSeqData: return hooks_of(s).seq_read(s, s.seq_index);
    case kPortCrtcIndex: return s.crtc_index;
    case kPortCrtcData: return hooks_of(s).crtc_read(s, s.crtc_index);
    case kPortGraphicsIndex: return s.graphics_index;
    case kPortGraphicsData: return s.graphics[s.graphics_index];
    case kPortMiscRead: return s.misc_output;
    case kPortInputStatus1: {
        // Cycles through display, horizontal and vertical retrace so that
        // waits on the retrace bits end.
        std::uint32_t phase = s.retrace_phase++ % 16;
        std::uint8_t value = (phase % 2) ? 0x01 : 0x00;
        if (phase >= 12) value |= 0x08;
        return value;
    }
    default: {
        const auto family_read = hooks_of(s).port_read;
        return family_read ? family_read(s, port) : s.ports[port];
    }
    }
}

void port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    ++s.io_operations;
    port &= 0xFFFF;
    switch (port) {
    case kPortSeqIndex: s.seq_index = value; return;
    case kPortSeqData: hooks_of(s).seq_write(s, s.seq_index, value); return;
    case kPortCrtcIndex: s.crtc_index = value; return;
    case kPortCrtcData: hooks_of(s).crtc_write(s, s.crtc_index, value); return;
    case kPortGraphicsIndex: s.graphics_index = value; return;
    case kPortGraphicsData: s.graphics[s.graphics_index] = value; return;
    case kPortMiscWrite: s.misc_output = value; return;
    default: hooks_of(s).port_write(s, port, value); return;
    }
}

std::uint8_t index_read(AdapterState& s, std::uint32_t index_port, std::uint8_t index) {
    port_write(s, index_port, index);
    return port_read(s, index_port + 1);
}

void index_write(AdapterState& s, std::uint32_t index_port, std::uint8_t index, std::uint8_t value) {
    port_write(s, index_port, index);
    port_write(s, index_port + 1, value);
}

} // namespace duo::sim
