// Cirrus Logic GD542x, 543x, 544x and the PCI 0x00D6 member: identification
// through CR27, and the extension lock SR06.
//
// Reading of the chip chosen here: writing 0x12 to SR06 unlocks the extension
// registers and SR06 then reads 0x12; any other value locks them and SR06
// reads 0x0F. While locked, the extension sequencer registers SR07-SR1F and
// the extension CRTC registers CR19-CR1D ignore writes and read back what they
// held. The chip id CR27 is read-only and answers whether locked or not.
#include "sim/clock_synth.h"
#include "sim/driver_requests.h"
#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint8_t kSeqUnlock = 0x06;
constexpr std::uint8_t kUnlockKey = 0x12, kLockedValue = 0x0F;
constexpr std::uint8_t kSeqFirstExtension = 0x07, kSeqLastExtension = 0x1F;
constexpr std::uint8_t kCrtcFirstExtension = 0x19, kCrtcLastExtension = 0x1D;
constexpr std::uint8_t kCrtcChipId = 0x27;
constexpr std::uint8_t kSeqVclkNumerator = 0x0B, kSeqVclkDenominator = 0x1B; // VCLK0-3
constexpr std::uint8_t kCrtcMiscControl = 0x1A;                             // bit 0: interlace
constexpr std::uint8_t kInterlaceBit = 0x01;

bool unlocked(const AdapterState& s) { return s.seq[kSeqUnlock] == kUnlockKey; }

// VCLKn: the numerator byte holds the multiplier in bits 0-6; the
// denominator byte the divisor in bits 1-5 and a post-divide by 2 in bit 0.
// f = R num / (div (bit 0 ? 2 : 1)); a divisor of 0 stops the clock.
double cirrus_vclk_hz(const ClockRegs& c) {
    const unsigned num = c.r[0] & 0x7F, div = (c.r[1] >> 1) & 0x1F;
    if (div == 0) return 0;
    return kCrystalHz * num / (div * ((c.r[1] & 1) ? 2.0 : 1.0));
}

// On the PCI 0x00D6 chip the two VCLK register banks trade roles: SR1B-SR1E
// hold the numerators and SR0B-SR0E the denominators (with the post-divide
// bit). Its tuned clock table, which the library writes to them in that
// order, only rises with the frequency read this way.
bool swapped_vclk_banks(const AdapterModel* model) {
    return model && model->pci.vendor == 0x1013 && model->pci.device == 0x00D6;
}

std::uint8_t numerator_reg(const AdapterModel* model, int n) {
    return static_cast<std::uint8_t>((swapped_vclk_banks(model) ? kSeqVclkDenominator : kSeqVclkNumerator) + n);
}

std::uint8_t denominator_reg(const AdapterModel* model, int n) {
    return static_cast<std::uint8_t>((swapped_vclk_banks(model) ? kSeqVclkNumerator : kSeqVclkDenominator) + n);
}

void cirrus_power_on(AdapterState& s, const AdapterModel& model) {
    s.seq[kSeqUnlock] = kLockedValue;
    s.crtc[kCrtcChipId] = model.cirrus.chip_id;
    // VCLK0-3 are all programmable; the desktop runs on VCLK3.
    const double vclk[4] = {25.175e6, 28.322e6, 41.164e6, s.clock_hz[3]};
    for (int n = 0; n < 4; ++n) {
        const ClockRegs c = nearest_regs(cirrus_vclk_hz, vclk[n]);
        s.seq[numerator_reg(&model, n)] = c.r[0];
        s.seq[denominator_reg(&model, n)] = c.r[1];
    }
    s.misc_output = with_clock_select(s.misc_output, 3);
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


// Code 11 programs VCLK0 and selects it.
bool cirrus_driver_clock(AdapterState& s, std::uint32_t code, const void* in, std::uint32_t in_size, void*,
                         std::uint32_t) {
    std::uint32_t b[3];
    if (code != gate::kCodeCirrusClock || !gate::fields(in, in_size, 3, b)) return false;
    s.seq[kSeqVclkNumerator] = static_cast<std::uint8_t>(b[0]);
    s.seq[kSeqVclkDenominator] = static_cast<std::uint8_t>(b[1]);
    s.misc_output = with_clock_select(s.misc_output, 0);
    return true;
}

ScanRules cirrus_scan_rules(const AdapterState& s) {
    ScanRules rules = vga_scan_rules(s);
    const int n = (s.misc_output >> 2) & 3;
    const AdapterModel* model = model_of(s);
    rules.pixel_clock_hz = cirrus_vclk_hz({{s.seq[numerator_reg(model, n)], s.seq[denominator_reg(model, n)], 0}});
    rules.interlaced = (s.crtc[kCrtcMiscControl] & kInterlaceBit) != 0;
    return rules;
}

} // namespace

const FamilyHooks kCirrusHooks{cirrus_power_on,   vga_seq_read,   cirrus_seq_write, vga_crtc_read,
                               cirrus_crtc_write, vga_port_write, cirrus_lock_state, cirrus_driver_clock, cirrus_scan_rules};

} // namespace duo::sim
