// Win32 side of the detection's registry calls.
#include <windows.h>

#include "lib/hw/registry.h"

namespace duo::platform {
namespace {

HKEY as_hkey(RegistryKey key) { return reinterpret_cast<HKEY>(key); }
RegistryKey as_key(HKEY key) { return reinterpret_cast<RegistryKey>(key); }

} // namespace

RegistryKey open_device_enum_key() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_DYN_DATA, "Config Manager\\Enum", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    return as_key(key);
}

bool enum_subkey(RegistryKey key, std::uint32_t index, char (&name)[kRegistryNameSize]) {
    DWORD size = kRegistryNameSize;
    return RegEnumKeyExA(as_hkey(key), index, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

RegistryKey open_subkey(RegistryKey parent, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(as_hkey(parent), name, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    return as_key(key);
}

bool query_hardware_key(RegistryKey key, char (&value)[kRegistryValueSize], std::uint32_t& length) {
    DWORD size = kRegistryValueSize;
    if (RegQueryValueExA(as_hkey(key), "HardWareKey", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return false;
    length = size;
    return true;
}

bool query_allocation(RegistryKey key, std::uint8_t (&value)[kRegistryValueSize], std::uint32_t& length) {
    DWORD size = kRegistryValueSize;
    if (RegQueryValueExA(as_hkey(key), "Allocation", nullptr, nullptr, value, &size) != ERROR_SUCCESS) return false;
    length = size;
    return true;
}

void close_key(RegistryKey key) { RegCloseKey(as_hkey(key)); }

} // namespace duo::platform
