// Filling the timing tables at initialisation (from the settings file or the
// built-in defaults), this process's clock table selections, and the clock
// settings and default records the stereo operations and dialogs read.
#pragma once
#include <cstdint>

#include "lib/hw/adapter_state.h"
#include "lib/timing/defaults.h"
#include "lib/timing/timing_state.h"

namespace duo {

inline constexpr std::int32_t kLoadDefaultFrequency = 5; // 100 Hz

// Whether the built-in data holds timing and clocks for the chip in a mode
// that the acceptance rules allow: without them stereo cannot run there.
bool mode_has_timing(std::int32_t chip, int bits_per_pixel, int width, int height);

// Reads g_adapter.chip_code and the library's desktop mode (colour depth and
// display size). Never fails. Indexes that cannot be programmed are left
// unavailable.
void load_timing_tables();

// A frequency index 0..9 whose timing block holds timing and whose clock
// slots (the one Enable writes and the one a frequency change writes) are
// set: only such an index is ever programmed.
bool frequency_programmable(std::int32_t frequency);

// Bytes 0-24 (the CRTC image) not all zero.
bool block_has_timing(const TimingBlock& block);

// Slot f of the selected clock table of the chip's family. A frequency index
// outside 0..19, or a chip of no family, gives a setting of zero bytes: no
// table is indexed with it.
const ClockSetting& selected_clock_setting(std::int32_t frequency);

// The clock a frequency change, a resume and a frequency test write for
// index f: chips with uses_resolution_clock_table take the table of the
// resolution, the others the selected table. nullptr for none.
const ClockSetting* change_clock_setting(std::int32_t frequency);

// Slot f of the S3 table of the library's mode (resolution and depth), from
// which chips with uses_resolution_clock_table take frequency changes,
// resumes and tests, or nullptr: another chip, another resolution, or a
// frequency index outside 0..19.
const ClockSetting* resolution_clock_setting(std::int32_t frequency);

// The default record of the chip, colour depth and the library's
// resolution, or nullptr where none exists.
const TimingRecord* current_default_record();

} // namespace duo
