#include "lib/core/init_close.h"

#include "lib/core/clients.h"
#include "lib/core/mode_acceptance.h"
#include "lib/core/platform.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "lib/hw/detect.h"
#include "lib/hw/family.h"
#include "lib/timing/settings_file.h"
#include "lib/timing/timing_load.h"

namespace duo {
namespace {

void forget_driver() {
    platform::close_driver(g_process.driver);
    g_process.driver = 0;
}

ClientSlot* own_slot() {
    int slot = g_process.client_slot;
    return slot >= 0 && slot < kClientSlots ? &g_shared.clients[slot] : nullptr;
}

bool same_mode(const platform::DesktopMode& mode) {
    return mode.bits_per_pixel == g_shared.colour_depth && mode.width == g_shared.display_width &&
           mode.height == g_shared.display_height;
}

// Detection, the mode's acceptance, the open step and the tables: the
// library set up for a desktop mode.
std::int32_t set_up(WindowHandle host, const platform::DesktopMode& mode) {
    g_shared.colour_depth = mode.bits_per_pixel;
    g_shared.display_width = mode.width;
    g_shared.display_height = mode.height;
    g_shared.chip_code = detect_chip();
    ModeVerdict verdict = judge_mode(g_shared.chip_code, mode.bits_per_pixel, mode.width, mode.height);
    // A mode the chip allows but the library has no timing for cannot run
    // stereo either.
    if (verdict == ModeVerdict::kAccepted &&
        !mode_has_timing(g_shared.chip_code, mode.bits_per_pixel, mode.width, mode.height))
        verdict = ModeVerdict::kRefused;
    // A mach64 desktop on the accelerator CRTC ignores the VGA CRTC the
    // stereo timing, the eye swap and the sync moves are written to.
    if (verdict == ModeVerdict::kAccepted && family_of(g_shared.chip_code) == kMach64 &&
        !family::mach64_vga_crtc_drives_display())
        verdict = ModeVerdict::kRefused;
    switch (verdict) {
    case ModeVerdict::kUnknownChip:
        forget_driver();
        g_shared.initialised = 0;
        g_shared.last_error = kErrUnknownChip;
        return 0;
    case ModeVerdict::kRefused:
        forget_driver();
        g_shared.initialised = 0;
        g_shared.last_error = kErrModeRefused;
        return 0;
    case ModeVerdict::kAccepted:
        break;
    }

    family_ops(g_shared.chip_code)->open_step();
    g_shared.initialised = 1;
    g_shared.last_error = kErrNone;
    load_timing_tables();

    notify_window(host, kNotifyAvailable, available_frequency_mask());
    notify_window(host, kNotifyDefaultFrequency, default_frequency());
    if (g_shared.stereo) notify_window(host, kNotifyStereoOn, g_shared.current_frequency);
    return 1;
}

} // namespace

std::int32_t init_library(WindowHandle host) {
    const platform::DesktopMode mode = platform::desktop_mode();
    // Registered before anything is checked: it stays even when this fails.
    if (ClientSlot* slot = own_slot()) register_host(*slot, host);

    if (g_process.driver == 0) {
        g_process.driver = platform::open_driver();
        // Other processes may hold the library: their session stays.
        if (g_process.driver == 0) {
            g_shared.last_error = kErrNoDriver;
            return 0;
        }
    }
    if (g_shared.initialised) {
        // A stereo session belongs to the mode it was set up in.
        if (same_mode(mode) || g_shared.stereo == 1) {
            // A client that joins a running stereo session hears of it, as
            // it would from the Init that set the library up.
            if (g_shared.stereo == 1) notify_window(host, kNotifyStereoOn, g_shared.current_frequency);
            g_shared.last_error = kErrAlreadyInitialised;
            return 1;
        }
        // The desktop changed mode under the library: the old mode's tables
        // are kept in the settings file and the new mode's taken up.
        write_settings_file();
        g_shared.initialised = 0;
    }
    return set_up(host, mode);
}

std::int32_t close_library(WindowHandle skip) {
    if (ClientSlot* slot = own_slot()) register_host(*slot, 0);
    g_shared.last_error = kErrNone;
    // A process that never reached the adapter has nothing to switch off and
    // no tables of its own to save.
    if (g_process.driver == 0) return 0;

    if (g_shared.stereo == 1) disable_stereo(skip);
    if (const FamilyOps* ops = family_ops(g_shared.chip_code)) ops->close_step();
    forget_driver();
    // Tables are saved only while loaded: after another process's Close they
    // are already in the file.
    const std::int32_t written = g_shared.initialised == 1 ? write_settings_file() : 0;
    g_shared.initialised = 0;
    g_shared.last_error = kErrNone;
    return written;
}

} // namespace duo
