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

} // namespace

std::int32_t init_library(WindowHandle host) {
    const platform::DesktopMode mode = platform::desktop_mode();
    g_shared.colour_depth = mode.bits_per_pixel;
    g_process.display_height = mode.height;
    g_process.display_width = mode.width;
    // Registered before anything is checked: it stays even when this fails.
    if (ClientSlot* slot = own_slot()) slot->host_window = host;

    if (g_process.driver == 0) {
        g_process.driver = platform::open_driver();
        if (g_process.driver == 0) {
            g_shared.initialised = 0;
            g_shared.last_error = kErrNoDriver;
            return 0;
        }
    }
    if (g_shared.initialised) {
        g_shared.last_error = kErrAlreadyInitialised;
        return 1;
    }

    g_shared.chip_code = detect_chip();
    switch (judge_mode(g_shared.chip_code, mode.bits_per_pixel, mode.width, mode.height)) {
    case ModeVerdict::kUnknownChip:
        forget_driver();
        g_shared.initialised = 0;
        g_shared.last_error = kErrUnknownChip;
        return 0;
    case ModeVerdict::kRefused:
        forget_driver();
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

std::int32_t close_library(WindowHandle skip) {
    g_shared.attach_count = 1;
    if (g_shared.stereo == 1) disable_stereo(skip);
    if (g_process.driver != 0) {
        if (const FamilyOps* ops = family_ops(g_shared.chip_code)) ops->close_step();
        platform::close_driver(g_process.driver);
    }
    const std::int32_t written = write_settings_file();
    g_shared.initialised = 0;
    g_shared.last_error = kErrNone;
    g_process.driver = 0;
    if (ClientSlot* slot = own_slot()) slot->host_window = 0;
    return written;
}

} // namespace duo
