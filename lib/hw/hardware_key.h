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

// The PCI vendor id the value names; 0 when it names none.
std::uint16_t hardware_key_vendor(const char* value, std::size_t length);

// The first 256-port I/O range, 256-aligned above the ISA ports, in the
// configuration manager's allocation record of `length` bytes (the mach64's
// block I/O BAR1); 0 when there is none or the record is malformed. Reads
// nothing at or past `length`. The record: a DWORD header, then entries of a
// DWORD length (with this 8-byte header), a DWORD resource type (2: I/O) and
// the descriptor, whose I/O form holds WORDs count, type, first port and
// last port; a length of 0 ends it.
std::int32_t block_io_base(const std::uint8_t* record, std::size_t length);

} // namespace duo
