// Trident TGUI9440 / 96xx.
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"

namespace duo::family {
namespace {

constexpr std::uint8_t kSeqChipId = 0x0B;      // reading it selects the new register bank
constexpr std::uint8_t kSeqClockDivide = 0x0D; // bit 1: pixel clock halved
constexpr std::uint8_t kSeqModeControl1 = 0x0E; // bit 7: extended registers writable
constexpr std::uint8_t kSeqWriteInverted = 0x02; // SR0E bit 1 is stored inverted on write
constexpr std::uint8_t kCrtcInterlaceStart = 0x19;
constexpr std::uint8_t kCrtcModuleTesting = 0x1E; // bit 2: interlace
constexpr std::uint8_t kCrtcOffsetHigh = 0x29;    // bit 4: offset bit 8; bit 5: offset bit 9 on the 96xx
constexpr std::uint8_t kInterlaceBit = 0x04;
constexpr std::uint32_t kClockLow = 0x43C8, kClockHigh = 0x43C9;

// New-mode SR0E read, changed and written back with bit 1 as it was read.
void mode_control1_update(std::uint8_t set, std::uint8_t keep) {
    const std::uint8_t value = static_cast<std::uint8_t>((read_seq(kSeqModeControl1) & keep) | set);
    write_seq(kSeqModeControl1, value ^ kSeqWriteInverted);
}

void open_step() {
    read_seq(kSeqChipId);
    mode_control1_update(0x80, 0xFF);
    read_seq(kSeqChipId);
    mode_control1_update(0x80, 0xFF);
    crtc_unprotect();
}

// The 9440, 96xx and 9685 have no protection register besides SR0E (SR11
// protects only on later chips), so SR11 stays as the system keeps it.
void close_step() {
    read_seq(kSeqChipId);
    mode_control1_update(0x00, 0x7F);
    crtc_or(kCrtcVRetraceEnd, kCrtcProtect);
}

// On the 9440 CRTC 0x29 bit 5 is not an offset bit (it belongs to the DDC
// lines); the other bits of the register are the display driver's.
std::uint8_t offset_high_bits() { return g_adapter.chip_code == 0x101 ? 0x10 : 0x30; }

void save_step(TimingBlock& saved) {
    read_crtc_block(saved);
    saved.bytes[kBlockExt1] = read_crtc(kCrtcOffsetHigh);
    saved.bytes[kBlockExt2] = read_crtc(kCrtcInterlaceStart);
}

// The offset counts in units that are twice the eye's line step except at
// 15 bits per pixel and on the 9440 at 1024x768 in 16 bits.
int eye_shift(const TimingBlock& block) {
    int shift = block.bytes[kBlockOffset] | ((block.bytes[kBlockExt1] & offset_high_bits()) << 4);
    const int depth = g_adapter.colour_depth;
    bool halve = depth == 8 || depth == 24 ||
                 (depth == 16 && !(g_adapter.chip_code == 0x101 && g_adapter.display_width == 1024));
    return halve ? shift >> 1 : shift;
}

void timing_write(const TimingBlock& block) {
    write_crtc_block(block);
    const std::uint8_t bits = offset_high_bits();
    write_crtc(kCrtcOffsetHigh,
               static_cast<std::uint8_t>((read_crtc(kCrtcOffsetHigh) & ~bits) | (block.bytes[kBlockExt1] & bits)));
    write_crtc(kCrtcInterlaceStart, block.bytes[kBlockExt2]);
    g_adapter.eye_shift = eye_shift(block);
}

void enter_step(const TimingBlock& block) {
    timing_write(block);
    // A resume enters again while stereo is on; the desktop's value is the
    // one to keep.
    if (g_adapter.stereo == 0) g_adapter.remembered_interlace[kTrident] = read_crtc(kCrtcModuleTesting);
    crtc_or(kCrtcModuleTesting, kInterlaceBit);
}

void leave_step(const TimingBlock& saved) {
    timing_write(saved);
    write_crtc(kCrtcModuleTesting, g_adapter.remembered_interlace[kTrident]);
}

void clock_read(ClockSetting& setting) {
    setting.b[0] = Read_Port(kClockLow);
    setting.b[1] = Read_Port(kClockHigh);
    setting.b[2] = (read_seq(kSeqClockDivide) >> 1) & 0x03;
}

void clock_write(const ClockSetting& setting) { Set_Trident_Clock(setting.b[0], setting.b[1], setting.b[2]); }

bool interlaced() { return (read_crtc(kCrtcModuleTesting) & kInterlaceBit) != 0; }

} // namespace

const FamilyOps kTridentOps = {open_step,  close_step, save_step,  timing_write,
                               enter_step, leave_step, clock_read, clock_write, interlaced,
                              restore_desktop_clock_first, restore_test_clock_first, no_step, count_by_two_on, count_by_two_off, no_step, screen_off, screen_on, false, nullptr};

} // namespace duo::family
