// The adapter-side state the detection and the family operations read and
// write. The library's shared state derives from these structs, so that the
// one object in the process-shared section holds them; the hardware layer
// reaches them through the references below, bound to it by the core.
#pragma once
#include <cstdint>

#include "lib/hw/chips.h"
#include "lib/hw/mach64_crtc.h"

namespace duo {

// This process's handle on the port driver; 0 when not open.
using DriverHandle = std::uintptr_t;

// Shared by every process. Plain fixed-width data with constant
// initialisers: it lives in a shared image section and reads alike from the
// 32-bit and 64-bit builds.
struct AdapterShared {
    std::int32_t chip_code = 0;
    std::int32_t stereo = 0;
    // The desktop mode the library was set up for: the timing tables, clock
    // table selections and settings file all belong to it.
    std::int32_t colour_depth = 0;
    std::int32_t display_width = 0;
    std::int32_t display_height = 0;
    std::int32_t eye_shift = 0;

    std::int32_t saved_misc_output = 0;
    std::int32_t mach64_saved_clock_select = 0;
    std::int32_t et6000_base_port = 0;
    // The ET6000 key ports (0x3BF, 0x3D8) as the open step found them, and
    // whether they are held for the close step.
    std::uint8_t et6000_key_ports[2] = {};
    std::uint8_t et6000_key_held = 0;
    std::int32_t mach64_base_port = 0x2EC;
    // The mach64's accelerator CRTC as the desktop ran it when stereo went on.
    family::Mach64Crtc mach64_desktop_crtc = {};
    // Interlace registers as the desktop had them when stereo went on.
    std::uint8_t remembered_interlace[kFamilies] = {};
    // The locks as the desktop had them when the open step unlocked them
    // (S3: CR38, CR39, SR08, CR11; Cirrus: SR06, CR11); the close step puts
    // them back.
    std::uint8_t desktop_locks[kFamilies][4] = {};
};

// What each process keeps for itself.
struct AdapterProcess {
    DriverHandle driver = 0;
    std::uint8_t mach64_sequencer_scratch = 0;
};

extern AdapterShared& g_adapter;
extern AdapterProcess& g_adapter_process;

} // namespace duo
