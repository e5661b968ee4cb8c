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

bool banked(std::uint8_t index) { return index == kSeqModeControl1 || index == kSeqModeControl2; }

bool unprotected(const AdapterState& s) { return (s.seq[kSeqModeControl2] & kUnprotectBit) != 0; }

void trident_power_on(AdapterState& s, const AdapterModel& model) {
    s.seq[kSeqChipId] = model.trident.chip_id;
    s.seq[kSeqRevision] = model.trident.revision;
    // The display driver's last access was a write of SR0B: old mode,
    // extended registers protected.
    s.trident_new_mode = 0;
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
                                trident_crtc_write, trident_port_write, trident_lock_state};

} // namespace duo::sim
