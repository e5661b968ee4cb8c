// The portable core's seam to the operating system. The DLL implements these
// over Win32; native builds implement them in their test harness. The port
// driver's calls are the hardware layer's part of it (lib/hw/driver_channel.h).
#pragma once
#include <cstdint>

#include "lib/core/types.h"
#include "lib/hw/driver_channel.h"

namespace duo::platform {

struct DesktopMode {
    std::int32_t width, height, bits_per_pixel;
};

// The desktop mode as a screen device context reports it.
DesktopMode desktop_mode();

// Hides the mouse cursor; returns the previous one for restore_cursor.
std::uintptr_t hide_cursor();
void restore_cursor(std::uintptr_t previous);

// This process's identifier; whether a process still runs; the process a
// window belongs to (0 for no window). A process that was ended from
// outside never detaches, and its window handles can be given to other
// programs.
std::uint32_t process_id();
bool process_running(std::uint32_t id);
std::uint32_t window_owner(WindowHandle window);

// Posts (never sends) a message; false when the window is gone.
bool post_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);

} // namespace duo::platform
