// Tseng ET6000: identification through its PCI I/O space.
//
// Reading of the chip chosen here: CR21 holds the high byte of the PCI I/O
// base that the BIOS assigned and is read-only; the first four bytes of that
// space answer the PCI vendor and device ids (low byte first) and are
// read-only too. The display driver leaves the Tseng key set (port 0x3BF =
// 0x03, port 0x3D8 = 0xA0), so the extended registers are open; the key is
// not modelled as a lock.
#include <cstdio>

#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint8_t kCrtcIoBaseHigh = 0x21;
constexpr std::uint32_t kPortHercCompat = 0x3BF, kPortModeControl = 0x3D8;
constexpr std::uint8_t kKeyHercCompat = 0x03, kKeyModeControl = 0xA0;
constexpr std::uint32_t kPciIdBytes = 4;

void et6000_power_on(AdapterState& s, const AdapterModel& model) {
    s.io_base = model.io_base & 0xFF00;
    s.crtc[kCrtcIoBaseHigh] = static_cast<std::uint8_t>(s.io_base >> 8);
    const std::uint8_t ids[kPciIdBytes] = {
        static_cast<std::uint8_t>(model.pci.vendor), static_cast<std::uint8_t>(model.pci.vendor >> 8),
        static_cast<std::uint8_t>(model.pci.device), static_cast<std::uint8_t>(model.pci.device >> 8)};
    for (std::uint32_t i = 0; i < kPciIdBytes; ++i) s.ports[s.io_base + i] = ids[i];
    s.ports[kPortHercCompat] = kKeyHercCompat;
    s.ports[kPortModeControl] = kKeyModeControl;
}

void et6000_crtc_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index == kCrtcIoBaseHigh) return;
    vga_crtc_write(s, index, value);
}

void et6000_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    if (port >= s.io_base && port < s.io_base + kPciIdBytes) return;
    vga_port_write(s, port, value);
}

std::string et6000_lock_state(const AdapterState& s) {
    char text[64];
    std::snprintf(text, sizeof text, "key set by the display driver; PCI I/O base %04X",
                  static_cast<unsigned>(s.io_base));
    return text;
}

} // namespace

const FamilyHooks kEt6000Hooks{et6000_power_on,   vga_seq_read,      vga_seq_write,    vga_crtc_read,
                               et6000_crtc_write, et6000_port_write, et6000_lock_state};

} // namespace duo::sim
