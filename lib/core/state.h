// The library's state: one copy shared by every process that has the library
// loaded, and one copy per process.
#pragma once
#include <cstdint>

#include "lib/core/types.h"
#include "lib/hw/adapter_state.h"
#include "lib/hw/chips.h"
#include "lib/timing/timing_state.h"
#include "lib/timing/timing_table.h"

namespace duo {

struct ClientSlot {
    std::int32_t in_use;
    WindowHandle host_window;
    std::uint32_t process_id; // the process holding the slot
    std::uint32_t host_owner; // the process the host window belonged to when registered
};

// A frequency test between its switch and its restore: what the switch
// changed, kept apart from the desktop state that Disable restores, so that
// whoever ends the test puts back exactly that.
struct TestSession {
    std::int32_t active;       // switched and not yet restored
    std::uint32_t owner;       // the process that switched
    std::int32_t timing_saved; // stereo was off: the switch put stereo timing over the desktop
    std::int32_t interrupted;  // ended by another call: the answer is not about what was shown
    std::int32_t clock_select; // the miscellaneous output register before the test clock
    ClockSetting saved_clock;
    TimingBlock saved_timing;
};

// The most CRTC registers a screen adjustment moves: ten VGA ones and a
// family's sync extension register.
inline constexpr int kAdjustedRegisterCount = 11;

// A screen adjustment between its opening and its OK or Cancel, one per
// client process: the registers as it found them, so that a session whose
// process died is taken back as Cancel would.
struct AdjustSession {
    std::int32_t active;
    std::uint32_t owner;
    std::int32_t epoch;    // the timing epoch it was opened in
    std::int32_t block;    // the stereo block the adapter ran, or -1 for none
    std::int32_t count;    // registers recorded, in the order they are put back
    std::uint8_t index[kAdjustedRegisterCount];
    std::uint8_t entry[kAdjustedRegisterCount];
};

// Everything every process sees alike. Plain data with constant initialisers,
// so the whole object can live in a shared image section. The fields the
// hardware and timing layers use are in the bases, where those layers find
// them without the core (lib/hw/adapter_state.h, lib/timing/timing_state.h).
struct SharedState : AdapterShared, TimingShared {
    std::int32_t attach_count = 0;
    ClientSlot clients[kClientSlots] = {};
    std::int32_t initialised = 0;
    std::int32_t last_error = 0;
    std::int32_t current_frequency = 0;
    std::int32_t glasses_phase = 1; // 1: display starts at the first line
    std::int32_t line_double = 0;
    WindowHandle popup_button = 0;

    // Register state saved when stereo goes on, restored when it goes off.
    TimingBlock saved_timing[kFamilies] = {};
    ClockSetting saved_clock[kFamilies] = {};
    // The open step ran in the desktop mode that still runs: the close step
    // has locks of this mode to put back.
    std::int32_t locks_open = 0;

    // Line-double mode: the frequency index and maximum scan line it replaced.
    std::int32_t line_double_saved_frequency = 0;
    std::int32_t line_double_saved_max_scan = 0;

    // The block the adapter runs while stereo is on (a frequency change
    // writes only the clock, so it can differ from the current frequency);
    // -1 with stereo off.
    std::int32_t running_block = -1;
    // Raised by every call that rewrites the timing the adapter runs; a
    // dialog session opened in an earlier epoch no longer knows what the
    // adapter shows.
    std::int32_t timing_epoch = 0;

    std::int32_t test_frequency = 0;
    TestSession test = {};
    AdjustSession adjust[kClientSlots] = {};
};

// The 32-bit and 64-bit builds keep the shared fields alike: counters,
// codes, tables, saved registers and clock bytes are fixed-width; only the
// window handles are as wide as a pointer, so that no handle is cut short.
static_assert(sizeof(ClockSetting) == 3 && alignof(ClockSetting) == 1);
static_assert(sizeof(ClientSlot::host_window) == sizeof(void*) && sizeof(SharedState::popup_button) == sizeof(void*));
static_assert(sizeof(ClientSlot::process_id) == 4 && sizeof(ClientSlot::host_owner) == 4 && sizeof(ClientSlot::in_use) == 4);
static_assert(sizeof(SharedState::saved_timing) == kFamilies * kTimingBlockSize &&
              sizeof(SharedState::stored_tables) == kDepthClasses * sizeof(TimingTable));
// The bases hold no pointer-wide field: 4-byte aligned at both word sizes.
static_assert(alignof(AdapterShared) == 4 && alignof(TimingShared) == 4);

// What each process keeps for itself.
struct ProcessState : AdapterProcess {
    int client_slot = -1;
    // The library's instance in this process: the image may be mapped at a
    // different address in each process.
    std::uintptr_t module_instance = 0;
    std::uintptr_t face_raised = 0; // bitmap 158
    std::uintptr_t face_sunken = 0; // bitmap 157
};

// Defined once per build: in the DLL's shared section, natively as a plain
// object that tests reset.
extern SharedState g_shared;
extern ProcessState g_process;

// The default frequency index and status entry i, as read by clients.
inline std::int32_t default_frequency() { return g_shared.current_table.default_frequency; }

// This process can drive the adapter: the library is initialised and the
// process has its own way to the port driver.
inline bool holds_library() { return g_shared.initialised == 1 && g_process.driver != 0; }

} // namespace duo
