#include "lib/core/mode_acceptance.h"

namespace duo {
namespace {

// Refusals beyond the common rule, per chip: a depth together with a width.
struct Refusal {
    int bits_per_pixel;
    int width;
};

struct ChipRule {
    std::int32_t first_chip, last_chip;
    Refusal refusals[3];
    int count;
};

constexpr ChipRule kRules[] = {
    {0x101, 0x101, {{16, 640}, {24, 800}, {24, 1024}}, 3}, // 24 bits only at 640x480
    {0x102, 0x103, {{24, 1024}}, 1},
    {0x105, 0x105, {{24, 1024}}, 1},
    {0x201, 0x205, {{24, 1024}}, 1},
    {0x206, 0x207, {}, 0},
    {0x301, 0x303, {{24, 1024}}, 1},
    {0x304, 0x304, {}, 0},
    {0x401, 0x401, {{24, 1024}}, 1},
    {0x501, 0x501, {}, 0},
};

const ChipRule* rule_for(std::int32_t chip) {
    for (const ChipRule& rule : kRules)
        if (chip >= rule.first_chip && chip <= rule.last_chip) return &rule;
    return nullptr;
}

bool common_mode(int bits, int width, int height) {
    bool depth = bits == 8 || bits == 15 || bits == 16 || bits == 24;
    bool resolution = (width == 640 && height == 480) || (width == 800 && height == 600) ||
                      (width == 1024 && height == 768);
    return depth && resolution;
}

} // namespace

ModeVerdict judge_mode(std::int32_t chip, int bits_per_pixel, int width, int height) {
    const ChipRule* rule = rule_for(chip);
    if (!rule) return ModeVerdict::kUnknownChip;
    if (!common_mode(bits_per_pixel, width, height)) return ModeVerdict::kRefused;
    for (int i = 0; i < rule->count; ++i)
        if (rule->refusals[i].bits_per_pixel == bits_per_pixel && rule->refusals[i].width == width)
            return ModeVerdict::kRefused;
    return ModeVerdict::kAccepted;
}

} // namespace duo
