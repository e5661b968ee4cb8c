// Cirrus Logic GD542x, 543x, 544x and the PCI 0x00D6 member: identification
// through CR27, and the extension lock SR06.
//
// Reading of the chip chosen here: writing 0x12 to SR06 unlocks the extension
// registers and SR06 then reads 0x12; any other value locks them and SR06
// reads 0x0F. While locked, the extension sequencer registers SR07-SR1F and
// the extension CRTC registers CR19-CR1D ignore writes and read back what they
// held. The chip id CR27 is read-only and answers whether locked or not.
#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint8_t kSeqUnlock = 0x06;
constexpr std::uint8_t kUnlockKey = 0x12, kLockedValue = 0x0F;
constexpr std::uint8_t kSeqFirstExtension = 0x07, kSeqLastExtension = 0x1F;
constexpr std::uint8_t kCrtcFirstExtension = 0x19, kCrtcLastExtension = 0x1D;
constexpr std::uint8_t kCrtcChipId = 0x27;

bool unlocked(const AdapterState& s) { return s.seq[kSeqUnlock] == kUnlockKey; }

void cirrus_power_on(AdapterState& s, const AdapterModel& model) {
    s.seq[kSeqUnlock] = kLockedValue;
    s.crtc[kCrtcChipId] = model.cirrus.chip_id;
}

void cirrus_seq_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index == kSeqUnlock) {
        s.seq[index] = value == kUnlockKey ? kUnlockKey : kLockedValue;
        return;
    }
    if (index >= kSeqFirstExtension && index <= kSeqLastExtension && !unlocked(s)) return;
    s.seq[index] = value;
}

void cirrus_crtc_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index == kCrtcChipId) return;
    if (index >= kCrtcFirstExtension && index <= kCrtcLastExtension && !unlocked(s)) return;
    vga_crtc_write(s, index, value);
}

std::string cirrus_lock_state(const AdapterState& s) {
    return unlocked(s) ? "extension registers unlocked (SR06 = 12)" : "extension registers locked (SR06 = 0F)";
}

} // namespace

const FamilyHooks kCirrusHooks{cirrus_power_on,   vga_seq_read,   cirrus_seq_write, vga_crtc_read,
                               cirrus_crtc_write, vga_port_write, cirrus_lock_state};

} // namespace duo::sim
