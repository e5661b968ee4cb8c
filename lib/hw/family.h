// Register programming of the five chip families. Each family implements
// the same operations; the stereo sequences pick a family by chip code and
// add their own order around them.
#pragma once
#include <cstdint>

#include "lib/hw/adapter_state.h"
#include "lib/hw/chips.h"
#include "lib/hw/vga_registers.h"
#include "lib/timing/timing_table.h"

namespace duo {

// A CRTC register beyond the VGA set that holds bit 8 of the horizontal
// blanking and sync starts and lengthens the two pulses, and its byte in a
// timing block.
struct SyncExtension {
    std::uint8_t crtc_index;
    int block_byte;
    std::uint8_t blank_start_bit8;
    std::uint8_t blank_plus_64; // blanking 64 character clocks longer
    std::uint8_t sync_start_bit8;
    std::uint8_t sync_plus_32;  // sync 32 character clocks longer
};

struct FamilyOps {
    void (*open_step)();                       // unlock for reprogramming
    void (*close_step)();                      // locks back as the system keeps them
    void (*save_step)(TimingBlock& saved);     // read back the running timing
    void (*timing_write)(const TimingBlock&);  // program a block; recomputes the eye shift
    void (*enter_step)(const TimingBlock&);    // timing plus interlace on
    void (*leave_step)(const TimingBlock&);    // saved timing plus interlace as it was
    void (*clock_read)(ClockSetting& setting);
    void (*clock_write)(const ClockSetting& setting);
    bool (*interlaced)();                      // the family's interlace bit is set
    // Stereo off: the desktop's clock, clock select and timing back, in the
    // order the chip needs.
    void (*restore_desktop)(const ClockSetting& clock, const TimingBlock& timing);
    // A frequency test put back: its clock and clock-select bits, and the
    // desktop's timing when the test switched away from it (else nullptr).
    void (*restore_test)(const ClockSetting& clock, std::uint8_t clock_select, const TimingBlock* desktop);
    // What a resume needs before it writes the stereo timing again.
    void (*resume_prepare)();
    // Line-double mode over the running stereo timing, and back to `block`;
    // true when the step wrote a whole timing (the display start with it).
    bool (*line_double_enter)();
    bool (*line_double_leave)(const TimingBlock& block);
    // The CRTC that drives the display takes up what was written to the VGA
    // CRTC's registers (the stereo timing, the eye swap's start, the sync
    // moves, line-double mode); nothing where the VGA CRTC drives it.
    void (*follow_vga_crtc)();
    // The picture off and on around a reprogramming.
    void (*blank)();
    void (*unblank)();
    bool hides_cursor;     // the mouse cursor is hidden while stereo goes on
    const SyncExtension* sync_extension; // nullptr: the horizontal starts have 8 bits
};

// The operations of the chip's family, or nullptr for a chip without one.
const FamilyOps* family_ops(std::int32_t chip);

namespace family {
extern const FamilyOps kTridentOps;
extern const FamilyOps kS3Ops;
extern const FamilyOps kCirrusOps;
extern const FamilyOps kMach64Ops;
extern const FamilyOps kEt6000Ops;

// Family steps outside the common set: the mach64 puts its desktop clock
// back through the saved clock select.
void mach64_clock_restore(const ClockSetting& setting);
// mach64: a clock table entry for the reference divider the desktop keeps
// (the memory clock shares it); VCLK3's post-divider bits and feedback
// divider written as read.
ClockSetting mach64_for_reference_divider(const ClockSetting& table, int ref_div);
void mach64_clock_slot_write(const ClockSetting& setting);
} // namespace family

// The steps most families share, for their operation tables.
void restore_desktop_clock_first(const ClockSetting& clock, const TimingBlock& timing);
void restore_test_clock_first(const ClockSetting& clock, std::uint8_t clock_select, const TimingBlock* desktop);
void put_back_clock_select_bits(std::uint8_t recorded);
void no_step();
void screen_off();
void screen_on();
bool count_by_two_on();
bool count_by_two_off(const TimingBlock& block);

// Steps shared by every family.
// After writes to the VGA CRTC's registers: the CRTC that drives the display
// takes them up (the chip's family decides how).
void vga_crtc_written();
void screen_blank_step();
void screen_unblank_step();
void clock_select_save();
void clock_select_restore();

// CRTC 0x00-0x18 to and from bytes 0-24 of a block.
void read_crtc_block(TimingBlock& block);
void write_crtc_block(const TimingBlock& block);


// CRTC 0x00-0x07 writable: the protect bit of CRTC 0x11 cleared.
void crtc_unprotect();

} // namespace duo
