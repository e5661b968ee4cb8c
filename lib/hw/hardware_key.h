// Identification of a PCI display adapter from the "HardWareKey" value that
// the configuration manager lists for each device, such as
// "PCI\VEN_5333&DEV_8880&SUBSYS_00000000&REV_00\BUS_00&DEV_0D&FUNC_00".
#pragma once
#include <cstddef>
#include <cstdint>

namespace duo {

// The chip code for a value of `length` characters (no terminator needed);
// 0 when the value names no adapter of the PCI table. Reads nothing at or past
// `length`.
std::int32_t parse_hardware_key(const char* value, std::size_t length);

} // namespace duo
