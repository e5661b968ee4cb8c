// The portable core's seam to the operating system. The DLL implements these
// over Win32; native builds implement them in their test harness.
#pragma once
#include <cstdint>

#include "lib/core/types.h"

namespace duo::platform {

struct DesktopMode {
    std::int32_t width, height, bits_per_pixel;
};

// The desktop mode as a screen device context reports it.
DesktopMode desktop_mode();

// Hides the mouse cursor; returns the previous one for restore_cursor.
std::uintptr_t hide_cursor();
void restore_cursor(std::uintptr_t previous);

// Opens this process's handle on the port driver; 0 when it cannot be opened.
DriverHandle open_driver();
void close_driver(DriverHandle handle);

// One synchronous control call on the driver; false when the call failed.
bool device_io_control(DriverHandle handle, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                       std::uint32_t out_size);

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
