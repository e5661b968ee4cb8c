// Cirrus Logic GD542x, 543x, 544x and the PCI 0x00D6 chip.
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"

namespace duo::family {
namespace {

constexpr std::uint8_t kSeqUnlock = 0x06; // 0x12 unlocks the extension registers
constexpr std::uint8_t kSeqUnlockValue = 0x12;
constexpr std::uint8_t kSeqVclkNumerator = 0x0B;   // VCLK0-3 at 0x0B-0x0E
constexpr std::uint8_t kSeqVclkDenominator = 0x1B; // VCLK0-3 at 0x1B-0x1E
constexpr std::uint8_t kCrtcInterlaceEnd = 0x19;
constexpr std::uint8_t kCrtcMiscControl = 0x1A;  // bit 0: interlace
constexpr std::uint8_t kCrtcExtDisplay = 0x1B;   // bit 4: offset bit 8
constexpr std::uint8_t kOffsetBit8 = 0x10;
constexpr std::uint8_t kInterlaceBit = 0x01;
constexpr std::int32_t kChipPci00D6 = 0x304; // programs its VCLK registers directly

void open_step() {
    std::uint8_t* locks = g_adapter.desktop_locks[kCirrus];
    locks[0] = read_seq(kSeqUnlock);
    locks[1] = read_crtc(kCrtcVRetraceEnd) & kCrtcProtect;
    write_seq(kSeqUnlock, kSeqUnlockValue);
    crtc_unprotect();
}

// Display drivers leave the extension registers unlocked; whatever the
// desktop had goes back (SR06 reads 0x12 unlocked, 0x0F locked).
void close_step() {
    const std::uint8_t* locks = g_adapter.desktop_locks[kCirrus];
    crtc_or(kCrtcVRetraceEnd, locks[1]);
    write_seq(kSeqUnlock, locks[0]);
}

void save_step(TimingBlock& saved) {
    read_crtc_block(saved);
    saved.bytes[kBlockExt1] = read_crtc(kCrtcExtDisplay) & kOffsetBit8;
    saved.bytes[kBlockExt2] = read_crtc(kCrtcInterlaceEnd);
}

void timing_write(const TimingBlock& block) {
    write_crtc_block(block);
    write_crtc(kCrtcExtDisplay, static_cast<std::uint8_t>((read_crtc(kCrtcExtDisplay) & ~kOffsetBit8) |
                                                          (block.bytes[kBlockExt1] & kOffsetBit8)));
    write_crtc(kCrtcInterlaceEnd, block.bytes[kBlockExt2]);
    g_adapter.eye_shift = block.bytes[kBlockOffset] | ((block.bytes[kBlockExt1] & kOffsetBit8) << 4);
}

// Another process's Close may have locked the extension registers again.
void unlock() { write_seq(kSeqUnlock, kSeqUnlockValue); }

void enter_step(const TimingBlock& block) {
    unlock();
    timing_write(block);
    // A resume enters again while stereo is on; the desktop's value is the
    // one to keep.
    if (g_adapter.stereo == 0) g_adapter.remembered_interlace[kCirrus] = read_crtc(kCrtcMiscControl);
    crtc_or(kCrtcMiscControl, kInterlaceBit);
}

void leave_step(const TimingBlock& saved) {
    unlock();
    timing_write(saved);
    write_crtc(kCrtcMiscControl, g_adapter.remembered_interlace[kCirrus]);
}

// The clock in use is VCLKs, s from the miscellaneous output bits 2-3.
int vclk_index(std::uint8_t misc) { return (misc >> 2) & 0x03; }

// The desktop's clock is the VCLK misc selects (display drivers use VCLK3).
// Chip 0x304 keeps its bytes in the order of its clock write: denominator
// register first.
void clock_read(ClockSetting& setting) {
    setting.b[2] = Read_Port(kMiscOutputRead);
    const int s = vclk_index(setting.b[2]);
    const bool swapped = g_adapter.chip_code == kChipPci00D6;
    setting.b[0] = read_seq(static_cast<std::uint8_t>((swapped ? kSeqVclkDenominator : kSeqVclkNumerator) + s));
    setting.b[1] = read_seq(static_cast<std::uint8_t>((swapped ? kSeqVclkNumerator : kSeqVclkDenominator) + s));
}

void clock_write(const ClockSetting& setting) {
    unlock();
    if (g_adapter.chip_code == kChipPci00D6) {
        Write_Port(kMiscOutputWrite, setting.b[2]);
        int s = vclk_index(setting.b[2]);
        write_seq(static_cast<std::uint8_t>(kSeqVclkNumerator + s), setting.b[1]);
        write_seq(static_cast<std::uint8_t>(kSeqVclkDenominator + s), setting.b[0]);
    } else {
        Set_Cirrus_Clock(setting.b[0], setting.b[1]);
    }
}

bool interlaced() { return (read_crtc(kCrtcMiscControl) & kInterlaceBit) != 0; }

} // namespace

const FamilyOps kCirrusOps = {open_step,  close_step, save_step,  timing_write,
                              enter_step, leave_step, clock_read, clock_write, interlaced,
                              restore_desktop_clock_first, restore_test_clock_first, no_step, count_by_two_on, count_by_two_off, no_step, screen_off, screen_on, false, nullptr};

} // namespace duo::family
