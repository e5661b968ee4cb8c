// S3 Trio32/64/64V+, 868, ViRGE.
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"

namespace duo::family {
namespace {

constexpr std::uint8_t kSeqUnlockExt = 0x08;  // 0x06 opens SR09 and up
constexpr std::uint8_t kSeqUnlockValue = 0x06;
constexpr std::uint8_t kSeqClockN = 0x12;     // N1 | R << 5
constexpr std::uint8_t kSeqClockM = 0x13;
constexpr std::uint8_t kCrtcRegLock1 = 0x38;  // 0x48 opens CR2D-CR3F
constexpr std::uint8_t kCrtcRegLock2 = 0x39;  // 0xA5 opens the extended CRTC
constexpr std::uint8_t kCrtcInterlaceRetrace = 0x3C;
constexpr std::uint8_t kCrtcModeControl2 = 0x42; // bit 5: interlace
constexpr std::uint8_t kCrtcExtSystem2 = 0x51;   // bits 4-5: offset bits 8-9

constexpr std::uint8_t kInterlaceBit = 0x20;
constexpr std::int32_t kChip868 = 0x205; // clock in an external DAC

void register_unlock() {
    Write_Port(kCrtcIndex, kCrtcRegLock1);
    Write_Port(kCrtcData, 0x48);
    Write_Port(kCrtcIndex, kCrtcRegLock2);
    Write_Port(kCrtcData, 0xA5);
    crtc_unprotect();
}

void open_step() {
    std::uint8_t* locks = g_adapter.desktop_locks[kS3];
    locks[0] = read_crtc(kCrtcRegLock1);
    locks[1] = read_crtc(kCrtcRegLock2);
    locks[2] = read_seq(kSeqUnlockExt);
    locks[3] = read_crtc(kCrtcVRetraceEnd) & kCrtcProtect;
    write_seq(kSeqUnlockExt, kSeqUnlockValue);
    register_unlock();
}

// The desktop's driver may keep the registers open or locked: as found.
void close_step() {
    const std::uint8_t* locks = g_adapter.desktop_locks[kS3];
    crtc_or(kCrtcVRetraceEnd, locks[3]);
    write_seq(kSeqUnlockExt, locks[2]);
    write_crtc(kCrtcRegLock2, locks[1]);
    write_crtc(kCrtcRegLock1, locks[0]);
}

void save_step(TimingBlock& saved) {
    register_unlock();
    read_crtc_block(saved);
    saved.bytes[kBlockS3RetraceStart] = read_crtc(kCrtcInterlaceRetrace);
    saved.bytes[kBlockS3ExtMode] = read_crtc(kCrtcExtSystem2);
    saved.bytes[kBlockS3ExtHoriz] = read_crtc(kS3CrtcExtHoriz);
    g_adapter.remembered_interlace[kS3] = read_crtc(kCrtcModeControl2);
}

void timing_write(const TimingBlock& block) {
    write_crtc_block(block);
    write_crtc(kCrtcInterlaceRetrace, block.bytes[kBlockS3RetraceStart]);
    write_crtc(kCrtcExtSystem2, block.bytes[kBlockS3ExtMode]);
    write_crtc(kS3CrtcExtHoriz, block.bytes[kBlockS3ExtHoriz]);
    g_adapter.eye_shift = block.bytes[kBlockOffset] | ((block.bytes[kBlockS3ExtMode] & 0x30) << 4);
}

void enter_step(const TimingBlock& block) {
    register_unlock();
    timing_write(block);
    crtc_or(kCrtcModeControl2, kInterlaceBit);
}

void leave_step(const TimingBlock& saved) {
    register_unlock();
    timing_write(saved);
    write_crtc(kCrtcModeControl2, g_adapter.remembered_interlace[kS3]);
}

void clock_read(ClockSetting& setting) {
    write_seq(kSeqUnlockExt, kSeqUnlockValue);
    if (g_adapter.chip_code == kChip868) {
        Get_S3_Dac_Clock(setting.b[0], setting.b[1]);
    } else {
        setting.b[0] = read_seq(kSeqClockN);
        setting.b[1] = read_seq(kSeqClockM);
    }
}

void clock_write(const ClockSetting& setting) {
    write_seq(kSeqUnlockExt, kSeqUnlockValue);
    if (g_adapter.chip_code == kChip868) Set_S3_Dac_Clock(setting.b[0], setting.b[1]);
    else Set_S3_Clock(setting.b[0], setting.b[1]);
}

bool interlaced() { return (read_crtc(kCrtcModeControl2) & kInterlaceBit) != 0; }

// In line-double mode S3 chips run one fixed timing, whatever the mode.
constexpr TimingBlock make_line_double_block() {
    TimingBlock block{};
    constexpr std::uint8_t crtc[25] = {0xC2, 0x9F, 0xA0, 0x05, 0xA5, 0x1D, 0x80, 0xBA, 0x00, 0x40, 0x00, 0x00, 0x00,
                                       0x00, 0xFF, 0x00, 0x0E, 0x0C, 0xDF, 0xA0, 0x60, 0xE6, 0x3E, 0xAB, 0xFF};
    for (int i = 0; i < 25; ++i) block.bytes[i] = crtc[i];
    block.bytes[kBlockS3RetraceStart] = 0x4A;
    block.bytes[kBlockS3ExtMode] = 0x00;
    block.bytes[kBlockS3ExtHoriz] = 0x00;
    return block;
}
constexpr TimingBlock kLineDoubleBlock = make_line_double_block();

bool line_double_enter() {
    timing_write(kLineDoubleBlock);
    return true;
}

bool line_double_leave(const TimingBlock& block) {
    timing_write(block);
    return true;
}

// CRTC 0x5D: horizontal blanking start bit 8, blanking 64 longer, sync start
// bit 8, sync 32 longer.
constexpr SyncExtension kSyncExtension{kS3CrtcExtHoriz, kBlockS3ExtHoriz, kS3ExtHbs8, kS3ExtHBlankPlus64,
                                       kS3ExtHrs8,      kS3ExtHRetracePlus32};

} // namespace

const FamilyOps kS3Ops = {open_step, close_step, save_step, timing_write, enter_step, leave_step, clock_read, clock_write, interlaced,
                              restore_desktop_clock_first, restore_test_clock_first, no_step, line_double_enter, line_double_leave, no_step, screen_off, screen_on, false, &kSyncExtension};

} // namespace duo::family
