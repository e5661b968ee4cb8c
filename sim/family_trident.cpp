// Trident TGUI9440 and 96xx: identification through the sequencer, and the
// sequencer's old/new register banks.
//
// Reading of the chip chosen here: reading SR0B answers the chip id and
// switches the sequencer to the new-mode bank, writing SR0B switches it to the
// old-mode bank; SR0D and SR0E exist once per bank. The new-mode SR0E bit 7
// unprotects the extended registers: while it is clear, writes to the
// extended CRTC registers (0x19 and up) and to the clock word at ports
// 0x43C8/0x43C9 are ignored, and those registers read back what they held.
// SR0B and SR09 (revision) are read-only.
#include <cstdio>

#include "sim/clock_synth.h"
#include "sim/driver_requests.h"
#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint8_t kSeqRevision = 0x09;
constexpr std::uint8_t kSeqChipId = 0x0B;
constexpr std::uint8_t kSeqModeControl1 = 0x0D;
constexpr std::uint8_t kSeqModeControl2 = 0x0E; // new mode bit 7: extended registers writable
constexpr std::uint8_t kUnprotectBit = 0x80;
constexpr std::uint8_t kCrtcFirstExtended = 0x19;
constexpr std::uint32_t kPortClockLow = 0x43C8, kPortClockHigh = 0x43C9;
constexpr std::uint8_t kCrtcModuleTesting = 0x1E; // bit 2: interlace
constexpr std::uint8_t kCrtcOffsetHigh = 0x29;
constexpr std::uint8_t kInterlaceBit = 0x04;

bool banked(std::uint8_t index) { return index == kSeqModeControl1 || index == kSeqModeControl2; }

bool unprotected(const AdapterState& s) { return (s.seq[kSeqModeControl2] & kUnprotectBit) != 0; }

// The programmable clock: the word at ports 0x43C8 (low) and 0x43C9 holds N
// in bits 0-6, M in bits 7-11 and K in bit 12, f = R (N + 8) / ((M + 2) 2^K);
// the third byte is SR0D bits 1-2, of which the first halves the clock again.
double trident_clock_hz(const ClockRegs& c) {
    const unsigned word = c.r[0] | c.r[1] << 8;
    const unsigned n = word & 0x7F, m = (word >> 7) & 0x1F, k = (word >> 12) & 1;
    const double halved = (c.r[2] & 1) ? 2.0 : 1.0;
    return kCrystalHz * (n + 8) / ((m + 2) * (1 << k) * halved);
}

void trident_power_on(AdapterState& s, const AdapterModel& model) {
    s.seq[kSeqChipId] = model.trident.chip_id;
    s.seq[kSeqRevision] = model.trident.revision;
    // The display driver's last access was a write of SR0B: old mode,
    // extended registers protected.
    s.trident_new_mode = 0;
    // The desktop clock on the programmable synthesizer (clock select 2).
    const ClockRegs desktop = nearest_regs(trident_clock_hz, s.clock_hz[2], 2);
    s.ports[kPortClockLow] = desktop.r[0];
    s.ports[kPortClockHigh] = desktop.r[1];
    s.seq[kSeqModeControl1] = static_cast<std::uint8_t>((s.seq[kSeqModeControl1] & ~0x06) | (desktop.r[2] << 1));
    s.misc_output = with_clock_select(s.misc_output, 2);
    // The extended display bits the desktop driver sets besides the offset
    // bits 8-9 (4-5); the default records carry them too.
    s.crtc[kCrtcOffsetHigh] = static_cast<std::uint8_t>(0x8C | ((s.crtc[0x13] >> 4) & 0x30));
}

// Code 7: the clock word and the divide-by-two bit, on clock select 2.
bool trident_driver_clock(AdapterState& s, std::uint32_t code, const void* in, std::uint32_t in_size, void*,
                          std::uint32_t) {
    std::uint32_t b[3];
    if (code != gate::kCodeTridentClock || !gate::fields(in, in_size, 3, b)) return false;
    s.ports[kPortClockLow] = static_cast<std::uint8_t>(b[0]);
    s.ports[kPortClockHigh] = static_cast<std::uint8_t>(b[1]);
    s.seq[kSeqModeControl1] = static_cast<std::uint8_t>((s.seq[kSeqModeControl1] & ~0x06) | ((b[2] & 3) << 1));
    s.misc_output = with_clock_select(s.misc_output, 2);
    return true;
}

ScanRules trident_scan_rules(const AdapterState& s) {
    ScanRules rules = vga_scan_rules(s);
    if (((s.misc_output >> 2) & 3) == 2) {
        const ClockRegs running{{s.ports[kPortClockLow], s.ports[kPortClockHigh],
                                 static_cast<std::uint8_t>((s.seq[kSeqModeControl1] >> 1) & 3)}};
        rules.pixel_clock_hz = trident_clock_hz(running);
    }
    rules.interlaced = (s.crtc[kCrtcModuleTesting] & kInterlaceBit) != 0;
    return rules;
}

std::uint8_t trident_seq_read(AdapterState& s, std::uint8_t index) {
    if (index == kSeqChipId) s.trident_new_mode = 1;
    if (banked(index) && !s.trident_new_mode) return s.trident_old_mode_regs[index - kSeqModeControl1];
    return s.seq[index];
}

void trident_seq_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index == kSeqChipId) {
        s.trident_new_mode = 0;
        return;
    }
    if (index == kSeqRevision) return;
    if (banked(index) && !s.trident_new_mode) {
        s.trident_old_mode_regs[index - kSeqModeControl1] = value;
        return;
    }
    s.seq[index] = value;
}

void trident_crtc_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index >= kCrtcFirstExtended && !unprotected(s)) return;
    vga_crtc_write(s, index, value);
}

void trident_port_write(AdapterState& s, std::uint32_t port, std::uint8_t value) {
    if ((port == kPortClockLow || port == kPortClockHigh) && !unprotected(s)) return;
    vga_port_write(s, port, value);
}

std::string trident_lock_state(const AdapterState& s) {
    char text[96];
    std::snprintf(text, sizeof text, "sequencer %s mode, extended registers %s", s.trident_new_mode ? "new" : "old",
                  unprotected(s) ? "writable (SR0E bit 7)" : "protected");
    return text;
}

} // namespace

const FamilyHooks kTridentHooks{trident_power_on,   trident_seq_read,   trident_seq_write, vga_crtc_read,
                                trident_crtc_write, trident_port_write, trident_lock_state, trident_driver_clock, trident_scan_rules};

} // namespace duo::sim
