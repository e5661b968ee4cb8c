// The mach64's accelerator CRTC, which times every desktop above 640x480x8:
// its registers as one image, read, written in the order the chip needs, and
// made from a timing block.
//
// A timing block keeps its VGA meaning on this CRTC too (bytes 0-24 the VGA
// CRTC values, vertical values per frame as the mach64 records hold them), so
// a settings file reads the same whichever CRTC runs. The translation:
//   H_TOTAL    = CR00 + 4            (VGA total HT + 5 characters, less one)
//   H_DISP     = CR01                (displayed characters less one)
//   H_SYNC     start CR04 - 1, width (CR05 - CR04) & 0x1F characters
//   V_TOTAL    = VT + 1              (VT + 2 lines less one; VT from CR06/CR07)
//   V_DISP     = VDE                 (VDE + 1 lines less one; CR12/CR07)
//   V_SYNC     start VRS - 1, width (CR11 - VRS) & 0x0F lines (0: 16)
//   the vertical values twice over with CR17 bit 2 (count by two) and double
//   scan (CRTC_GEN_CNTL bit 0) from CR09: line-double mode
//   display start: the desktop's, one line further with a CR0C/CR0D start
//   other than zero (the eye swap)
// Blanking follows the display ends on this CRTC, so CR02/CR03 and CR15/CR16
// have no counterpart; the sync polarities and the pitch stay the desktop's
// (interlace fetches alternate lines at the same pitch).
#pragma once
#include <cstdint>

#include "lib/timing/timing_table.h"

namespace duo::family {

struct Mach64Crtc {
    std::uint32_t h_total_disp, h_sync_strt_wid, v_total_disp, v_sync_strt_wid;
    std::uint32_t off_pitch, gen_cntl;
    std::uint8_t clock_select; // CLOCK_CNTL bits 0-1
};

Mach64Crtc mach64_crtc_read();
// Blanks the display, writes the timing registers and CRTC_OFF_PITCH, then
// CRTC_GEN_CNTL last; the clock select goes with its strobe.
void mach64_crtc_write(const Mach64Crtc& crtc);
// The registers of `target` that differ from `now`, CRTC_GEN_CNTL last; the
// clock select stays.
void mach64_crtc_update(const Mach64Crtc& now, const Mach64Crtc& target);
// The desktop's image with the block's timing, its interlace bit set or not.
Mach64Crtc mach64_crtc_from_block(const TimingBlock& block, const Mach64Crtc& desktop, bool interlace);

} // namespace duo::family
