#include "lib/core/frequency.h"

#include "lib/core/clients.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"
#include "lib/timing/timing_load.h"

namespace duo {
namespace {

constexpr std::int32_t kLineDoubleFrequency = 9; // 120 Hz
constexpr std::uint8_t kCountByTwo = 0x04;       // CRTC 0x17 bit 2

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

} // namespace

std::int32_t set_frequency(std::int32_t frequency) {
    if (g_shared.initialised == 0) {
        g_shared.last_error = kErrNotInitialised;
        return 0;
    }
    if (g_shared.stereo == 0) {
        g_shared.last_error = kErrStereoOff;
        return 0;
    }
    std::int32_t f = frequency == kDefaultFrequencyArg ? default_frequency() : frequency;
    if (f < 0 || f > kFrequencyCount - 1) {
        g_shared.last_error = kErrBadFrequency;
        return 0;
    }
    if (const ClockSetting* clock = frequency_change_clock(f)) {
        g_shared.current_frequency = f;
        family_ops(g_shared.chip_code)->clock_write(*clock);
    }
    notify_hosts(kNotifyFrequency, g_shared.current_frequency, 0);
    g_shared.last_error = kErrNone;
    return 1;
}

void line_double_enter() {
    set_frequency(kLineDoubleFrequency);
    const std::int32_t chip = g_shared.chip_code;
    if (family_of(chip) == kS3) {
        family::kS3Ops.timing_write(kS3LineDoubleBlock);
    } else if (family_of(chip) != kNoFamily) {
        crtc_or(kCrtcModeControl, kCountByTwo);
    }
    const std::uint8_t v = read_crtc(kCrtcMaxScanLine);
    write_crtc(kCrtcMaxScanLine, (v & 0x1F) == 0 ? static_cast<std::uint8_t>(v | 0x01)
                                                 : static_cast<std::uint8_t>((v & 0xE0) | ((v & 0x1F) << 1)));
    g_shared.line_double = 1;
}

void line_double_leave(std::int32_t frequency) {
    set_frequency(frequency);
    const std::uint8_t v = read_crtc(kCrtcMaxScanLine);
    write_crtc(kCrtcMaxScanLine, (v & 0x1F) == 1 ? static_cast<std::uint8_t>(v & 0xE0)
                                                 : static_cast<std::uint8_t>((v & 0xE0) | ((v >> 1) & 0x0F)));
    const std::int32_t chip = g_shared.chip_code;
    if (family_of(chip) == kS3) {
        // Only a frequency that has a timing block is written back.
        if (const TimingBlock* block = stereo_timing_block(frequency)) family::kS3Ops.timing_write(*block);
    } else if (family_of(chip) != kNoFamily) {
        crtc_and(kCrtcModeControl, static_cast<std::uint8_t>(~kCountByTwo));
    }
    g_shared.line_double = 0;
}

std::int32_t line_double_command(int export_slot, std::int32_t command) {
    std::int32_t& saved = g_process.line_double_saved_frequency[export_slot & 1];
    if (command == kLineDoubleOn) {
        saved = g_shared.current_frequency;
        line_double_enter();
    } else if (command == kLineDoubleOff) {
        line_double_leave(saved);
    }
    g_shared.last_error = kErrNone;
    return 1;
}

} // namespace duo
