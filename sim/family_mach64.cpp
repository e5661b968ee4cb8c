// ATI: the mach64 (264CT/VT class) and, detected but not supported, the
// mach32.
//
// mach64: the sparse I/O registers sit at the card's base (0x2EC, 0x1CC or
// 0x1C8, as the card's configuration chose), register n at base + n x 0x400,
// byte k at + k. A PCI card may instead decode them only as block I/O at its
// BAR1 (PCI configuration register 0x40 bit 2, which the desktop seed sets on
// the cards with a BAR1), 4 bytes per register in an order of its own: the
// CRTC registers 0-7 keep their numbers, CLOCK_CNTL sits at + 0x90 and
// CONFIG_CHIP_ID at + 0xE0; then no sparse port answers, and those ports are
// plain bus bytes. CONFIG_CHIP_ID (register 27) is read-only: bytes 0-1 the chip
// type, which is also the PCI device id (0x5654 "VT", 0x4354 "CT"), byte 3 the
// revision.
// Two CRT controllers: with CRTC_GEN_CNTL bits 24-25 both set the accelerator
// CRTC (registers 0-3 and 5) times the display and the VGA CRTC is ignored;
// the interlace bit (CRTC_GEN_CNTL bit 1) acts on whichever runs. The
// accelerator CRTC counts characters of 8 pixels at every depth and frame
// lines: interlaced, each field scans half the frame's V_TOTAL + 1 lines.
// Its display start and pitch are CRTC_OFF_PITCH's. CLOCK_CNTL bits 0-1
// select the pixel clock in either mode. Display
// drivers put every packed-pixel mode above 640x480 and every 16- and 24-bit
// mode on the accelerator CRTC; the desktop at 640x480x8 runs on the VGA
// CRTC.
// One PLL reference divider (PLL_REF_DIV) serves every clock, the memory
// clock included; the BIOS sets it. The desktop runs on a clock select other
// than 3.
// The VGA sequencer is reset around a pixel clock change: a clock that
// changed while the sequencer ran settles only with the next sequencer reset.
// mach32: the chip identification port pair 0xFAEE/0xFAEF is read-only and
// holds two letter codes of 5 bits each (0 standing for A).
#include <cstdio>

#include <cmath>

#include "sim/clock_synth.h"
#include "sim/dmt.h"
#include "sim/family.h"
#include "sim/vga_regs.h"

