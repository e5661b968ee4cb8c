// ATI: the mach64 (264CT/VT class) and, detected but not supported, the
// mach32.
//
// mach64: the sparse I/O registers sit at the card's base (0x2EC, 0x1CC or
// 0x1C8, as the card's configuration chose), register n at base + n x 0x400,
// byte k at + k. CONFIG_CHIP_ID (register 27) is read-only: bytes 0-1 the chip
// type, which is also the PCI device id (0x5654 "VT", 0x4354 "CT"), byte 3 the
// revision.
// mach32: the chip identification port pair 0xFAEE/0xFAEF is read-only and
// holds two letter codes of 5 bits each (0 standing for A).
#include <cstdio>

#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint32_t kSparseStride = 0x400;
constexpr std::uint32_t kRegConfigChipId = 27;
constexpr std::uint32_t kPortMach32ChipId = 0xFAEE; // low byte; high byte at + 1

std::uint32_t chip_id_port(const AdapterState& s) { return (s.io_base + kRegConfigChipId * kSparseStride) & 0xFFFF; }

bool in_word(std::uint32_t port, std::uint32_t first, std::uint32_t bytes) {
    return port >= first && port < first + bytes;
}

void mach64_power_on(AdapterState& s, const AdapterModel& model) {
    s.io_base = model.io_base;
    const std::uint32_t id = chip_id_port(s);
    s.ports[id] = static_cast<std::uint8_t>(model.pci.device);
    s.ports[(id + 1) & 0xFFFF] = static_cast<std::uint8_t>(model.pci.device >> 8);
    s.ports[(id + 3) & 0xFFFF] = model.pci.revision;
}

void mach64_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    if (in_word(port, chip_id_port(s), 4)) return;
    vga_port_write(s, port, value);
}

std::string mach64_lock_state(const AdapterState& s) {
    char text[64];
    std::snprintf(text, sizeof text, "no locks; sparse I/O registers at base %03X", static_cast<unsigned>(s.io_base));
    return text;
}

void mach32_power_on(AdapterState& s, const AdapterModel& model) {
    s.ports[kPortMach32ChipId] = static_cast<std::uint8_t>(model.mach32_chip_id);
    s.ports[kPortMach32ChipId + 1] = static_cast<std::uint8_t>(model.mach32_chip_id >> 8);
}

void mach32_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    if (in_word(port, kPortMach32ChipId, 2)) return;
    vga_port_write(s, port, value);
}

std::string mach32_lock_state(const AdapterState&) { return "no locks modelled"; }

} // namespace

const FamilyHooks kMach64Hooks{mach64_power_on, vga_seq_read,      vga_seq_write,    vga_crtc_read,
                               vga_crtc_write,  mach64_port_write, mach64_lock_state};
const FamilyHooks kMach32Hooks{mach32_power_on, vga_seq_read,      vga_seq_write,    vga_crtc_read,
                               vga_crtc_write,  mach32_port_write, mach32_lock_state};

} // namespace duo::sim
