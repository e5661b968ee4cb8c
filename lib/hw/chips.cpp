#include "lib/hw/chips.h"

namespace duo {
namespace {
namespace t = clock_index::trident;
namespace s = clock_index::s3;
namespace c = clock_index::cirrus;
namespace r = clock_index::three_resolutions;
namespace m = clock_index::mach64;
constexpr Synthesizer kNoSynth = Synthesizer::kNone;

// Rows ascending by code.
constexpr ChipRow kChips[] = {
    // TGUI9440: 24 bits only at 640x480; at 15/16 bits the CRTC runs at half
    // the programmed clock (GR0F bit 3, set by the drivers with the clock doubled).
    {0x101, kTrident, "Trident 9440", Synthesizer::kTrident, ChipGroup::kTrident101, true, {{16, 640}, {24, 800}}, 2,
     {1, 2, 1}, {1, 1, 1},
     {{t::k101At640, t::k101At640Depth16, t::k101At640Depth24},
      {t::k101At800Depth8, t::k101At800Depth16, t::k101At800Depth24},
      {t::k101At1024Depth8, t::k101At1024Depth16, -1}},
     false},
    {0x102, kTrident, "", Synthesizer::kTridentNew, ChipGroup::kTrident102And105, true, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{t::k102At640, t::k102At640, t::k102At640},
      {t::k102At800, t::k102At800, t::k102At800},
      {t::k102At1024, t::k102At1024, -1}},
     false},
    {0x103, kTrident, "Trident 9680", Synthesizer::kTrident, ChipGroup::kTrident103, true, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{t::k103At640, t::k103At640, t::k103At640Depth24},
      {t::k103At800, t::k103At800, t::k103At800Depth24},
      {t::k103At1024, t::k103At1024, -1}},
     false},
    {0x104, kNoFamily, "", kNoSynth, ChipGroup::kNone, false, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}}, false},
    {0x105, kTrident, "", Synthesizer::kTridentNew, ChipGroup::kTrident102And105, true, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{t::k102At640, t::k102At640, t::k102At640},
      {t::k102At800, t::k102At800, t::k102At800},
      {t::k102At1024, t::k102At1024, -1}},
     false},
    // The Trio class (with the 868, which shares their tables) counts bytes:
    // two character clocks per 8 pixels at 15/16 bits, three at 24, where
    // its DCLK runs at 1.5 times the pixel rate from tables of the depth.
    {0x201, kS3, "S3 732", Synthesizer::kS3, ChipGroup::kS3201To205, true, {}, 0, {1, 1, 1.5}, {1, 2, 3},
     {{s::k640, s::k640, s::k640Depth24}, {s::k800, s::k800, s::k800Depth24}, {s::k1024, s::k1024, -1}}, true},
    {0x202, kS3, "S3 764", Synthesizer::kS3, ChipGroup::kS3201To205, true, {}, 0, {1, 1, 1.5}, {1, 2, 3},
     {{s::k640, s::k640, s::k640Depth24}, {s::k800, s::k800, s::k800Depth24}, {s::k1024, s::k1024, -1}}, true},
    {0x203, kS3, "S3 765", Synthesizer::kS3, ChipGroup::kS3201To205, true, {}, 0, {1, 1, 1.5}, {1, 2, 3},
     {{s::k640, s::k640, s::k640Depth24}, {s::k800, s::k800, s::k800Depth24}, {s::k1024, s::k1024, -1}}, true},
    {0x204, kS3, "", Synthesizer::kS3, ChipGroup::kS3201To205, true, {}, 0, {1, 1, 1.5}, {1, 2, 3},
     {{s::k640, s::k640, s::k640Depth24}, {s::k800, s::k800, s::k800Depth24}, {s::k1024, s::k1024, -1}}, true},
    {0x205, kS3, "S3 868", Synthesizer::kS3, ChipGroup::kS3201To205, true, {}, 0, {1, 1, 1.5}, {1, 2, 3},
     {{s::k640, s::k640, s::k640Depth24}, {s::k800, s::k800, s::k800Depth24}, {s::k1024, s::k1024, -1}}, true},
    // The ViRGE counts pixels at 24 bits.
    {0x206, kS3, "S3 ViRGE", Synthesizer::kS3, ChipGroup::kS3206And207, false, {}, 0, {1, 1, 1}, {1, 2, 1},
     {{s::k640, s::k640, s::k640}, {s::k800, s::k800, s::k800}, {s::k1024, s::k1024, s::k1024}}, false},
    {0x207, kS3, "", Synthesizer::kS3, ChipGroup::kS3206And207, false, {}, 0, {1, 1, 1}, {1, 2, 1},
     {{s::k640, s::k640, s::k640}, {s::k800, s::k800, s::k800}, {s::k1024, s::k1024, s::k1024}}, false},
    // The GD542x runs its VCLK at three times the pixel rate at 24 bits.
    {0x301, kCirrus, "Cirrus 542x", Synthesizer::kCirrus, ChipGroup::kCirrus301To303, true, {}, 0, {1, 1, 3}, {1, 1, 1},
     {{c::k301At640, c::k301At640, c::k301At640Depth24}, {c::k301At800, c::k301At800, c::k301At800Depth24},
      {c::k301At1024, c::k301At1024, -1}},
     false},
    {0x302, kCirrus, "Cirrus 543x", Synthesizer::kCirrus, ChipGroup::kCirrus301To303, true, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{c::k301At640, c::k301At640, c::k301At640}, {c::k301At800, c::k301At800, c::k301At800},
      {c::k301At1024, c::k301At1024, c::k301At1024}},
     false},
    {0x303, kCirrus, "Cirrus 544x", Synthesizer::kCirrus, ChipGroup::kCirrus301To303, true, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{c::k301At640, c::k301At640, c::k301At640}, {c::k301At800, c::k301At800, c::k301At800},
      {c::k301At1024, c::k301At1024, c::k301At1024}},
     false},
    {0x304, kCirrus, "", Synthesizer::kCirrus304, ChipGroup::kCirrus304, false, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{c::k304At640, c::k304At640, c::k304At640}, {c::k304At800, c::k304At800, c::k304At800},
      {c::k304At1024, c::k304At1024, c::k304At1024}},
     false},
    // The mach64 has a 24-bit 1024x768 record but refuses the mode.
    {0x401, kMach64, "ATI mach64", Synthesizer::kMach64, ChipGroup::kMach64, false, {{24, 1024}}, 1,
     {1, 1, 1}, {1, 1, 1},
     {{m::k640, m::k640Packed, m::k640Packed}, {m::k800, m::k800, m::k800}, {m::k1024, m::k1024, m::k1024}}, false},
    {0x402, kNoFamily, "ATI mach32", kNoSynth, ChipGroup::kNone, false, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}}, false},
    {0x501, kEt6000, "ET6000", Synthesizer::kEt6000, ChipGroup::kEt6000, false, {}, 0, {1, 1, 1}, {1, 1, 1},
     {{r::k640, r::k640, r::k640}, {r::k800, r::k800, r::k800}, {r::k1024, r::k1024, r::k1024}}, false},
};

} // namespace