namespace duo::sim {
namespace {

constexpr std::uint32_t kSparseStride = 0x400;
constexpr std::uint32_t kRegHTotalDisp = 0;   // bits 0-8 total - 1, 16-24 display - 1 (characters)
constexpr std::uint32_t kRegHSyncStrtWid = 1; // bits 0-7 start, 12 start bit 8, 16-20 width
constexpr std::uint32_t kRegVTotalDisp = 2;   // bits 0-10 total - 1, 16-26 display - 1 (frame lines)
constexpr std::uint32_t kRegVSyncStrtWid = 3; // bits 0-10 start, 16-20 width
constexpr std::uint32_t kRegOffPitch = 5;     // bits 0-19 start (8 bytes), 22-31 pitch (8 pixels)
constexpr std::uint32_t kRegCrtcGenCntl = 7;
constexpr std::uint32_t kRegClockCntl = 18; // byte 0: clock select; 1: PLL index << 2 | write; 2: data
constexpr std::uint32_t kRegConfigChipId = 27;
constexpr std::uint32_t kPortMach32ChipId = 0xFAEE; // low byte; high byte at + 1
constexpr std::uint8_t kPllRefDiv = 2, kPllMclkFb = 4, kPllPostDiv = 6, kPllVclk0Fb = 7;
constexpr std::uint8_t kPllWriteEnable = 0x02;
// CRTC_GEN_CNTL.
constexpr std::uint32_t kGenInterlace = 0x00000002;
constexpr std::uint32_t kGenCompositeSync = 0x00000010;
constexpr std::uint32_t kGenVgaOverscan = 0x00000080;
constexpr std::uint32_t kGenFifoLowWater = 0x000F0000;
constexpr std::uint32_t kGenExtendedDisplay = 0x01000000;
constexpr std::uint32_t kGenCrtcEnable = 0x02000000;
constexpr std::uint32_t kGenVgaLinear = 0x08000000;
constexpr std::uint32_t kGenCountEnable = 0x40000000;
constexpr int kPixelWidthShift = 8;

// Reference dividers a BIOS may leave, none of them the 0x2D the library's
// clock tables assume, so that a library which overwrites or ignores it shows.
constexpr std::uint8_t kBiosReferenceDividers[] = {0x24, 0x21, 0x36, 0x29};
// Clock selects a desktop runs on (never 3, the stereo clock).
constexpr int kDesktopSelects[] = {2, 0, 1, 2};
// The memory clock (MCLK_FB_DIV, post-divider 2) the BIOS runs.
constexpr double kMemoryClockHz = 60e6;

constexpr std::uint32_t kBlockStride = 4;
constexpr std::uint32_t kBlockClockCntl = 0x24, kBlockConfigChipId = 0x38;

// A register's place in block I/O, by its sparse number.
std::uint32_t block_number(std::uint32_t reg) {
    switch (reg) {
    case kRegClockCntl: return kBlockClockCntl;
    case kRegConfigChipId: return kBlockConfigChipId;
    default: return reg;
    }
}

bool in_word(std::uint32_t port, std::uint32_t first, std::uint32_t bytes) {
    return port >= first && port < first + bytes;
}

std::uint32_t reg_port(const AdapterState& s, std::uint32_t reg, std::uint32_t byte) {
    return mach64_register_port(s, reg, byte);
}

std::uint32_t chip_id_port(const AdapterState& s) { return reg_port(s, kRegConfigChipId, 0); }

std::uint32_t read_reg(const AdapterState& s, std::uint32_t reg) {
    std::uint32_t value = 0;
    for (int byte = 3; byte >= 0; --byte) value = (value << 8) | s.ports[reg_port(s, reg, byte)];
    return value;
}

void write_reg(AdapterState& s, std::uint32_t reg, std::uint32_t value) {
    for (std::uint32_t byte = 0; byte < 4; ++byte) s.ports[reg_port(s, reg, byte)] = static_cast<std::uint8_t>(value >> (8 * byte));
}

bool accelerator_crtc_runs(const AdapterState& s) {
    const std::uint32_t both = kGenExtendedDisplay | kGenCrtcEnable;
    return (read_reg(s, kRegCrtcGenCntl) & both) == both;
}

int clock_select(const AdapterState& s) { return s.ports[reg_port(s, kRegClockCntl, 0)] & 3; }

// f = 2 R N / (M P), P = 1, 2, 4, 8 for post-divider codes 0-3.
double pll_hz(int m, int n, int post) { return m ? 2.0 * kCrystalHz * n / (m << post) : 0.0; }

double vclk_hz(const AdapterState& s, int clock) {
    return pll_hz(s.mach64_pll[kPllRefDiv], s.mach64_pll[kPllVclk0Fb + clock],
                  (s.mach64_pll[kPllPostDiv] >> (2 * clock)) & 3);
}

// Programs VCLKn with the post-divider and feedback divider (128-255) that
// come closest to `hz` under the reference divider in place.
void program_vclk(AdapterState& s, int clock, double hz) {
    double best = 1e300;
    for (int post = 0; post < 4; ++post)
        for (int n = 128; n < 256; ++n) {
            const double f = pll_hz(s.mach64_pll[kPllRefDiv], n, post);
            if (std::fabs(f - hz) < best) {
                best = std::fabs(f - hz);
                s.mach64_pll[kPllVclk0Fb + clock] = static_cast<std::uint8_t>(n);
                s.mach64_pll[kPllPostDiv] = static_cast<std::uint8_t>((s.mach64_pll[kPllPostDiv] & ~(3 << (2 * clock))) |
                                                                      (post << (2 * clock)));
            }
        }
}

int pixel_width_code(int bits_per_pixel) {
    switch (bits_per_pixel) {
    case 15: return 3;
    case 16: return 4;
    case 24: return 5;
    default: return 2;
    }
}

// The accelerator CRTC with the desktop's DMT mode, as a display driver
// loads it: totals and display ends less one, frame lines.
void program_accelerator_crtc(AdapterState& s) {
    const DmtMode* m = dmt_start_mode(s.mode.width, s.mode.height);
    if (!m) m = dmt_start_mode(640, 480);
    const std::uint32_t h_sync = static_cast<std::uint32_t>(m->h_sync_start / 8 - 1);
    write_reg(s, kRegHTotalDisp, static_cast<std::uint32_t>(m->h_total / 8 - 1) |
                                     (static_cast<std::uint32_t>(m->width / 8 - 1) << 16));
    write_reg(s, kRegHSyncStrtWid, (h_sync & 0xFF) | ((h_sync & 0x100) << 4) |
                                       (static_cast<std::uint32_t>((m->h_sync_end - m->h_sync_start) / 8) << 16));
    write_reg(s, kRegVTotalDisp,
              static_cast<std::uint32_t>(m->v_total - 1) | (static_cast<std::uint32_t>(m->height - 1) << 16));
    write_reg(s, kRegVSyncStrtWid, static_cast<std::uint32_t>(m->v_sync_start - 1) |
                                       (static_cast<std::uint32_t>(m->v_sync_end - m->v_sync_start) << 16));
    write_reg(s, kRegOffPitch, static_cast<std::uint32_t>(m->width / 8) << 22);
}

void mach64_power_on(AdapterState& s, const AdapterModel& model) {
    s.io_base = model.io_base;
    if (model.mach64_bar1 && desktop_bits(s, 0x01)) s.mach64_block_base = model.mach64_bar1;
    const std::uint32_t id = chip_id_port(s);
    s.ports[id] = static_cast<std::uint8_t>(model.pci.device);
    s.ports[(id + 1) & 0xFFFF] = static_cast<std::uint8_t>(model.pci.device >> 8);
    s.ports[(id + 3) & 0xFFFF] = model.pci.revision;

    // Clocks as the BIOS and the display driver leave them: the reference
    // divider and memory clock of the BIOS, the VGA clocks on VCLK0-1, the
    // desktop on its select, and some earlier mode's clock on VCLK3.
    s.mach64_pll[kPllRefDiv] = kBiosReferenceDividers[desktop_bits(s, 0x03)];
    s.mach64_pll[kPllMclkFb] = static_cast<std::uint8_t>(std::lround(kMemoryClockHz * s.mach64_pll[kPllRefDiv] / kCrystalHz));
    const double vclk[4] = {25.175e6, 28.322e6, 36.0e6, 44.9e6};
    for (int clock = 0; clock < 4; ++clock) program_vclk(s, clock, vclk[clock]);
    const int select = kDesktopSelects[desktop_bits(s, 0x03)];
    program_vclk(s, select, s.clock_hz[3]);
    s.ports[reg_port(s, kRegClockCntl, 0)] = static_cast<std::uint8_t>(select);

    const bool accelerator = s.mode.bits_per_pixel > 8 || s.mode.width > 640;
    std::uint32_t gen = kGenCrtcEnable | kGenVgaLinear | kGenCountEnable | kGenFifoLowWater;
    gen |= desktop_bits(s, kGenCompositeSync | kGenVgaOverscan);
    if (accelerator) {
        gen |= kGenExtendedDisplay | (static_cast<std::uint32_t>(pixel_width_code(s.mode.bits_per_pixel)) << kPixelWidthShift);
        program_accelerator_crtc(s);
    }
    write_reg(s, kRegCrtcGenCntl, gen);
}

// A write that changes the selected pixel clock while the sequencer runs
// leaves the sequencer unsettled until its next reset.
void note_clock_change(AdapterState& s, double before) {
    if (vclk_hz(s, clock_select(s)) != before && (s.seq[kSeqReset] & 0x03) == 0x03) s.mach64_clock_unsettled = 1;
}

void mach64_seq_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index == kSeqReset && (value & 0x03) != 0x03) s.mach64_clock_unsettled = 0;
    vga_seq_write(s, index, value);
}

