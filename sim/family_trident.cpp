// Trident TGUI9440, 96xx and ProVidia 9685: identification through the
// sequencer, the sequencer's old/new register banks, the extended register
// lock, and two clock codes.
//
// Reading of the chip chosen here, after the emulator and display driver
// sources named in docs/chips.md: reading SR0B answers the chip id and
// switches the sequencer to the new-mode bank, writing SR0B switches it to the
// old-mode bank; SR0D and SR0E exist once per bank. A new-mode SR0E write
// stores the value with bit 1 inverted. In new mode, while SR0E bit 7 is
// clear, writes to CR21, CR29, CR2A, CR38, CR39, CR3B and CR3C are ignored;
// nothing else is locked. SR11 is a plain register on these chips. SR0B and
// SR09 (revision) are read-only. GR0F bit 3 runs the CRTC at half the
// programmed clock, bit 6 at a third.
#include <cstdio>

#include "sim/clock_synth.h"
#include "sim/driver_requests.h"
#include "sim/family.h"

namespace duo::sim {
namespace {

constexpr std::uint8_t kSeqRevision = 0x09;
constexpr std::uint8_t kSeqChipId = 0x0B;
constexpr std::uint8_t kSeqModeControl2 = 0x0D; // bits 1-2: clock dividers
constexpr std::uint8_t kSeqModeControl1 = 0x0E; // new mode bit 7: extended registers writable
constexpr std::uint8_t kSeqProtection = 0x11;   // a lock only on chips after the 9685
constexpr std::uint8_t kInvertedOnWrite = 0x02;
constexpr std::uint8_t kUnprotectBit = 0x80;
constexpr std::uint8_t kLockedCrtc[] = {0x21, 0x29, 0x2A, 0x38, 0x39, 0x3B, 0x3C};
constexpr std::uint32_t kPortClockLow = 0x43C8, kPortClockHigh = 0x43C9;
constexpr std::uint8_t kCrtcModuleTesting = 0x1E; // bit 2: interlace; bit 7 set by the display drivers
constexpr std::uint8_t kCrtcOffsetHigh = 0x29;    // bit 4: offset bit 8; bit 5: offset bit 9 on the 96xx
constexpr std::uint8_t kInterlaceBit = 0x04;
constexpr std::uint8_t kGraphicsMiscExtFunc = 0x0F; // bit 3: clock / 2, bit 6: clock / 3
constexpr std::uint8_t kChipId9440 = 0xE3;
constexpr std::uint8_t kRevision9685 = 0x21;

bool banked(std::uint8_t index) { return index == kSeqModeControl2 || index == kSeqModeControl1; }

bool locked(const AdapterState& s, std::uint8_t index) {
    if (!s.trident_new_mode || (s.seq[kSeqModeControl1] & kUnprotectBit)) return false;
    for (std::uint8_t i : kLockedCrtc)
        if (i == index) return true;
    return false;
}

bool is_9440(const AdapterState& s) { return s.seq[kSeqChipId] == kChipId9440; }

// The third byte is SR0D bits 1-2, of which the first halves the clock.
double halving(const ClockRegs& c) { return (c.r[2] & 1) ? 2.0 : 1.0; }

// Older clock code (9440, 96xx): the word at ports 0x43C8 (low) and 0x43C9
// holds N in bits 0-6, M in bits 7-11 and K in bit 12,
// f = R (N + 8) / ((M + 2) 2^K).
double trident_clock_hz(const ClockRegs& c) {
    const unsigned word = c.r[0] | c.r[1] << 8;
    const unsigned n = word & 0x7F, m = (word >> 7) & 0x1F, k = (word >> 12) & 1;
    return kCrystalHz * (n + 8) / ((m + 2) * (1 << k) * halving(c));
}

// Newer clock code (ProVidia 9685): N is all of port 0x43C8, M bits 0-5 of
// port 0x43C9 and K its bits 6-7; the same formula.
double trident_new_clock_hz(const ClockRegs& c) {
    const unsigned n = c.r[0], m = c.r[1] & 0x3F, k = (c.r[1] >> 6) & 3;
    return kCrystalHz * (n + 8) / ((m + 2) * (1 << k) * halving(c));
}

ClockFormula clock_formula(const AdapterState& s) {
    return s.seq[kSeqRevision] == kRevision9685 && !is_9440(s) ? trident_new_clock_hz : trident_clock_hz;
}

// What the CRTC divides the programmed clock by (GR0F).
int crtc_clock_divisor(const AdapterState& s) {
    const std::uint8_t ext = s.graphics[kGraphicsMiscExtFunc];
    return (ext & 0x08) ? 2 : (ext & 0x40) ? 3 : 1;
}

void trident_power_on(AdapterState& s, const AdapterModel& model) {
    s.seq[kSeqChipId] = model.trident.chip_id;
    s.seq[kSeqRevision] = model.trident.revision;
    // The display driver's last access was a write of SR0B: old mode.
    s.trident_new_mode = 0;
    // GR0F as the display drivers set it; the 9440 at 15/16 bits runs its
    // CRTC at half a doubled clock.
    const bool halved_crtc = is_9440(s) && (s.mode.bits_per_pixel == 15 || s.mode.bits_per_pixel == 16);
    s.graphics[kGraphicsMiscExtFunc] =
        static_cast<std::uint8_t>(0x02 | desktop_bits(s, 0x14) | (halved_crtc ? 0x08 : 0x00));
    // The desktop clock on the programmable synthesizer (clock select 2).
    const ClockRegs desktop = nearest_regs(clock_formula(s), s.clock_hz[2] * crtc_clock_divisor(s), 2);
    s.ports[kPortClockLow] = desktop.r[0];
    s.ports[kPortClockHigh] = desktop.r[1];
    s.seq[kSeqModeControl2] = static_cast<std::uint8_t>(desktop_bits(s, 0xF9) | (desktop.r[2] << 1));
    s.misc_output = with_clock_select(s.misc_output, 2);
    // The rest of both SR0E banks, the plain SR11, and the display driver's
    // bits beside the interlace bit and beside the offset bits.
    s.seq[kSeqModeControl1] = desktop_bits(s, 0x4F);
    s.trident_old_mode_regs[0] = desktop_bits(s, 0xFF);
    s.trident_old_mode_regs[1] = desktop_bits(s, 0xFF);
    s.seq[kSeqProtection] = desktop_bits(s, 0xFF);
    s.crtc[kCrtcModuleTesting] = static_cast<std::uint8_t>(0x80 | desktop_bits(s, 0x7B));
    const std::uint8_t offset_bits = is_9440(s) ? 0x10 : 0x30;
    s.crtc[kCrtcOffsetHigh] = static_cast<std::uint8_t>(desktop_bits(s, static_cast<std::uint8_t>(~offset_bits)) |
                                                        ((s.crtc[0x13] >> 4) & offset_bits));
}

// Code 7: the clock word and the divide-by-two bit, on clock select 2.
bool trident_driver_clock(AdapterState& s, std::uint32_t code, const void* in, std::uint32_t in_size, void*,
                          std::uint32_t) {
    std::uint32_t b[3];
    if (code != gate::kCodeTridentClock || !gate::fields(in, in_size, 3, b)) return false;
    s.ports[kPortClockLow] = static_cast<std::uint8_t>(b[0]);
    s.ports[kPortClockHigh] = static_cast<std::uint8_t>(b[1]);
    s.seq[kSeqModeControl2] = static_cast<std::uint8_t>((s.seq[kSeqModeControl2] & ~0x06) | ((b[2] & 3) << 1));
    s.misc_output = with_clock_select(s.misc_output, 2);
    return true;
}

ScanRules trident_scan_rules(const AdapterState& s) {
    ScanRules rules = vga_scan_rules(s);
    if (((s.misc_output >> 2) & 3) == 2) {
        const ClockRegs running{{s.ports[kPortClockLow], s.ports[kPortClockHigh],
                                 static_cast<std::uint8_t>((s.seq[kSeqModeControl2] >> 1) & 3)}};
        rules.pixel_clock_hz = clock_formula(s)(running);
    }
    rules.pixel_clock_hz /= crtc_clock_divisor(s);
    rules.interlaced = (s.crtc[kCrtcModuleTesting] & kInterlaceBit) != 0;
    const std::uint8_t high = s.crtc[kCrtcOffsetHigh];
    rules.offset_high = (high & 0x10) << 4 | (is_9440(s) ? 0 : (high & 0x20) << 4);
    return rules;
}

std::uint8_t trident_seq_read(AdapterState& s, std::uint8_t index) {
    if (index == kSeqChipId) s.trident_new_mode = 1;
    if (banked(index) && !s.trident_new_mode) return s.trident_old_mode_regs[index - kSeqModeControl2];
    return s.seq[index];
}

void trident_seq_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (index == kSeqChipId) {
        s.trident_new_mode = 0;
        return;
    }
    if (index == kSeqRevision) return;
    if (banked(index) && !s.trident_new_mode) {
        s.trident_old_mode_regs[index - kSeqModeControl2] = value;
        return;
    }
    s.seq[index] = index == kSeqModeControl1 ? static_cast<std::uint8_t>(value ^ kInvertedOnWrite) : value;
}

void trident_crtc_write(AdapterState& s, std::uint8_t index, std::uint8_t value) {
    if (locked(s, index)) return;
    vga_crtc_write(s, index, value);
}

std::string trident_lock_state(const AdapterState& s) {
    char text[96];
    std::snprintf(text, sizeof text, "sequencer %s mode, extended registers %s", s.trident_new_mode ? "new" : "old",
                  !s.trident_new_mode || (s.seq[kSeqModeControl1] & kUnprotectBit) ? "writable" : "protected");
    return text;
}

} // namespace

const FamilyHooks kTridentHooks{trident_power_on,   trident_seq_read, trident_seq_write,  vga_crtc_read,
                                trident_crtc_write, vga_port_write,   trident_lock_state, trident_driver_clock,
                                trident_scan_rules};

} // namespace duo::sim
