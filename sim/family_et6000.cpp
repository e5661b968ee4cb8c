// Tseng ET6000: identification through its PCI I/O space, the Tseng key and
// the extended CRTC registers it guards.
//
// Reading of the chip chosen here, after the driver and emulator sources
// named in docs/chips.md: CR21 holds the high byte of the PCI I/O base that
// the BIOS assigned and is read-only; the first four bytes of that space
// answer the PCI vendor and device ids (low byte first) and are read-only
// too. The key is set by port 0x3BF with bit 1 set followed by port 0x3D8 =
// 0xA0; another write to 0x3D8, or 0x3BF with bit 1 clear, takes it away.
// Without the key the extended CRTC registers (0x30-0x3F, except 0x33 which
// the chip identification uses) ignore writes. CR3F bit 7 is offset bit 8,
// bit 6 offset bit 9.
#include <cstdio>

#include "sim/clock_synth.h"
#include "sim/driver_requests.h"
#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint8_t kCrtcIoBaseHigh = 0x21;
constexpr std::uint32_t kPortHercCompat = 0x3BF, kPortModeControl = 0x3D8;
constexpr std::uint8_t kKeyHercBit = 0x02, kKeyModeControl = 0xA0;
constexpr std::uint8_t kCrtcFirstKeyed = 0x30, kCrtcLastKeyed = 0x3F, kCrtcExtendedStart = 0x33;
constexpr std::uint32_t kPciIdBytes = 4;
constexpr std::uint32_t kClockIndex = 0x67, kClockData = 0x69; // offsets in the PCI I/O space
constexpr int kPixelClock = 3;                                  // the clock index the pixel clock uses
constexpr std::uint8_t kCrtcOverflowHigh = 0x35; // bit 7 interlace, bits 1/2: VT/VDE bit 10, bit 4: line compare
constexpr std::uint8_t kCrtcExtTiming = 0x3F;    // bit 0: HT bit 8; bits 7/6: offset bits 8/9

// A clock register pair: the first byte holds M - 2 (bits 0-6), the second
// N1 - 2 (bits 0-4) and the post-divider exponent N2 (bits 5-6);
// f = R M / (N1 2^N2).
double et6000_clock_hz(const ClockRegs& c) {
    const unsigned m = (c.r[0] & 0x7F) + 2, n1 = (c.r[1] & 0x1F) + 2, n2 = (c.r[1] >> 5) & 3;
    return kCrystalHz * m / (n1 * (1 << n2));
}

void et6000_power_on(AdapterState& s, const AdapterModel& model) {
    s.io_base = model.io_base & 0xFF00;
    s.crtc[kCrtcIoBaseHigh] = static_cast<std::uint8_t>(s.io_base >> 8);
    const std::uint8_t ids[kPciIdBytes] = {
        static_cast<std::uint8_t>(model.pci.vendor), static_cast<std::uint8_t>(model.pci.vendor >> 8),
        static_cast<std::uint8_t>(model.pci.device), static_cast<std::uint8_t>(model.pci.device >> 8)};
    for (std::uint32_t i = 0; i < kPciIdBytes; ++i) s.ports[s.io_base + i] = ids[i];
    const ClockRegs desktop = nearest_regs(et6000_clock_hz, s.clock_hz[3]);
    s.et6000_clock[kPixelClock][0] = desktop.r[0];
    s.et6000_clock[kPixelClock][1] = desktop.r[1];
    s.misc_output = with_clock_select(s.misc_output, 3);
    // The offset bits 8-9 of the desktop's line, the line compare bit 10
    // the display drivers set, and their other bits beside them.
    const int offset = s.mode.width * (s.mode.bits_per_pixel <= 8 ? 1 : (s.mode.bits_per_pixel + 7) / 8) / 8;
    s.crtc[kCrtcExtTiming] = static_cast<std::uint8_t>((offset & 0x100) >> 1 | (offset & 0x200) >> 3 |
                                                       desktop_bits(s, 0x28));
    s.crtc[kCrtcOverflowHigh] = static_cast<std::uint8_t>(0x10 | desktop_bits(s, 0x40));
    // Some display drivers leave the key set, others take it away on the way
    // out (port 0x3D8 = 0x29, port 0x3BF bit 1 clear).
    if (desktop_bits(s, 0x01)) {
        s.ports[kPortHercCompat] = 0x03;
        s.ports[kPortModeControl] = kKeyModeControl;
        s.et6000_key = 1;
    } else {
        s.ports[kPortHercCompat] = desktop_bits(s, 0x01);
        s.ports[kPortModeControl] = 0x29;
        s.et6000_key = 0;
    }
}

