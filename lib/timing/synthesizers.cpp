#include "lib/timing/synthesizers.h"

namespace duo {
namespace {

// A synthesizer reading: oscillator frequency and the post-divider after it.
struct Parts {
    double vco, post;
};

bool all_zero(const ClockSetting& s) { return s.b[0] == 0 && s.b[1] == 0 && s.b[2] == 0; }

// Trident, older clock code (TGUI9440, 96xx): word = b0 | b1 << 8; N = bits
// 0-6, M = bits 7-11, K = bit 12; f = R (N + 8) / ((M + 2) 2^K), halved again
// when bit 0 of b2 (SEQ 0x0D bit 1) is set. Bits 13-15 select nothing.
Parts trident(const ClockSetting& s) {
    const unsigned word = s.b[0] | (s.b[1] << 8);
    const unsigned n = word & 0x7F, m = (word >> 7) & 0x1F, k = (word >> 12) & 1;
    const double post = (1 << k) * ((s.b[2] & 1) ? 2.0 : 1.0);
    return {kReferenceHz * (n + 8) / (m + 2), post};
}

// Trident, newer clock code (ProVidia 9685): N is all of b0, M bits 0-5 of
// b1, K bits 6-7; same formula. The tuned chip 0x102/0x105 640x480 row
// (3C..53 48 01) reads so 0-2 % below its nominal rates.
Parts trident_new(const ClockSetting& s) {
    const unsigned n = s.b[0], m = s.b[1] & 0x3F, k = (s.b[1] >> 6) & 3;
    const double post = (1 << k) * ((s.b[2] & 1) ? 2.0 : 1.0);
    return {kReferenceHz * (n + 8) / (m + 2), post};
}

// S3 DCLK: N1 = SEQ 0x12 bits 0-4, R = bits 5-6, M = SEQ 0x13 bits 0-6;
// f = R (M + 2) / ((N1 + 2) 2^R). "61 1E" gives 19.09 MHz.
Parts s3(const ClockSetting& s) {
    const unsigned n1 = s.b[0] & 0x1F, r = (s.b[0] >> 5) & 3, m = s.b[1] & 0x7F;
    return {kReferenceHz * (m + 2) / (n1 + 2), static_cast<double>(1 << r)};
}

// Cirrus VCLK: numerator bits 0-6; denominator byte bits 1-5 divide, bit 0
// post-divides by 2; f = R num / (div (bit0 ? 2 : 1)). A divisor of 0 gives
// no clock.
Parts cirrus(std::uint8_t numerator, std::uint8_t denominator) {
    const unsigned num = numerator & 0x7F, div = (denominator >> 1) & 0x1F;
    if (div == 0) return {0, 1};
    return {kReferenceHz * num / div, (denominator & 1) ? 2.0 : 1.0};
}

// mach64 PLL: f = 2 R N / (M P) with P = 1, 2, 4, 8 for post-divider codes
// 0-3. The tables are worked out for M = 0x2D; the card keeps the desktop's
// M (the memory clock shares it) and the library scales N to it when it
// writes a table clock.
constexpr double kMach64ReferenceDivider = 0x2D;
Parts mach64(const ClockSetting& s) {
    return {2.0 * kReferenceHz * s.b[1] / kMach64ReferenceDivider, static_cast<double>(1 << (s.b[0] & 3))};
}

// ET6000: the bytes hold M - 2 and N1 - 2, so f = R (b0 + 2) / ((n + 2) 2^N2)
// with n = b1 bits 0-4 and N2 = b1 bits 5-6.
Parts et6000(const ClockSetting& s) {
    const unsigned m = s.b[0] & 0x7F, n1 = s.b[1] & 0x1F, n2 = (s.b[1] >> 5) & 3;
    return {kReferenceHz * (m + 2) / (n1 + 2), static_cast<double>(1 << n2)};
}

Parts parts_of(Synthesizer synth, const ClockSetting& s) {
    switch (synth) {
    case Synthesizer::kTrident: return trident(s);
    case Synthesizer::kTridentNew: return trident_new(s);
    case Synthesizer::kS3: return s3(s);
    case Synthesizer::kCirrus: return cirrus(s.b[0], s.b[1]);
    // Chip 0x304 keeps its bytes in the order of its clock write: byte 0 goes
    // to SEQ 0x1B+s, byte 1 to SEQ 0x0B+s. Its tuned 640x480 row (4E 33 EF ..
    // 67 33 EF) only rises through clocks near the nominal rates when byte 0
    // is the numerator and byte 1 (0x33: divisor 25, post-divide by 2) the
    // denominator, so every 0x304 table is read, and computed, that way.
    case Synthesizer::kCirrus304: return cirrus(s.b[0], s.b[1]);
    case Synthesizer::kMach64: return mach64(s);
    case Synthesizer::kEt6000: return et6000(s);
    case Synthesizer::kNone: break;
    }
    return {0, 1};
}

} // namespace

double vco_hz(Synthesizer synth, const ClockSetting& setting) {
    if (all_zero(setting)) return 0;
    return parts_of(synth, setting).vco;
}

double pixel_clock_hz(Synthesizer synth, const ClockSetting& setting) {
    if (all_zero(setting)) return 0;
    const Parts p = parts_of(synth, setting);
    return p.vco / p.post;
}

} // namespace duo
