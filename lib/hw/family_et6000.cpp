// Tseng ET6000.
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"

namespace duo::family {
namespace {

constexpr std::uint8_t kCrtcOverflowHigh = 0x35; // bit 7: interlace; bits 0-4: bit-10 extensions
constexpr std::uint8_t kCrtcExtTiming = 0x3F;    // bits 6-7: offset bits 9/8
constexpr std::uint32_t kPortHerculesCompat = 0x3BF, kPortDisplayMode = 0x3D8;
constexpr std::uint8_t kKeyHerculesCompat = 0x03, kKeyDisplayMode = 0xA0; // the Tseng key, in this order
constexpr std::uint8_t kInterlaceBit = 0x80;

// The extended registers accept writes only while the key is set.
void unlock() {
    crtc_unprotect();
    Write_Port(kPortHerculesCompat, kKeyHerculesCompat);
    Write_Port(kPortDisplayMode, kKeyDisplayMode);
}

// The key ports are remembered once per session, before the first unlock.
void open_step() {
    if (!g_adapter.et6000_key_held) {
        g_adapter.et6000_key_ports[0] = Read_Port(kPortHerculesCompat);
        g_adapter.et6000_key_ports[1] = Read_Port(kPortDisplayMode);
        g_adapter.et6000_key_held = 1;
    }
    unlock();
}

// The key goes back as the open step found it: port 0x3BF first, so that the
// mode port's write sets or clears it as it was.
void close_step() {
    crtc_or(kCrtcVRetraceEnd, kCrtcProtect);
    if (!g_adapter.et6000_key_held) return;
    Write_Port(kPortHerculesCompat, g_adapter.et6000_key_ports[0]);
    Write_Port(kPortDisplayMode, g_adapter.et6000_key_ports[1]);
    g_adapter.et6000_key_held = 0;
}

void save_step(TimingBlock& saved) {
    read_crtc_block(saved);
    saved.bytes[kBlockExt1] = read_crtc(kCrtcOverflowHigh);
    saved.bytes[kBlockExt2] = read_crtc(kCrtcExtTiming);
}

// CRTC 0x3F bit 7 is offset bit 8 and bit 6 offset bit 9: the tuned 800x600
// 24-bit record's 0x2C with bit 7 is the 300 units of an 800-pixel line.
int eye_shift(const TimingBlock& block) {
    const std::uint8_t ext = block.bytes[kBlockExt2];
    int shift = block.bytes[kBlockOffset];
    if (ext & 0x80) shift |= 0x100;
    if (ext & 0x40) shift |= 0x200;
    return shift;
}

void timing_write(const TimingBlock& block) {
    write_crtc_block(block);
    write_crtc(kCrtcOverflowHigh, block.bytes[kBlockExt1]);
    write_crtc(kCrtcExtTiming, block.bytes[kBlockExt2]);
    g_adapter.eye_shift = eye_shift(block);
}

// CRTC 0x35 is remembered before the timing write puts the stereo block's
// value there, and only when stereo goes on: the leave step must bring back
// the desktop's interlace bit, not the block's.
void enter_step(const TimingBlock& block) {
    unlock();
    if (g_adapter.stereo == 0) g_adapter.remembered_interlace[kEt6000] = read_crtc(kCrtcOverflowHigh);
    timing_write(block);
    crtc_or(kCrtcOverflowHigh, kInterlaceBit);
}

void leave_step(const TimingBlock& saved) {
    unlock();
    timing_write(saved);
    write_crtc(kCrtcOverflowHigh, g_adapter.remembered_interlace[kEt6000]);
}

void clock_read(ClockSetting& setting) {
    Get_Et6000_Clock(static_cast<std::uint32_t>(g_adapter.et6000_base_port), setting.b[0], setting.b[1]);
}

void clock_write(const ClockSetting& setting) {
    Set_Et6000_Clock(static_cast<std::uint32_t>(g_adapter.et6000_base_port), setting.b[0], setting.b[1]);
}

bool interlaced() { return (read_crtc(kCrtcOverflowHigh) & kInterlaceBit) != 0; }

// The timing goes back before the clock: the ET6000's clock must not run the
// desktop's rate over the stereo timing.
void restore_desktop(const ClockSetting& clock, const TimingBlock& timing) {
    leave_step(timing);
    clock_write(clock);
    clock_select_restore();
}

} // namespace

const FamilyOps kEt6000Ops = {open_step,  close_step, save_step,  timing_write,
                              enter_step, leave_step, clock_read, clock_write, interlaced,
                              restore_desktop, restore_test_clock_first, unlock, count_by_two_on, count_by_two_off, no_step, screen_off, screen_on, true, nullptr};

} // namespace duo::family
