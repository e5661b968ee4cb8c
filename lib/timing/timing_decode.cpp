#include "lib/timing/timing_decode.h"

#include "lib/core/state.h"

namespace duo {
namespace {

constexpr int kCrtcHTotal = 0x00, kCrtcVTotal = 0x06, kCrtcOverflow = 0x07, kCrtcVDisplayEnd = 0x12;
// S3 CR5D bit 0: HT bit 8. ET6000 CR35 bits 1/2: VT/VDE bit 10; CR3F bit 0: HT bit 8.
constexpr int kBlockEt6000Ext = kBlockExt1;
constexpr int kBlockEt6000Horiz = kBlockExt2;

constexpr std::int32_t kChipFirstTrio = 0x201, kChipLastTrio = 0x205; // with the 868, which shares their tables
constexpr std::int32_t kChipFirstVirge = 0x206, kChipLastVirge = 0x207;
constexpr std::int32_t kChipGd542x = 0x301;
constexpr std::int32_t kChipTgui9440 = 0x101;

} // namespace

// S3 chips count bytes in their horizontal registers: two character clocks
// per 8 pixels at 15/16 bits per pixel, three at 24 on the Trio class; the
// ViRGE counts pixels at 24 bits. The other families count pixels at every
// depth.
int horizontal_scale(std::int32_t chip, int bits_per_pixel) {
    if (family_of(chip) != kS3) return 1;
    switch (bits_per_pixel) {
    case 15:
    case 16: return 2;
    case 24: return chip >= kChipFirstVirge && chip <= kChipLastVirge ? 1 : 3;
    default: return 1;
    }
}

double clock_per_pixel(std::int32_t chip, int bits_per_pixel) {
    // The TGUI9440 at 15/16 bits runs its CRTC at half the programmed clock
    // (GR0F bit 3, set by the display drivers with the clock doubled).
    if (chip == kChipTgui9440) return bits_per_pixel == 15 || bits_per_pixel == 16 ? 2 : 1;
    if (bits_per_pixel != 24) return 1;
    if (chip >= kChipFirstTrio && chip <= kChipLastTrio) return 1.5;
    if (chip == kChipGd542x) return 3;
    return 1;
}

DecodedTiming decode_timing(std::int32_t chip, int bits_per_pixel, const TimingBlock& block) {
    const std::uint8_t* b = block.bytes;
    const Family family = family_of(chip);
    int ht = b[kCrtcHTotal];
    int vt = b[kCrtcVTotal] | (b[kCrtcOverflow] & 0x01) << 8 | (b[kCrtcOverflow] & 0x20) << 4;
    int vde = b[kCrtcVDisplayEnd] | (b[kCrtcOverflow] & 0x02) << 7 | (b[kCrtcOverflow] & 0x40) << 3;
    if (family == kS3) ht |= (b[kBlockS3ExtHoriz] & 0x01) << 8;
    if (family == kEt6000) {
        ht |= (b[kBlockEt6000Horiz] & 0x01) << 8;
        vt |= (b[kBlockEt6000Ext] & 0x02) << 9;
        vde |= (b[kBlockEt6000Ext] & 0x04) << 8;
    }
    DecodedTiming t{};
    t.h_total_chars = ht + 5;
    t.h_scale = horizontal_scale(chip, bits_per_pixel);
    t.clock_per_pixel = clock_per_pixel(chip, bits_per_pixel);
    t.h_total_px = t.h_total_chars * 8.0 / t.h_scale;
    t.v_total = vt + 2;
    // mach64 and ET6000 count interlaced vertical values per frame; the other
    // families per field, each field half a line longer than its count.
    t.per_frame = family == kMach64 || family == kEt6000;
    t.field_lines = t.per_frame ? t.v_total / 2.0 : t.v_total + 0.5;
    t.shown_lines = t.per_frame ? vde + 1 : 2 * (vde + 1);
    return t;
}

ScanRates scan_rates(const DecodedTiming& timing, double clock_hz) {
    if (timing.h_total_px <= 0 || timing.field_lines <= 0 || timing.clock_per_pixel <= 0) return {0, 0};
    const double line = clock_hz / timing.clock_per_pixel / timing.h_total_px;
    return {line, line / timing.field_lines};
}

} // namespace duo
