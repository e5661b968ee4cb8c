// The screen adjustment dialog's register work: the retrace (sync pulse)
// positions unfolded from the CRTC fields, one-step moves inside their
// blanking interval written to the chip at once, and OK, Cancel and Default.
#pragma once
#include <cstdint>

#include "lib/timing/timing_table.h"

namespace duo {

struct SyncExtension;

enum Arrow : int { kArrowUp, kArrowDown, kArrowLeft, kArrowRight, kArrows };

// Commands the dialog posts to itself to write a step to the chip.
inline constexpr int kCmdApplyHorizontal = 1000;
inline constexpr int kCmdApplyVertical = 1001;
inline constexpr int kCmdAdjustOk = 1002;
inline constexpr int kCmdAdjustCancel = 1003;
inline constexpr int kCmdAdjustDefault = 1004;

struct ClientRect {
    int left, top, right, bottom; // right and bottom exclusive
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Client areas that take a click for each arrow (the up arrow's reaches 35
// pixels to its right).
inline constexpr ClientRect kArrowZones[kArrows] = {
    {116, 38, 171, 62}, {113, 107, 137, 132}, {59, 75, 85, 99}, {166, 73, 191, 98}};

// While an arrow is held, its part of the picture is drawn shifted 2 pixels
// toward the arrow: source rectangle and destination point.
struct ArrowShift {
    int x, y, width, height, to_x, to_y;
};
inline constexpr ArrowShift kArrowShifts[kArrows] = {
    {116, 36, 25, 30, 116, 34}, {113, 102, 25, 30, 113, 104}, {60, 73, 30, 25, 58, 73}, {165, 73, 29, 25, 167, 73}};

// The picture is drawn from its column 32, so the monitor sits left of the buttons.
inline constexpr int kAdjustPictureColumn = 32;

// CRTC registers the dialog reads and writes, named by index.
struct AdjustRegisters {
    std::uint8_t h[4];      // 0x02-0x05: horizontal blanking and retrace
    std::uint8_t overflow;  // 0x07
    std::uint8_t max_scan;  // 0x09
    std::uint8_t vr[2];     // 0x10-0x11: vertical retrace start and end
    std::uint8_t vb[2];     // 0x15-0x16: vertical blanking start and end
    std::uint8_t ext;       // the family's sync extension register, where it has one
};

struct RetraceValues {
    std::uint32_t hbs, hbe, hrs, hre, vbs, vbe, vrs, vre;
};

struct RetraceWindow {
    std::uint32_t hmin, hmax, vmin, vmax;
};

struct AdjustState {
    bool adjustable = false; // a family's chip, the library set up for the mode
    const SyncExtension* extension = nullptr;
    AdjustRegisters live{};
    AdjustRegisters entry{};
    RetraceValues retrace{};
    RetraceWindow window{};
    bool pressed[kArrows] = {};
};

// The retrace values of a register copy, with the family's sync extension
// register where it has one.
RetraceValues retrace_values(const SyncExtension* extension, const AdjustRegisters& r);
// A retrace pulse may move from its blanking start until its end meets the blanking end.
RetraceWindow retrace_window(const RetraceValues& v);

// Opening: reads the chip into both copies and computes values and window.
void adjust_open(AdjustState& s, std::int32_t chip);

// Button down at a client point: the first arrow zone holding it is pressed.
// True when an arrow was pressed (the picture must be redrawn).
bool adjust_press(AdjustState& s, int x, int y);

// Button up anywhere over the client area: every pressed arrow is released
// and its step taken when the window allows. `commands` receives the apply
// commands to post, in order; returns how many arrows were released.
struct ReleaseResult {
    int released = 0;
    int command_count = 0;
    int commands[kArrows] = {};
};
ReleaseResult adjust_release(AdjustState& s);

void adjust_apply_horizontal(const AdjustState& s);
void adjust_apply_vertical(const AdjustState& s);

// The block OK and Cancel store into: the stereo block the adapter ran when
// the dialog opened (stereo on, line-double mode off), as long as nothing
// has rewritten the timing since. Otherwise the registers the dialog read
// belong to another timing: nullptr.
TimingBlock* adjust_stored_block();
// OK: the retrace fields into the block, if there is one; the chip is not
// touched. The session ends.
void adjust_ok(const AdjustState& s, TimingBlock* block);
// Cancel: the entry values back into the chip, and into the block if there
// is one; nothing when the timing was rewritten since the dialog opened. The
// session ends.
void adjust_cancel(const AdjustState& s, TimingBlock* block);
// Steps, Default, OK and Cancel write nothing once another call has
// rewritten the timing the dialog was opened on.
//
// Default: the sync and blanking registers of the built-in record for the
// chip, display width and colour depth, merged with `current`, into the live
// copy; the live copy is then written to the chip (also when there is no
// record) and the retrace values recomputed. False when there is no record
// or nothing may be written.
bool adjust_default(AdjustState& s, std::int32_t chip, int width, int bits_per_pixel, const TimingBlock& current);

} // namespace duo