// Codes 12 and 13 read and write the pixel clock's two bytes through the
// I/O base the caller names.
bool et6000_driver_clock(AdapterState& s, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                         std::uint32_t out_size) {
    std::uint32_t f[4];
    if (code == gate::kCodeEt6000ClockRead) {
        if (!gate::fields(in, in_size, 2, f) || f[0] != s.io_base) return false;
        const std::uint32_t reply[3] = {s.et6000_clock[kPixelClock][0], s.et6000_clock[kPixelClock][1], 0};
        return gate::reply(out, out_size, 3, reply);
    }
    if (code != gate::kCodeEt6000ClockWrite || !gate::fields(in, in_size, 4, f) || f[0] != s.io_base) return false;
    s.et6000_clock[kPixelClock][0] = static_cast<std::uint8_t>(f[1]);
    s.et6000_clock[kPixelClock][1] = static_cast<std::uint8_t>(f[2]);
    return true;
}

ScanRules et6000_scan_rules(const AdapterState& s) {
    ScanRules rules = vga_scan_rules(s);
    if (((s.misc_output >> 2) & 3) == kPixelClock) {
        rules.pixel_clock_hz = et6000_clock_hz({{s.et6000_clock[kPixelClock][0], s.et6000_clock[kPixelClock][1], 0}});
    }
    rules.interlaced = (s.crtc[kCrtcOverflowHigh] & 0x80) != 0;
    rules.per_frame = true;
    rules.h_total_high = (s.crtc[kCrtcExtTiming] & 0x01) << 8;
    rules.v_total_high = (s.crtc[kCrtcOverflowHigh] & 0x02) << 9;
    rules.v_display_high = (s.crtc[kCrtcOverflowHigh] & 0x04) << 8;
    rules.h_retrace_high = (s.crtc[kCrtcExtTiming] & 0x10) << 4;
    rules.v_retrace_high = (s.crtc[kCrtcOverflowHigh] & 0x08) << 7;
    rules.offset_high = (s.crtc[kCrtcExtTiming] & 0x80) << 1 | (s.crtc[kCrtcExtTiming] & 0x40) << 3;
    return rules;
}

void et6000_crtc_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index == kCrtcIoBaseHigh) return;
    const bool keyed = index >= kCrtcFirstKeyed && index <= kCrtcLastKeyed && index != kCrtcExtendedStart;
    if (keyed && !s.et6000_key) return;
    vga_crtc_write(s, index, value);
}

void et6000_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    // The clock registers: an index, then M - 2 and N in turn. Neither
    // port is a plain byte.
    if (port == s.io_base + kClockIndex) {
        s.et6000_clock_index = value & 7;
        s.et6000_clock_byte = 0;
        return;
    }
    if (port == s.io_base + kClockData) {
        s.et6000_clock[s.et6000_clock_index & 7][s.et6000_clock_byte & 1] = value;
        s.et6000_clock_byte ^= 1;
        return;
    }
    if (port == kPortHercCompat && !(value & kKeyHercBit)) s.et6000_key = 0;
    if (port == kPortModeControl)
        s.et6000_key = (s.ports[kPortHercCompat] & kKeyHercBit) && value == kKeyModeControl ? 1 : 0;
    if (port >= s.io_base && port < s.io_base + kPciIdBytes) return;
    vga_port_write(s, port, value);
}

// The clock index port reads back the index; the data port reads the
// indexed clock's bytes in turn, as it takes them.
std::uint8_t et6000_port_read(AdapterState& s, std::uint32_t port) {
    if (port == s.io_base + kClockIndex) return s.et6000_clock_index;
    if (port != s.io_base + kClockData) return s.ports[port];
    const std::uint8_t value = s.et6000_clock[s.et6000_clock_index & 7][s.et6000_clock_byte & 1];
    s.et6000_clock_byte ^= 1;
    return value;
}

std::string et6000_lock_state(const AdapterState& s) {
    char text[64];
    std::snprintf(text, sizeof text, "key %s; PCI I/O base %04X", s.et6000_key ? "set" : "not set",
                  static_cast<unsigned>(s.io_base));
    return text;
}

} // namespace

const FamilyHooks kEt6000Hooks{et6000_power_on,   vga_seq_read,      vga_seq_write,    vga_crtc_read,
                               et6000_crtc_write, et6000_port_write, et6000_lock_state, et6000_driver_clock, et6000_scan_rules,
                               et6000_port_read};

} // namespace duo::sim
