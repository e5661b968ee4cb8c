#include "lib/hw/chips.h"

namespace duo {

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
    for (const ChipRow& row : chip_rows::kChips)
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
