#include "lib/core/init_close.h"

#include "lib/core/clients.h"
#include "lib/core/mode_acceptance.h"
#include "lib/core/platform.h"
#include "lib/core/sessions.h"
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

void refuse(std::int32_t error) {
    forget_driver();
    g_shared.initialised = 0;
    g_shared.last_error = error;
}

// Detection, the mode's acceptance, the open step and the tables: the
// library set up for a desktop mode. Its host hears what it needs; with
// `tell_all` every registered host does.
std::int32_t set_up(WindowHandle host, const platform::DesktopMode& mode, bool tell_all) {
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
    switch (verdict) {
    case ModeVerdict::kUnknownChip: refuse(kErrUnknownChip); return 0;
    case ModeVerdict::kRefused: refuse(kErrModeRefused); return 0;
    case ModeVerdict::kAccepted: break;
    }

    const FamilyOps& ops = *family_ops(g_shared.chip_code);
    ops.open_step();
    g_shared.locks_open = 1;
    // Interlaced with no stereo session on record: a program that ran stereo
    // ended, and every process that knew the desktop's timing with it. An
    // Enable would keep that timing as the desktop's and never give the
    // desktop back.
    if (g_shared.stereo == 0 && ops.interlaced()) {
        ops.close_step();
        g_shared.locks_open = 0;
        refuse(kErrAdapterLeftInterlaced);
        return 0;
    }
    g_shared.initialised = 1;
    g_shared.last_error = kErrNone;
    load_timing_tables();

    const std::int32_t mask = available_frequency_mask();
    if (tell_all) {
        notify_hosts(kNotifyAvailable, mask, 0);
        notify_hosts(kNotifyDefaultFrequency, default_frequency(), 0);
    } else {
        notify_window(host, kNotifyAvailable, mask);
        notify_window(host, kNotifyDefaultFrequency, default_frequency());
        if (g_shared.stereo) notify_window(host, kNotifyStereoOn, g_shared.current_frequency);
    }
    return 1;
}

// The display driver has programmed the adapter for a new desktop mode: a
// stereo session of the old mode ends without a write (its saved registers
// belong to the old mode), every host hears that stereo is off, and the
// dialogs' sessions end.
void end_session_of_old_mode() {
    if (g_shared.stereo == 1) {
        g_shared.stereo = 0;
        g_shared.glasses_phase = 1;
        g_shared.line_double = 0;
        g_shared.running_block = -1;
        notify_hosts(kNotifyStereoOff, 0, 0);
    }
    // The locks are the display driver's again.
    g_shared.locks_open = 0;
    drop_sessions();
}

// The old mode's tables kept in the settings file, the new mode's taken up.
std::int32_t take_up_mode(WindowHandle host, const platform::DesktopMode& mode, bool tell_all) {
    end_session_of_old_mode();
    write_settings_file();
    g_shared.initialised = 0;
    return set_up(host, mode, tell_all);
}

// Sessions recorded in a desktop mode that is gone end without a write,
// before any is put back.
bool leave_old_mode(const platform::DesktopMode& mode) {
    if (g_shared.colour_depth == 0 || same_mode(mode)) return false;
    end_session_of_old_mode();
    return true;
}

} // namespace

void follow_the_adapter() {
    if (g_process.driver == 0) return;
    const platform::DesktopMode mode = platform::desktop_mode();
    if (leave_old_mode(mode) && g_shared.initialised == 1) take_up_mode(0, mode, true);
    recover_abandoned_sessions();
}

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
    const bool new_mode = leave_old_mode(mode);
    recover_abandoned_sessions();
    if (g_shared.initialised) {
        if (new_mode) return take_up_mode(host, mode, false);
        // A client that joins a running stereo session hears of it, as it
        // would from the Init that set the library up.
        if (g_shared.stereo == 1) notify_window(host, kNotifyStereoOn, g_shared.current_frequency);
        g_shared.last_error = kErrAlreadyInitialised;
        return 1;
    }
    return set_up(host, mode, false);
}

std::int32_t close_library(WindowHandle skip) {
    if (ClientSlot* slot = own_slot()) register_host(*slot, 0);
    g_shared.last_error = kErrNone;
    // A process that never reached the adapter has nothing to switch off and
    // no tables of its own to save.
    if (g_process.driver == 0) return 0;

    // Tables of a mode that is gone are saved, but nothing of that mode is
    // written to the adapter.
    leave_old_mode(platform::desktop_mode());
    recover_abandoned_sessions();
    // Every dialog session ends with the library: the close step locks the
    // registers they would write.
    take_back_sessions();
    if (g_shared.stereo == 1) disable_stereo(skip);
    if (const FamilyOps* ops = family_ops(g_shared.chip_code); ops && g_shared.locks_open) ops->close_step();
    g_shared.locks_open = 0;
    forget_driver();
    // Tables are saved only while loaded: after another process's Close they
    // are already in the file.
    const std::int32_t written = g_shared.initialised == 1 ? write_settings_file() : 0;
    g_shared.initialised = 0;
    g_shared.last_error = kErrNone;
    return written;
}

} // namespace duo
