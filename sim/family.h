// What a chip family adds to the plain VGA: identification registers,
// register locks and ports of its own. Each family fills one table of hooks
// in its own file (sim/family_*.cpp); the plain VGA model of sim/adapter.cpp
// calls them for every sequencer, CRTC and other port access.
#pragma once
#include <cstdint>
#include <string>

#include "sim/adapter.h"

namespace duo::sim {

// What the CRTC runs on and how a monitor has to count it.
struct ScanRules {
    double pixel_clock_hz;   // the selected clock, before the sequencer's divide-by-two
    int char_clock_scale;    // S3 counts bytes: 2 character clocks per 8 pixels at 15/16 bpp, 3 at 24
    bool interlaced;
    bool per_frame;          // interlaced vertical values count the whole frame
    int h_total_high;        // extension bits of the totals, already in place
    int v_total_high;
    int v_display_high;
    int offset_high;         // line offset bits 8-9 from the family's extension register
    int h_retrace_high;      // extension bits of the sync starts
    int v_retrace_high;
    // A CRTC outside the VGA register file (the mach64's accelerator CRTC)
    // gives its own counts, character clocks of 8 pixels and frame lines,
    // its start and pitch (8-byte and 8-pixel units), and whether both sync
    // pulses fall in the blanked part of the line and frame; the VGA CRTC is
    // not read; 0 characters: the VGA CRTC runs.
    struct OwnCrtc {
        int h_total_chars, h_display_chars, v_total, v_display, start, pitch;
        bool syncs_in_blanking;
    } own_crtc{};
};

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
    // The driver's clock codes (7-13) this chip answers; false for others.
    bool (*driver_clock)(AdapterState& state, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                         std::uint32_t out_size);
    ScanRules (*scan_rules)(const AdapterState& state);
    // Reads of ports outside the VGA register files; none: plain bytes.
    std::uint8_t (*port_read)(AdapterState& state, std::uint32_t port) = nullptr;
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
bool vga_driver_clock(AdapterState& state, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                      std::uint32_t out_size);
ScanRules vga_scan_rules(const AdapterState& state);

// The family hooks of the adapter's model.
const FamilyHooks& hooks_of(const AdapterState& state);

} // namespace duo::sim
