// The input is a HardWareKey registry value, and read as bytes an allocation
// record. Each parse looks only inside the value's length: the copy is exactly that long, without a terminator, so
// AddressSanitizer stops any read past it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "lib/hw/hardware_key.h"

namespace {

constexpr std::size_t kMaxInput = 512;

// The chip codes that the PCI identification table can yield.
bool pci_chip(std::int32_t chip) {
    switch (chip) {
    case 0x205: case 0x206: case 0x303: case 0x304: case 0x401: case 0x501: return true;
    default: return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    std::unique_ptr<char[]> value(new char[size]);
    std::memcpy(value.get(), data, size);
    const std::int32_t block = duo::block_io_base(data, size);
    if (block != 0 && (block % 0x100 != 0 || block < 0x400 || block > 0xFF00)) std::abort();
    std::int32_t chip = duo::parse_hardware_key(value.get(), size);
    if (chip == 0) return 0;
    // A chip needs "PCI", "VEN" at 4 and "DEV" at 13, and the device's four digits at 17-20.
    bool shaped = size >= 21 && std::memcmp(data, "PCI", 3) == 0 && std::memcmp(data + 4, "VEN", 3) == 0 &&
                  std::memcmp(data + 13, "DEV", 3) == 0;
    if (!pci_chip(chip) || !shaped) std::abort();
    return 0;
}