void mach64_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    const double before = vclk_hz(s, clock_select(s));
    // CLOCK_CNTL byte 1 selects a PLL register, whose value then reads at
    // byte 2; byte 2 writes reach it while the write-enable bit is set.
    if (port == reg_port(s, kRegClockCntl, 1)) {
        s.ports[port] = value;
        s.ports[reg_port(s, kRegClockCntl, 2)] = s.mach64_pll[(value >> 2) & 0x0F];
        return;
    }
    if (port == reg_port(s, kRegClockCntl, 2)) {
        const std::uint8_t select = s.ports[reg_port(s, kRegClockCntl, 1)];
        if (select & kPllWriteEnable) s.mach64_pll[(select >> 2) & 0x0F] = value;
        s.ports[port] = value;
        note_clock_change(s, before);
        return;
    }
    if (in_word(port, chip_id_port(s), 4)) return;
    vga_port_write(s, port, value);
    if (port == reg_port(s, kRegClockCntl, 0)) note_clock_change(s, before);
}

std::string mach64_lock_state(const AdapterState& s) {
    char text[96];
    if (s.mach64_block_base)
        std::snprintf(text, sizeof text, "no locks; block I/O registers at BAR1 %04X, no sparse ports; %s CRTC",
                      static_cast<unsigned>(s.mach64_block_base), accelerator_crtc_runs(s) ? "accelerator" : "VGA");
    else
        std::snprintf(text, sizeof text, "no locks; sparse I/O registers at base %03X; %s CRTC",
                      static_cast<unsigned>(s.io_base), accelerator_crtc_runs(s) ? "accelerator" : "VGA");
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
    const std::uint32_t gen = read_reg(s, kRegCrtcGenCntl);
    rules.pixel_clock_hz = vclk_hz(s, clock_select(s));
    rules.interlaced = (gen & kGenInterlace) != 0;
    rules.per_frame = true;
    if (accelerator_crtc_runs(s)) {
        const std::uint32_t h = read_reg(s, kRegHTotalDisp), v = read_reg(s, kRegVTotalDisp);
        const std::uint32_t hs = read_reg(s, kRegHSyncStrtWid), vs = read_reg(s, kRegVSyncStrtWid);
        const std::uint32_t off_pitch = read_reg(s, kRegOffPitch);
        const int h_total = static_cast<int>(h & 0x1FF) + 1, v_total = static_cast<int>(v & 0x7FF) + 1;
        const int h_display = static_cast<int>((h >> 16) & 0x1FF) + 1, v_display = static_cast<int>((v >> 16) & 0x7FF) + 1;
        // Sync start (characters, bit 8 in bit 12; lines) counts from 0 as
        // "value + 1"; the widths count whole characters and lines.
        const int h_sync_end = static_cast<int>((hs & 0xFF) | ((hs >> 4) & 0x100)) + 1 + static_cast<int>((hs >> 16) & 0x1F);
        const int v_sync_end = static_cast<int>(vs & 0x7FF) + 1 + static_cast<int>((vs >> 16) & 0x1F);
        rules.own_crtc = {h_total, h_display, v_total, v_display, static_cast<int>(off_pitch & 0xFFFFF),
                          static_cast<int>(off_pitch >> 22),
                          h_display < h_sync_end && h_sync_end <= h_total && v_display < v_sync_end && v_sync_end <= v_total};
    }
    return rules;
}

} // namespace

std::uint32_t mach64_register_port(const AdapterState& s, std::uint32_t reg, std::uint32_t byte) {
    if (s.mach64_block_base) return (s.mach64_block_base + block_number(reg) * kBlockStride + byte) & 0xFFFF;
    return (s.io_base + reg * kSparseStride + byte) & 0xFFFF;
}

const FamilyHooks kMach64Hooks{mach64_power_on, vga_seq_read,      mach64_seq_write, vga_crtc_read,
                               vga_crtc_write,  mach64_port_write, mach64_lock_state, vga_driver_clock, mach64_scan_rules};
const FamilyHooks kMach32Hooks{mach32_power_on, vga_seq_read,      vga_seq_write,    vga_crtc_read,
                               vga_crtc_write,  mach32_port_write, mach32_lock_state, vga_driver_clock, vga_scan_rules};

} // namespace duo::sim
