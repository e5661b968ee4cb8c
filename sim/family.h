// What a chip family adds to the plain VGA: identification registers,
// register locks and ports of its own. Each family fills one table of hooks
// in its own file (sim/family_*.cpp); the plain VGA model of sim/adapter.cpp
// calls them for every sequencer, CRTC and other port access.
#pragma once
#include <cstdint>
#include <string>

#include "sim/adapter.h"

namespace duo::sim {

struct FamilyHooks {
    // Power-on values of the family's registers, locks closed; runs after the
    // plain VGA registers are set up for the desktop mode.
    void (*power_on)(AdapterState& state, const AdapterModel& model);
    // Data port accesses of the sequencer and the CRTC at `index`.
    std::uint8_t (*seq_read)(AdapterState& state, std::uint8_t index);
    void (*seq_write)(AdapterState& state, std::uint8_t index, std::uint8_t value);
    std::uint8_t (*crtc_read)(AdapterState& state, std::uint8_t index);
    void (*crtc_write)(AdapterState& state, std::uint8_t index, std::uint8_t value);
    // Writes to ports outside the VGA register files.
    void (*port_write)(AdapterState& state, std::uint32_t port, std::uint8_t value);
    std::string (*lock_state)(const AdapterState& state);
};

extern const FamilyHooks kVgaHooks;
extern const FamilyHooks kTridentHooks;
extern const FamilyHooks kS3Hooks;
extern const FamilyHooks kCirrusHooks;
extern const FamilyHooks kMach64Hooks;
extern const FamilyHooks kMach32Hooks;
extern const FamilyHooks kEt6000Hooks;

// The plain VGA behaviour, for the families to fall back on.
void vga_power_on(AdapterState& state, const AdapterModel& model);
std::uint8_t vga_seq_read(AdapterState& state, std::uint8_t index);
void vga_seq_write(AdapterState& state, std::uint8_t index, std::uint8_t value);
std::uint8_t vga_crtc_read(AdapterState& state, std::uint8_t index);
// Honours the write protection of CRTC 0x00-0x07 (CRTC 0x11 bit 7).
void vga_crtc_write(AdapterState& state, std::uint8_t index, std::uint8_t value);
void vga_port_write(AdapterState& state, std::uint32_t port, std::uint8_t value);

} // namespace duo::sim
