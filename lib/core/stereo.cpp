#include "lib/core/stereo.h"

#include "lib/core/clients.h"
#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/platform.h"
#include "lib/core/sessions.h"
#include "lib/core/state.h"
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"
#include "lib/timing/timing_load.h"

namespace duo {
namespace {

// Display start moved down one line: twice the eye shift, kept to 11 bits,
// with the vertical display end one line shorter.
void move_display_start_down() {
    write_crtc(kCrtcStartLow, static_cast<std::uint8_t>((2 * g_shared.eye_shift) & 0xFF));
    write_crtc(kCrtcStartHigh, static_cast<std::uint8_t>((g_shared.eye_shift >> 7) & 0x07));
    write_crtc(kCrtcVDisplayEnd, static_cast<std::uint8_t>(read_crtc(kCrtcVDisplayEnd) - 1));
    vga_crtc_written();
}

void move_display_start_back() {
    write_crtc(kCrtcStartLow, 0);
    write_crtc(kCrtcStartHigh, 0);
    write_crtc(kCrtcVDisplayEnd, static_cast<std::uint8_t>(read_crtc(kCrtcVDisplayEnd) + 1));
    vga_crtc_written();
}

void switch_on(const FamilyOps& ops, Family family, std::int32_t f, const TimingBlock& block) {
    clock_select_save();
    const std::uintptr_t cursor = ops.hides_cursor ? platform::hide_cursor() : 0;
    ops.clock_read(g_shared.saved_clock[family]);
    g_shared.current_frequency = f;
    ops.clock_write(selected_clock_setting(f));
    ops.save_step(g_shared.saved_timing[family]);
    ops.enter_step(block);
    g_shared.stereo = 1;
    if (ops.hides_cursor) platform::restore_cursor(cursor);
}

} // namespace

const TimingBlock* stereo_timing_block(std::int32_t frequency) {
    if (frequency < 0 || frequency >= kFrequencyCount) return nullptr;
    return &g_shared.current_table.blocks[frequency];
}

std::int32_t enable_stereo(WindowHandle skip, std::int32_t frequency) {
    follow_the_adapter();
    if (!holds_library()) {
        g_shared.last_error = kErrNotInitialised;
        return 0;
    }
    std::int32_t f = frequency == kDefaultFrequencyArg ? default_frequency() : frequency;
    if (f < 0) f = 0;
    if (f > kFrequencyCount - 1) f = kFrequencyCount - 1;
    if (g_shared.stereo == 0) {
        if (!frequency_programmable(f)) {
            g_shared.last_error = kErrBadFrequency;
            return 0;
        }
        // The desktop is saved as it is, not as a dialog session left it.
        take_back_sessions();
        screen_blank_step();
        switch_on(*family_ops(g_shared.chip_code), family_of(g_shared.chip_code), f, *stereo_timing_block(f));
        screen_unblank_step();
        g_shared.running_block = f;
    }
    notify_hosts(kNotifyStereoOn, g_shared.current_frequency, skip);
    g_shared.last_error = kErrNone;
    return f;
}

void disable_stereo(WindowHandle skip) {
    // Without its own way to the adapter a process would clear the flag and
    // leave the adapter interlaced.
    follow_the_adapter();
    if (g_process.driver == 0) {
        g_shared.last_error = kErrNotInitialised;
        return;
    }
    if (g_shared.stereo == 1) {
        take_back_sessions();
        screen_blank_step();
        if (const FamilyOps* ops = family_ops(g_shared.chip_code)) {
            const Family family = family_of(g_shared.chip_code);
            ops->restore_desktop(g_shared.saved_clock[family], g_shared.saved_timing[family]);
        }
        screen_unblank_step();
        g_shared.stereo = 0;
        g_shared.glasses_phase = 1;
        g_shared.line_double = 0;
        g_shared.running_block = -1;
    }
    notify_hosts(kNotifyStereoOff, 0, skip);
    g_shared.last_error = kErrNone;
}

std::int32_t resume_stereo() {
    follow_the_adapter();
    const FamilyOps* ops = family_ops(g_shared.chip_code);
    const std::int32_t f = g_shared.current_frequency;
    // Line-double mode changes the clock but keeps the timing of the
    // frequency it replaced (S3 chips write their own block over it below).
    const std::int32_t timing = g_shared.line_double == 1 ? g_shared.line_double_saved_frequency : f;
    if (holds_library() && g_shared.stereo == 1 && ops && frequency_programmable(f) && frequency_programmable(timing)) {
        take_back_sessions();
        screen_blank_step();
        if (const ClockSetting* clock = change_clock_setting(f)) ops->clock_write(*clock);
        ops->resume_prepare();
        ops->enter_step(*stereo_timing_block(timing));
        apply_glasses_phase();
        // The clock of line-double mode is already the one written above.
        if (g_shared.line_double == 1) line_double_reapply();
        screen_unblank_step();
        g_shared.running_block = timing;
    }
    g_shared.last_error = kErrNone;
    // Register writes are not checked, so there is no failure to report.
    return 1;
}

void apply_glasses_phase() {
    if (g_shared.glasses_phase == 0) move_display_start_down();
}

void switch_glasses() {
    follow_the_adapter();
    if (g_process.driver == 0) return;
    end_open_test();
    if (g_shared.glasses_phase == 1) {
        move_display_start_down();
        g_shared.glasses_phase = 0;
    } else {
        move_display_start_back();
        g_shared.glasses_phase = 1;
    }
}

} // namespace duo
