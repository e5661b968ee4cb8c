// ATI mach64 (264CT/VT class): accelerator CRTC and internal PLL behind
// sparse I/O registers, or behind block I/O at PCI BAR1 where the card
// decodes only that.
#include <algorithm>
#include <utility>

#include "lib/hw/family.h"
#include "lib/hw/mach64_crtc.h"
#include "lib/hw/port_io.h"

namespace duo::family {
namespace {

constexpr int kRegCrtcOffPitch = 5;  // byte 3 bits 6-7: offset bits 8-9
constexpr int kRegCrtcGenCntl = 7;   // byte 0 bit 1: interlace; byte 3 bits 0-1: the accelerator CRTC drives the display
constexpr int kRegClockCntl = 18;    // byte 0: clock select, byte 1: PLL index, byte 2: PLL data
constexpr std::uint8_t kInterlaceBit = 0x02;
constexpr std::uint8_t kAcceleratorCrtcBits = 0x03; // EXT_DISP_EN and CRTC_EN
// PLL index codes as written to CLOCK_CNTL byte 1: (register << 2), with
// the write enable (0x02) where the register is written.
constexpr std::uint8_t kPllRefDivRead = 0x08; // register 2, shared with the memory clock: never written
constexpr std::uint8_t kPllPostDiv = 0x1A;    // register 6, two bits per clock
constexpr std::uint8_t kPllVclk3Fb = 0x2A;    // register 10
// Stereo runs on clock 3; the clock tables' feedback dividers assume a
// reference divider of 0x2D.
constexpr std::uint8_t kStereoClock = 3;
constexpr int kStereoPostShift = 2 * kStereoClock;
constexpr int kTableRefDiv = 0x2D;
constexpr int kFeedbackMin = 128, kFeedbackMax = 255;

// Detection keeps a block I/O base (PCI BAR1) 256-aligned, a sparse base
// (0x2EC, 0x1CC, 0x1C8) never is. Block I/O has 4 bytes per register; the
// CRTC registers keep their sparse numbers there, CLOCK_CNTL is block
// register 0x24.
constexpr int kBlockClockCntl = 0x24;
std::uint32_t register_port(int reg, int byte) {
    const std::int32_t base = g_adapter.mach64_base_port;
    if ((base & 0xFF) != 0) return static_cast<std::uint32_t>(base + reg * 0x400 + byte);
    return static_cast<std::uint32_t>(base + (reg == kRegClockCntl ? kBlockClockCntl : reg) * 4 + byte);
}

// The sparse registers have no lock; only the VGA CRTC's protection of
// CRTC 0x00-0x07 is lifted.
void open_step() { crtc_unprotect(); }

void close_step() { crtc_or(kCrtcVRetraceEnd, kCrtcProtect); }

// The accelerator CRTC, not the VGA CRTC, times the display.
bool accelerator_crtc_drives() {
    return (Read_Port(register_port(kRegCrtcGenCntl, 3)) & kAcceleratorCrtcBits) == kAcceleratorCrtcBits;
}

// The VGA CRTC's registers are saved and given back on either CRTC, as the
// library writes them in both cases; a desktop on the accelerator CRTC has
// its whole image kept as well.
void save_step(TimingBlock& saved) {
    read_crtc_block(saved);
    saved.bytes[kBlockExt1] = Read_Port(register_port(kRegCrtcOffPitch, 3)) >> 6;
    g_adapter.remembered_interlace[kMach64] = Read_Port(register_port(kRegCrtcGenCntl, 0));
    if (accelerator_crtc_drives()) g_adapter.mach64_desktop_crtc = mach64_crtc_read();
}

int eye_shift(const TimingBlock& block) {
    int shift = block.bytes[kBlockOffset] | ((block.bytes[kBlockExt1] & 0x03) << 8);
    switch (g_adapter.colour_depth) {
    case 8: return shift >> 1;
    case 24: return shift * 3 / 2;
    default: return shift;
    }
}

void vga_timing_write(const TimingBlock& block) {
    write_crtc_block(block);
    const std::uint32_t pitch_high = register_port(kRegCrtcOffPitch, 3);
    Write_Port(pitch_high, static_cast<std::uint8_t>((block.bytes[kBlockExt1] << 6) | (Read_Port(pitch_high) & 0x3F)));
    g_adapter.eye_shift = eye_shift(block);
}

bool interlaced() { return (Read_Port(register_port(kRegCrtcGenCntl, 0)) & kInterlaceBit) != 0; }

// On the accelerator CRTC the VGA CRTC's registers hold the stereo timing as
// the library and its dialogs edit it; while the stereo timing runs
// (interlaced: a desktop never is, Init refuses one) the accelerator CRTC is
// made to match, register by register, the control register last.
void follow_vga_crtc() {
    if (!accelerator_crtc_drives() || !interlaced()) return;
    TimingBlock shown{};
    read_crtc_block(shown);
    const Mach64Crtc now = mach64_crtc_read();
    const Mach64Crtc target = mach64_crtc_from_block(shown, g_adapter.mach64_desktop_crtc, true);
    mach64_crtc_update(now, target);
}

void timing_write(const TimingBlock& block) {
    vga_timing_write(block);
    follow_vga_crtc();
}

void enter_step(const TimingBlock& block) {
    vga_timing_write(block);
    const std::uint32_t gen_cntl = register_port(kRegCrtcGenCntl, 0);
    Write_Port(gen_cntl, Read_Port(gen_cntl) | kInterlaceBit);
    follow_vga_crtc();
}

void leave_step(const TimingBlock& saved) {
    vga_timing_write(saved);
    if (accelerator_crtc_drives()) mach64_crtc_write(g_adapter.mach64_desktop_crtc);
    Write_Port(register_port(kRegCrtcGenCntl, 0), g_adapter.remembered_interlace[kMach64]);
}

void select_pll(std::uint8_t index_code) { Write_Port(register_port(kRegClockCntl, 1), index_code); }

void clock_read(ClockSetting& setting) {
    const std::uint32_t pll_data = register_port(kRegClockCntl, 2);
    // Only the first read after stereo was off sees the desktop's select.
    if (g_adapter.stereo == 0) g_adapter.mach64_saved_clock_select = Read_Port(register_port(kRegClockCntl, 0)) & 0x03;
    select_pll(kPllPostDiv);
    setting.b[0] = (Read_Port(pll_data) >> kStereoPostShift) & 0x03;
    select_pll(kPllVclk3Fb);
    setting.b[1] = Read_Port(pll_data);
}

void write_clock_select(std::uint8_t select) {
    const std::uint32_t cntl = register_port(kRegClockCntl, 0);
    Write_Port(cntl, static_cast<std::uint8_t>((Read_Port(cntl) & 0xFC) | select));
}

void clock_write(const ClockSetting& setting) {
    select_pll(kPllRefDivRead);
    const int ref_div = Read_Port(register_port(kRegClockCntl, 2));
    write_clock_select(kStereoClock);
    mach64_clock_slot_write(mach64_for_reference_divider(setting, ref_div));
}

// The mach64 puts its desktop clock back through the saved clock select,
// after the timing.
void restore_desktop(const ClockSetting& clock, const TimingBlock& timing) {
    leave_step(timing);
    mach64_clock_restore(clock);
    clock_select_restore();
}

// Over the desktop the test's clock read kept the desktop's clock select,
// which the clock restore puts back; over stereo it read the stereo clock as
// programmed.
void restore_test(const ClockSetting& clock, std::uint8_t clock_select, const TimingBlock* desktop) {
    if (desktop) {
        mach64_clock_restore(clock);
        leave_step(*desktop);
    } else {
        mach64_clock_slot_write(clock);
    }
    put_back_clock_select_bits(clock_select);
}

// The mach64 blanks by holding the sequencer in reset for a moment instead
// of the screen-off bit.
void sequencer_pulse() {
    g_adapter_process.mach64_sequencer_scratch = read_seq(kSeqReset);
    write_seq(kSeqReset, g_adapter_process.mach64_sequencer_scratch & 0xFC);
    write_seq(kSeqReset, g_adapter_process.mach64_sequencer_scratch | 0x03);
}

// CRTC 0x00-0x07 writable again for the stereo timing.
void resume_prepare() { crtc_unprotect(); }

} // namespace

const FamilyOps kMach64Ops = {open_step,  close_step, save_step,  timing_write,
                              enter_step, leave_step, clock_read, clock_write, interlaced,
                              restore_desktop, restore_test, resume_prepare, count_by_two_on, count_by_two_off, follow_vga_crtc, sequencer_pulse, sequencer_pulse, false, nullptr};

// N x M / 0x2D keeps the table's frequency; the post-divider moves by
// factors of two to keep N where the PLL runs cleanly.
ClockSetting mach64_for_reference_divider(const ClockSetting& table, int ref_div) {
    int post = table.b[0] & 0x03;
    long numerator = static_cast<long>(table.b[1]) * ref_div;
    long denominator = kTableRefDiv;
    const auto rounded = [&] { return (numerator + denominator / 2) / denominator; };
    while (rounded() > kFeedbackMax && post > 0) {
        denominator *= 2;
        --post;
    }
    while (rounded() < kFeedbackMin && post < 3) {
        numerator *= 2;
        ++post;
    }
    const long n = std::clamp(rounded(), 1L, static_cast<long>(kFeedbackMax));
    return {{static_cast<std::uint8_t>(post), static_cast<std::uint8_t>(n), 0}};
}

// The sequencer is held in synchronous reset while the clock changes: a
// clock changed under a running sequencer does not settle.
void mach64_clock_slot_write(const ClockSetting& setting) {
    const std::uint8_t reset = read_seq(kSeqReset);
    write_seq(kSeqReset, static_cast<std::uint8_t>(reset & ~kSeqSynchronousRun));
    const std::uint32_t pll_data = register_port(kRegClockCntl, 2);
    select_pll(kPllPostDiv);
    Write_Port(pll_data, static_cast<std::uint8_t>(((setting.b[0] & 0x03) << kStereoPostShift) |
                                                   (Read_Port(pll_data) & ~(0x03 << kStereoPostShift))));
    select_pll(kPllVclk3Fb);
    Write_Port(pll_data, setting.b[1]);
    write_seq(kSeqReset, reset);
}

void mach64_clock_restore(const ClockSetting& setting) {
    write_clock_select(static_cast<std::uint8_t>(g_adapter.mach64_saved_clock_select & 0x03));
    mach64_clock_slot_write(setting);
}

namespace {

constexpr int kRegCrtcHTotalDisp = 0, kRegCrtcHSyncStrtWid = 1, kRegCrtcVTotalDisp = 2, kRegCrtcVSyncStrtWid = 3;
constexpr std::uint32_t kGenDoubleScan = 0x01, kGenInterlace = 0x02, kGenDisplayOff = 0x40;
constexpr std::uint32_t kSyncNegative = 1u << 21;
constexpr std::uint32_t kOffPitchStart = 0x000FFFFF; // 8-byte units
constexpr std::uint8_t kClockSelectStrobe = 0x40;

// The timing registers in the order the chip takes them; CRTC_GEN_CNTL
// follows them.
constexpr std::pair<int, std::uint32_t Mach64Crtc::*> kTimingRegisters[] = {
    {kRegCrtcHTotalDisp, &Mach64Crtc::h_total_disp}, {kRegCrtcHSyncStrtWid, &Mach64Crtc::h_sync_strt_wid},
    {kRegCrtcVTotalDisp, &Mach64Crtc::v_total_disp}, {kRegCrtcVSyncStrtWid, &Mach64Crtc::v_sync_strt_wid},
    {kRegCrtcOffPitch, &Mach64Crtc::off_pitch}};

// Bytes per pixel from CRTC_GEN_CNTL's pixel width (bits 8-10).
std::uint32_t bytes_per_pixel(std::uint32_t gen_cntl) {
    switch ((gen_cntl >> 8) & 0x07) {
    case 3:
    case 4: return 2;
    case 5: return 3;
    case 6: return 4;
    default: return 1;
    }
}

std::uint32_t read_register(int reg) {
    std::uint32_t value = 0;
    for (int byte = 3; byte >= 0; --byte) value = value << 8 | Read_Port(register_port(reg, byte));
    return value;
}

void write_register(int reg, std::uint32_t value) {
    for (int byte = 0; byte < 4; ++byte)
        Write_Port(register_port(reg, byte), static_cast<std::uint8_t>(value >> (8 * byte)));
}

// A VGA vertical value: the low byte and its bits 8 and 9 in CRTC 0x07.
int vertical(const TimingBlock& block, int low, int bit8, int bit9) {
    const std::uint8_t overflow = block.bytes[kCrtcOverflow];
    return block.bytes[low] | ((overflow >> bit8) & 1) << 8 | ((overflow >> bit9) & 1) << 9;
}

} // namespace

Mach64Crtc mach64_crtc_read() {
    Mach64Crtc crtc{};
    for (const auto& [reg, field] : kTimingRegisters) crtc.*field = read_register(reg);
    crtc.gen_cntl = read_register(kRegCrtcGenCntl);
    crtc.clock_select = static_cast<std::uint8_t>(Read_Port(register_port(kRegClockCntl, 0)) & 0x03);
    return crtc;
}

void mach64_crtc_write(const Mach64Crtc& crtc) {
    const std::uint32_t gen_low = register_port(kRegCrtcGenCntl, 0);
    Write_Port(gen_low, static_cast<std::uint8_t>(Read_Port(gen_low) | kGenDisplayOff));
    for (const auto& [reg, field] : kTimingRegisters) write_register(reg, crtc.*field);
    const std::uint32_t cntl = register_port(kRegClockCntl, 0);
    Write_Port(cntl, static_cast<std::uint8_t>((Read_Port(cntl) & 0xFC) | kClockSelectStrobe | crtc.clock_select));
    Write_Port(cntl, static_cast<std::uint8_t>((Read_Port(cntl) & 0xBC) | crtc.clock_select));
    write_register(kRegCrtcGenCntl, crtc.gen_cntl);
}

void mach64_crtc_update(const Mach64Crtc& now, const Mach64Crtc& target) {
    for (const auto& [reg, field] : kTimingRegisters)
        if (now.*field != target.*field) write_register(reg, target.*field);
    if (now.gen_cntl != target.gen_cntl) write_register(kRegCrtcGenCntl, target.gen_cntl);
}

Mach64Crtc mach64_crtc_from_block(const TimingBlock& block, const Mach64Crtc& desktop, bool interlace) {
    const std::uint8_t* b = block.bytes;
    const std::uint32_t h_total = b[kCrtcHTotal] + 4u, h_display = b[kCrtcHDisplayEnd];
    const std::uint32_t h_sync = (b[kCrtcHRetraceStart] + 0xFFu) & 0xFF; // start less one, within 8 bits
    const std::uint32_t h_width = (b[kCrtcHRetraceEnd] - b[kCrtcHRetraceStart]) & 0x1F;
    // Counting by two, the VGA CRTC's vertical values count line pairs.
    const int lines = (b[kCrtcModeControl] & kCountByTwo) ? 2 : 1;
    const int v_total = (vertical(block, kCrtcVTotal, 0, 5) + 2) * lines - 1;
    const int v_display = (vertical(block, kCrtcVDisplayEnd, 1, 6) + 1) * lines - 1;
    const int v_sync_vga = vertical(block, kCrtcVRetraceStart, 2, 7);
    const int v_sync = v_sync_vga * lines;
    const int v_width = (((b[kCrtcVRetraceEnd] - v_sync_vga) & 0x0F) ? (b[kCrtcVRetraceEnd] - v_sync_vga) & 0x0F : 0x10) * lines;
    Mach64Crtc out = desktop;
    out.h_total_disp = (h_total & 0x1FF) | h_display << 16;
    out.h_sync_strt_wid = h_sync | h_width << 16 | (desktop.h_sync_strt_wid & kSyncNegative);
    out.v_total_disp = static_cast<std::uint32_t>(v_total & 0x7FF) | static_cast<std::uint32_t>(v_display & 0x7FF) << 16;
    out.v_sync_strt_wid = static_cast<std::uint32_t>((v_sync + 0x7FF) & 0x7FF) |
                          static_cast<std::uint32_t>(std::min(v_width, 0x1F)) << 16 | (desktop.v_sync_strt_wid & kSyncNegative);
    // The eye swap moves the VGA start off zero: one line down from the
    // desktop's start, a line being the pitch's pixels at the desktop's depth.
    if (b[kCrtcStartHigh] != 0 || b[kCrtcStartLow] != 0) {
        const std::uint32_t pitch_px = (desktop.off_pitch >> 22) * 8;
        const std::uint32_t line = pitch_px * bytes_per_pixel(desktop.gen_cntl) / 8;
        out.off_pitch = (desktop.off_pitch & ~kOffPitchStart) | ((desktop.off_pitch + line) & kOffPitchStart);
    }
    const bool double_scan = (b[kCrtcMaxScanLine] & 0x9F) != 0;
    out.gen_cntl = (desktop.gen_cntl & ~(kGenDoubleScan | kGenInterlace | kGenDisplayOff)) |
                   (double_scan ? kGenDoubleScan : 0) | (interlace ? kGenInterlace : 0);
    return out;
}

} // namespace duo::family
