#include "lib/hw/family.h"

#include "lib/hw/port_io.h"

namespace duo {

const FamilyOps* family_ops(std::int32_t chip) {
    switch (family_of(chip)) {
    case kTrident: return &family::kTridentOps;
    case kS3: return &family::kS3Ops;
    case kCirrus: return &family::kCirrusOps;
    case kMach64: return &family::kMach64Ops;
    case kEt6000: return &family::kEt6000Ops;
    default: return nullptr;
    }
}

void screen_off() { seq_or(kSeqClockingMode, kSeqScreenOff); }

void screen_on() { seq_and(kSeqClockingMode, static_cast<std::uint8_t>(~kSeqScreenOff)); }

void screen_blank_step() {
    if (const FamilyOps* ops = family_ops(g_adapter.chip_code)) ops->blank();
    else screen_off();
}

void screen_unblank_step() {
    if (const FamilyOps* ops = family_ops(g_adapter.chip_code)) ops->unblank();
    else screen_on();
}

void vga_crtc_written() {
    if (const FamilyOps* ops = family_ops(g_adapter.chip_code)) ops->follow_vga_crtc();
}

void clock_select_save() { g_adapter.saved_misc_output = Read_Port(kMiscOutputRead); }

void clock_select_restore() {
    std::uint8_t misc = Read_Port(kMiscOutputRead);
    Write_Port(kMiscOutputWrite, static_cast<std::uint8_t>((misc & ~kMiscClockSelect) |
                                                           (g_adapter.saved_misc_output & kMiscClockSelect)));
}

void restore_desktop_clock_first(const ClockSetting& clock, const TimingBlock& timing) {
    const FamilyOps& ops = *family_ops(g_adapter.chip_code);
    ops.clock_write(clock);
    clock_select_restore();
    ops.leave_step(timing);
}

void put_back_clock_select_bits(std::uint8_t recorded) {
    const std::uint8_t now = Read_Port(kMiscOutputRead);
    Write_Port(kMiscOutputWrite, static_cast<std::uint8_t>((now & ~kMiscClockSelect) | (recorded & kMiscClockSelect)));
}

void restore_test_clock_first(const ClockSetting& clock, std::uint8_t clock_select, const TimingBlock* desktop) {
    const FamilyOps& ops = *family_ops(g_adapter.chip_code);
    ops.clock_write(clock);
    put_back_clock_select_bits(clock_select);
    if (desktop) ops.leave_step(*desktop);
}

void no_step() {}

void crtc_unprotect() { crtc_and(kCrtcVRetraceEnd, static_cast<std::uint8_t>(~kCrtcProtect)); }

// The vertical counter advancing every second scan line (CRTC 0x17 bit 2).
bool count_by_two_on() {
    crtc_or(kCrtcModeControl, kCountByTwo);
    return false;
}

bool count_by_two_off(const TimingBlock&) {
    crtc_and(kCrtcModeControl, static_cast<std::uint8_t>(~kCountByTwo));
    return false;
}

void read_crtc_block(TimingBlock& block) { Read_Reg_Block(kCrtcIndex, 0x00, 25, block.bytes); }

void write_crtc_block(const TimingBlock& block) { Write_Reg_Block(kCrtcIndex, 0x00, 25, block.bytes); }

} // namespace duo
