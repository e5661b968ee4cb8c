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
constexpr std::uint8_t kCountByTwo = 0x04;       // CRTC 0x17 bit 2
constexpr std::uint8_t kMaxScanField = 0x1F;     // CRTC 0x09 bits 0-4: scan lines per row - 1

// The fixed timing S3 chips use in line-double mode, whatever the mode.
constexpr TimingBlock make_s3_line_double_block() {
    TimingBlock block{};
    constexpr std::uint8_t crtc[25] = {0xC2, 0x9F, 0xA0, 0x05, 0xA5, 0x1D, 0x80, 0xBA, 0x00, 0x40, 0x00, 0x00, 0x00,
                                       0x00, 0xFF, 0x00, 0x0E, 0x0C, 0xDF, 0xA0, 0x60, 0xE6, 0x3E, 0xAB, 0xFF};
    for (int i = 0; i < 25; ++i) block.bytes[i] = crtc[i];
    block.bytes[kBlockS3RetraceStart] = 0x4A;
    block.bytes[kBlockS3ExtMode] = 0x00;
    block.bytes[kBlockS3ExtHoriz] = 0x00;
    return block;
}
constexpr TimingBlock kS3LineDoubleBlock = make_s3_line_double_block();

// Which clock a frequency change writes, or nullptr for none.
const ClockSetting* frequency_change_clock(std::int32_t f) {
    const std::int32_t chip = g_shared.chip_code;
    if (uses_resolution_clock_table(chip)) return resolution_clock_setting(f);
    if (family_of(chip) == kNoFamily) return nullptr;
    return &selected_clock_setting(f);
}

// The clock of a programmable frequency index, and every host told.
void apply_frequency(std::int32_t f) {
    end_open_test();
    g_shared.current_frequency = f;
    family_ops(g_shared.chip_code)->clock_write(*frequency_change_clock(f));
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
    const ClockSetting* clock = frequency_change_clock(f);
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
    const std::int32_t chip = g_shared.chip_code;
    if (family_of(chip) == kS3) {
        family::kS3Ops.timing_write(kS3LineDoubleBlock);
        // The whole block includes the display start and vertical end.
        apply_glasses_phase();
    } else if (family_of(chip) != kNoFamily) {
        crtc_or(kCrtcModeControl, kCountByTwo);
    }
    // Twice the scan lines per row; the 5-bit field saturates rather than
    // spilling into bit 5, which is a vertical blanking bit.
    const std::uint8_t v = read_crtc(kCrtcMaxScanLine);
    g_shared.line_double_saved_max_scan = v;
    const int rows = v & kMaxScanField;
    const int doubled = rows == 0 ? 1 : std::min(rows * 2, int{kMaxScanField});
    write_crtc(kCrtcMaxScanLine, static_cast<std::uint8_t>((v & ~kMaxScanField) | doubled));
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
    const std::int32_t chip = g_shared.chip_code;
    if (family_of(chip) == kS3) {
        if (const TimingBlock* block = stereo_timing_block(f)) {
            family::kS3Ops.timing_write(*block);
            g_shared.running_block = f;
        }
        apply_glasses_phase();
    } else if (family_of(chip) != kNoFamily) {
        crtc_and(kCrtcModeControl, static_cast<std::uint8_t>(~kCountByTwo));
    }
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