const ChipRow* chip_row(std::int32_t chip) {
    for (const ChipRow& row : kChips)
        if (row.code == chip) return &row;
    return nullptr;
}

std::span<const ChipRow> chip_rows() { return kChips; }

Family family_of(std::int32_t chip) {
    const ChipRow* row = chip_row(chip);
    return row ? row->family : kNoFamily;
}

const char* chip_name_of(std::int32_t chip) {
    const ChipRow* row = chip_row(chip);
    return row ? row->name : "";
}

Synthesizer synthesizer_of(std::int32_t chip) {
    const ChipRow* row = chip_row(chip);
    return row ? row->synthesizer : Synthesizer::kNone;
}

ChipGroup chip_group_of(std::int32_t chip) {
    const ChipRow* row = chip_row(chip);
    return row ? row->group : ChipGroup::kNone;
}

std::int32_t first_chip_of(ChipGroup group) {
    if (group == ChipGroup::kNone) return 0;
    for (const ChipRow& row : kChips)
        if (row.group == group) return row.code;
    return 0;
}

bool chip_refuses(const ChipRow& row, int bits_per_pixel, int width) {
    if (row.no_deep_1024 && bits_per_pixel == 24 && width == 1024) return true;
    for (int i = 0; i < row.refusal_count; ++i)
        if (row.refusals[i].bits_per_pixel == bits_per_pixel && row.refusals[i].width == width) return true;
    return false;
}

bool deep_1024_withheld(std::int32_t chip, int bits_per_pixel, int width, int height) {
    const ChipRow* row = chip_row(chip);
    return row && row->no_deep_1024 && bits_per_pixel == 24 && width == 1024 && height == 768;
}

int clock_table_for(std::int32_t chip, int bits_per_pixel, int width, int height) {
    const ChipRow* row = chip_row(chip);
    const DepthClass depth = depth_class_of(bits_per_pixel);
    const int res = resolution_index(width, height);
    if (!row || depth == kNoDepthClass || res < 0) return -1;
    return row->clock_table[res][depth];
}

bool uses_resolution_clock_table(std::int32_t chip) {
    const ChipRow* row = chip_row(chip);
    return row && row->resolution_clock_table;
}

int horizontal_scale(std::int32_t chip, int bits_per_pixel) {
    const ChipRow* row = chip_row(chip);
    const DepthClass depth = depth_class_of(bits_per_pixel);
    return row && depth != kNoDepthClass ? row->horizontal_scale[depth] : 1;
}

double clock_per_pixel(std::int32_t chip, int bits_per_pixel) {
    const ChipRow* row = chip_row(chip);
    const DepthClass depth = depth_class_of(bits_per_pixel);
    return row && depth != kNoDepthClass ? row->clocks_per_pixel[depth] : 1;
}

} // namespace duo
