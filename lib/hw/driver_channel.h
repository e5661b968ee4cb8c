// The hardware layer's way to the ports: the port driver's device and its
// control calls, or the library's own port access where the system allows
// it. Implemented over Win32 (driver_channel_win.cpp); native builds
// implement it in their test harness.
#pragma once
#include <cstdint>

#include "lib/hw/adapter_state.h"

namespace duo::platform {

// Opens this process's way to the adapter: a handle on the port driver;
// without the driver, kOwnPorts where the system lets a program reach the
// ports itself (the Windows 95 family); 0 when there is no way.
DriverHandle open_driver();
void close_driver(DriverHandle handle);

// The way that is no driver handle: the library's own port access. It is the
// value no opened handle can have (INVALID_HANDLE_VALUE).
inline constexpr DriverHandle kOwnPorts = ~DriverHandle{0};

// Whether a system lets a program execute IN and OUT: the Windows 95 family,
// told by bit 31 of GetVersion's answer and, where GetVersionEx answers
// (platform_id >= 0), by its platform id 1. The NT family traps them.
constexpr bool windows95_family(std::uint32_t version, std::int32_t platform_id) {
    return (version & 0x80000000u) != 0 && (platform_id < 0 || platform_id == 1);
}

// One byte in from a port, one byte out, behind kOwnPorts. Before
// open_driver has chosen kOwnPorts no port is touched: reads answer 0xFF.
std::uint8_t port_in(std::uint16_t port);
void port_out(std::uint16_t port, std::uint8_t value);

// One synchronous control call on the driver; false when the call failed.
bool device_io_control(DriverHandle handle, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                       std::uint32_t out_size);

} // namespace duo::platform
