// The registry calls of the adapter detection: the devices that the
// configuration manager lists under the dynamic-data root. Implemented over
// Win32 in registry_win.cpp; native tests supply their own.
#pragma once
#include <cstdint>

namespace duo::platform {

// An open registry key; 0 for none.
using RegistryKey = std::uintptr_t;

inline constexpr std::uint32_t kRegistryNameSize = 260;  // characters, with the terminator
inline constexpr std::uint32_t kRegistryValueSize = 260; // bytes

// "Config Manager\Enum" under the dynamic-data root, opened for reading; 0
// when it cannot be opened.
RegistryKey open_device_enum_key();

// The name of subkey `index` of `key`; false when enumeration fails (past the
// last subkey among other reasons).
bool enum_subkey(RegistryKey key, std::uint32_t index, char (&name)[kRegistryNameSize]);

// Subkey `name` of `parent`, opened for reading; 0 when it cannot be opened.
RegistryKey open_subkey(RegistryKey parent, const char* name);

// The "HardWareKey" value of `key` and its length in bytes as the registry
// reports it; false when the value is missing or does not fit.
bool query_hardware_key(RegistryKey key, char (&value)[kRegistryValueSize], std::uint32_t& length);

// The "Allocation" value of `key`: the configuration manager's binary record
// of the resources the device was given; false when it is missing or does
// not fit.
bool query_allocation(RegistryKey key, std::uint8_t (&value)[kRegistryValueSize], std::uint32_t& length);

void close_key(RegistryKey key);

} // namespace duo::platform
