#include "lib/timing/timing_decode.h"

#include "lib/hw/vga_registers.h"

namespace duo {
namespace {

// S3 CR5D bit 0: HT bit 8. ET6000 CR35 bits 1/2: VT/VDE bit 10; CR3F bit 0: HT bit 8.
constexpr int kBlockEt6000Ext = kBlockExt1;
constexpr int kBlockEt6000Horiz = kBlockExt2;

} // namespace

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
