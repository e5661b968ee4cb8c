// Graphics chip detection: the PCI display adapter that the configuration
// manager lists, else the register probes of the five chip families.
#pragma once
#include <cstdint>

namespace duo {

// The chip code (family in the high byte), 0 when nothing is recognised.
// Needs this process's driver open. Records the mach64 sparse I/O base tried
// last in this process's state and, when the ET6000 probe recognises the
// chip, the ET6000 base port in the shared state. Leaves the S3 extended
// registers unlocked when it reaches the S3 probe.
std::int32_t detect_chip();

} // namespace duo
