// ATI: the mach64 (264CT/VT class) and, detected but not supported, the
// mach32.
//
// mach64: the sparse I/O registers sit at the card's base (0x2EC, 0x1CC or
// 0x1C8, as the card's configuration chose), register n at base + n x 0x400,
// byte k at + k. CONFIG_CHIP_ID (register 27) is read-only: bytes 0-1 the chip
// type, which is also the PCI device id (0x5654 "VT", 0x4354 "CT"), byte 3 the
// revision.
// mach32: the chip identification port pair 0xFAEE/0xFAEF is read-only and
// holds two letter codes of 5 bits each (0 standing for A).
#include <cstdio>

#include <cmath>

#include "sim/clock_synth.h"
#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint32_t kSparseStride = 0x400;
constexpr std::uint32_t kRegConfigChipId = 27;
constexpr std::uint32_t kPortMach32ChipId = 0xFAEE; // low byte; high byte at + 1
constexpr std::uint32_t kRegCrtcGenCntl = 7;         // byte 0 bit 1: interlace
constexpr std::uint32_t kRegClockCntl = 18;          // byte 0: clock select; 1: PLL index << 2 | write; 2: data
constexpr std::uint8_t kPllRefDiv = 2, kPllPostDiv = 6, kPllVclk0Fb = 7;
constexpr std::uint8_t kPllWriteEnable = 0x02;

std::uint32_t chip_id_port(const AdapterState& s) { return (s.io_base + kRegConfigChipId * kSparseStride) & 0xFFFF; }

bool in_word(std::uint32_t port, std::uint32_t first, std::uint32_t bytes) {
    return port >= first && port < first + bytes;
}

std::uint32_t sparse(const AdapterState& s, std::uint32_t reg, std::uint32_t byte) {
    return (s.io_base + reg * kSparseStride + byte) & 0xFFFF;
}

// f = 2 R N / (M P) for the clock the select bits name.
double vclk_hz(const AdapterState& s, int clock) {
    const int m = s.mach64_pll[kPllRefDiv];
    const int p = 1 << ((s.mach64_pll[kPllPostDiv] >> (2 * clock)) & 3);
    const int n = s.mach64_pll[kPllVclk0Fb + clock];
    return m ? 2.0 * kCrystalHz * n / (m * p) : 0.0;
}

// Puts the desktop's clock on VCLK3: the reference divider, post-divider and
// feedback divider that come closest.
void program_desktop_clock(AdapterState& s, double hz) {
    double best = 1e300;
    for (int m = 0x20; m <= 0x40; ++m)
        for (int post = 0; post < 4; ++post)
            for (int n = 0x80; n < 0x100; ++n) {
                double f = 2.0 * kCrystalHz * n / (m * (1 << post));
                if (std::fabs(f - hz) < best) {
                    best = std::fabs(f - hz);
                    s.mach64_pll[kPllRefDiv] = static_cast<std::uint8_t>(m);
                    s.mach64_pll[kPllPostDiv] = static_cast<std::uint8_t>(post << 6);
                    s.mach64_pll[kPllVclk0Fb + 3] = static_cast<std::uint8_t>(n);
                }
            }
    s.ports[sparse(s, kRegClockCntl, 0)] = 3;
}

void mach64_power_on(AdapterState& s, const AdapterModel& model) {
    s.io_base = model.io_base;
    program_desktop_clock(s, s.clock_hz[3]);
    const std::uint32_t id = chip_id_port(s);
    s.ports[id] = static_cast<std::uint8_t>(model.pci.device);
    s.ports[(id + 1) & 0xFFFF] = static_cast<std::uint8_t>(model.pci.device >> 8);
    s.ports[(id + 3) & 0xFFFF] = model.pci.revision;
}

void mach64_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    // CLOCK_CNTL byte 1 selects a PLL register, whose value then reads at
    // byte 2; byte 2 writes reach it while the write-enable bit is set.
    if (port == sparse(s, kRegClockCntl, 1)) {
        s.ports[port] = value;
        s.ports[sparse(s, kRegClockCntl, 2)] = s.mach64_pll[(value >> 2) & 0x0F];
        return;
    }
    if (port == sparse(s, kRegClockCntl, 2)) {
        const std::uint8_t select = s.ports[sparse(s, kRegClockCntl, 1)];
        if (select & kPllWriteEnable) s.mach64_pll[(select >> 2) & 0x0F] = value;
        s.ports[port] = value;
        return;
    }
    if (in_word(port, chip_id_port(s), 4)) return;
    vga_port_write(s, port, value);
}

std::string mach64_lock_state(const AdapterState& s) {
    char text[64];
    std::snprintf(text, sizeof text, "no locks; sparse I/O registers at base %03X", static_cast<unsigned>(s.io_base));
    return text;
}

void mach32_power_on(AdapterState& s, const AdapterModel& model) {
    s.ports[kPortMach32ChipId] = static_cast<std::uint8_t>(model.mach32_chip_id);
    s.ports[kPortMach32ChipId + 1] = static_cast<std::uint8_t>(model.mach32_chip_id >> 8);
}

void mach32_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    if (in_word(port, kPortMach32ChipId, 2)) return;
    vga_port_write(s, port, value);
}

std::string mach32_lock_state(const AdapterState&) { return "no locks modelled"; }

ScanRules mach64_scan_rules(const AdapterState& s) {
    ScanRules rules = vga_scan_rules(s);
    rules.pixel_clock_hz = vclk_hz(s, s.ports[sparse(s, kRegClockCntl, 0)] & 3);
    rules.interlaced = (s.ports[sparse(s, kRegCrtcGenCntl, 0)] & 0x02) != 0;
    rules.per_frame = true;
    return rules;
}

} // namespace

const FamilyHooks kMach64Hooks{mach64_power_on, vga_seq_read,      vga_seq_write,    vga_crtc_read,
                               vga_crtc_write,  mach64_port_write, mach64_lock_state, vga_driver_clock, mach64_scan_rules};
const FamilyHooks kMach32Hooks{mach32_power_on, vga_seq_read,      vga_seq_write,    vga_crtc_read,
                               vga_crtc_write,  mach32_port_write, mach32_lock_state, vga_driver_clock, vga_scan_rules};

} // namespace duo::sim
