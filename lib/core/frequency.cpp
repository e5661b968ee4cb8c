#include "lib/core/frequency.h"

#include <algorithm>

#include "lib/core/clients.h"
#include "lib/core/init_close.h"
#include "lib/core/sessions.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"
#include "lib/timing/timing_load.h"

namespace duo {
namespace {

constexpr std::int32_t kLineDoubleFrequency = 9; // 120 Hz

// The clock of a programmable frequency index, and every host told.
void apply_frequency(std::int32_t f) {
    end_open_test();
    g_shared.current_frequency = f;
    family_ops(g_shared.chip_code)->clock_write(*change_clock_setting(f));
    notify_hosts(kNotifyFrequency, f, 0);
}

} // namespace

std::int32_t set_frequency(std::int32_t frequency) {
    follow_the_adapter();
    if (!holds_library()) {
        g_shared.last_error = kErrNotInitialised;
        return 0;
    }
    if (g_shared.stereo == 0) {
        g_shared.last_error = kErrStereoOff;
        return 0;
    }
    const std::int32_t f = frequency == kDefaultFrequencyArg ? default_frequency() : frequency;
    const ClockSetting* clock = change_clock_setting(f);
    if (!frequency_programmable(f) || clock == nullptr) {
        g_shared.last_error = kErrBadFrequency;
        return 0;
    }
    if (g_shared.line_double == 1) {
        // Line-double mode needs its 120 Hz clock (the vertical counter runs
        // at half speed); the frequency asked for is the one its end returns
        // to.
        g_shared.line_double_saved_frequency = f;
        notify_hosts(kNotifyFrequency, f, 0);
    } else {
        apply_frequency(f);
    }
    g_shared.last_error = kErrNone;
    return 1;
}

void line_double_reapply() {
    const FamilyOps* ops = family_ops(g_shared.chip_code);
    // A whole timing written includes the display start and vertical end.
    if (ops && ops->line_double_enter()) apply_glasses_phase();
    // Twice the scan lines per row; the 5-bit field saturates rather than
    // spilling into bit 5, which is a vertical blanking bit.
    const std::uint8_t v = read_crtc(kCrtcMaxScanLine);
    g_shared.line_double_saved_max_scan = v;
    const int rows = v & kMaxScanField;
    const int doubled = rows == 0 ? 1 : std::min(rows * 2, int{kMaxScanField});
    write_crtc(kCrtcMaxScanLine, static_cast<std::uint8_t>((v & ~kMaxScanField) | doubled));
    vga_crtc_written();
    g_shared.line_double = 1;
}

namespace {

void line_double_enter() {
    take_back_sessions();
    g_shared.line_double_saved_frequency = g_shared.current_frequency;
    if (frequency_programmable(kLineDoubleFrequency)) apply_frequency(kLineDoubleFrequency);
    line_double_reapply();
}

void line_double_leave() {
    take_back_sessions();
    const std::int32_t f = g_shared.line_double_saved_frequency;
    if (frequency_programmable(f)) apply_frequency(f);
    write_crtc(kCrtcMaxScanLine, static_cast<std::uint8_t>(g_shared.line_double_saved_max_scan));
    const FamilyOps* ops = family_ops(g_shared.chip_code);
    const TimingBlock* block = stereo_timing_block(f);
    if (ops && block && ops->line_double_leave(*block)) {
        g_shared.running_block = f;
        apply_glasses_phase();
    }
    vga_crtc_written();
    g_shared.line_double = 0;
}

} // namespace

std::int32_t line_double_command(std::int32_t command) {
    // Only a process that can reach the adapter changes the mode; a second
    // 501 or a 502 with the mode off would stack or undo nothing.
    follow_the_adapter();
    if (g_process.driver != 0) {
        if (command == kLineDoubleOn && g_shared.stereo == 1 && g_shared.line_double == 0) line_double_enter();
        else if (command == kLineDoubleOff && g_shared.line_double == 1) line_double_leave();
    }
    g_shared.last_error = kErrNone;
    return 1;
}

} // namespace duo
