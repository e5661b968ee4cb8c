#include "lib/core/mode_acceptance.h"

#include "lib/hw/chips.h"

namespace duo {
namespace {

bool common_mode(int bits, int width, int height) {
    bool depth = bits == 8 || bits == 15 || bits == 16 || bits == 24;
    return depth && resolution_index(width, height) >= 0;
}

} // namespace

// A chip without a family has no rules; the others refuse what their row
// names beyond the common rule.
ModeVerdict judge_mode(std::int32_t chip, int bits_per_pixel, int width, int height) {
    const ChipRow* row = chip_row(chip);
    if (!row || row->family == kNoFamily) return ModeVerdict::kUnknownChip;
    if (!common_mode(bits_per_pixel, width, height)) return ModeVerdict::kRefused;
    if (chip_refuses(*row, bits_per_pixel, width)) return ModeVerdict::kRefused;
    return ModeVerdict::kAccepted;
}

} // namespace duo
