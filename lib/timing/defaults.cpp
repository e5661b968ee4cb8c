#include "lib/timing/defaults.h"

#include <algorithm>

#include "lib/timing/defaults_data.h"

namespace duo {
namespace {

constexpr int kBlockFirstExtension = kBlockExt1;

// 0, 1, 2 for 640x480, 800x600, 1024x768; -1 for any other resolution.
int resolution_index(int width, int height) {
    if (width == 640 && height == 480) return 0;
    if (width == 800 && height == 600) return 1;
    if (width == 1024 && height == 768) return 2;
    return -1;
}

int trident_table(std::int32_t chip, DepthClass depth, int res) {
    namespace t = defaults_data::trident;
    const bool deep = depth == kDepth24;
    switch (chip) {
    case 0x101: {
        constexpr int by_depth[3][3] = {{t::k101At640, t::k101At640Depth16, t::k101At640Depth24},
                                        {t::k101At800Depth8, t::k101At800Depth16, t::k101At800Depth24},
                                        {t::k101At1024Depth8, t::k101At1024Depth16, -1}};
        return by_depth[res][depth];
    }
    case 0x102:
    case 0x105: {
        constexpr int by_res[3] = {t::k102At640, t::k102At800, t::k102At1024};
        return res == 2 && deep ? -1 : by_res[res];
    }
    case 0x103: {
        constexpr int by_res[3][2] = {
            {t::k103At640, t::k103At640Depth24}, {t::k103At800, t::k103At800Depth24}, {t::k103At1024, -1}};
        return by_res[res][deep ? 1 : 0];
    }
    default: return -1;
    }
}

// Chip 0x301 runs its VCLK at three times the pixel rate at 24 bits.
int cirrus_table(std::int32_t chip, DepthClass depth, int res) {
    namespace c = defaults_data::cirrus;
    if (chip == 0x304) return c::k304At640 + res;
    if (chip == 0x301 && depth == kDepth24) {
        constexpr int deep[3] = {c::k301At640Depth24, c::k301At800Depth24, -1};
        return deep[res];
    }
    return res;
}

int s3_table(std::int32_t chip, DepthClass depth, int res) {
    namespace s = defaults_data::s3;
    if (chip >= 0x201 && chip <= 0x205) {
        if (depth != kDepth24) return res;
        constexpr int deep[3] = {s::k640Depth24, s::k800Depth24, -1};
        return deep[res];
    }
    return res; // 0x206, 0x207
}

} // namespace

ChipGroup chip_group_of(std::int32_t chip) {
    switch (chip) {
    case 0x101: return ChipGroup::kTrident101;
    case 0x102:
    case 0x105: return ChipGroup::kTrident102And105;
    case 0x103: return ChipGroup::kTrident103;
    case 0x201:
    case 0x202:
    case 0x203:
    case 0x204:
    case 0x205: return ChipGroup::kS3201To205;
    case 0x206:
    case 0x207: return ChipGroup::kS3206And207;
    case 0x301:
    case 0x302:
    case 0x303: return ChipGroup::kCirrus301To303;
    case 0x304: return ChipGroup::kCirrus304;
    case 0x401: return ChipGroup::kMach64;
    case 0x501: return ChipGroup::kEt6000;
    default: return ChipGroup::kNone;
    }
}

std::int32_t first_chip_of(ChipGroup group) {
    constexpr std::int32_t kFirst[] = {0x101, 0x102, 0x103, 0x201, 0x206, 0x301, 0x304, 0x401, 0x501, 0};
    return kFirst[static_cast<int>(group)];
}

std::span<const RecordEntry> default_records(Family family) {
    switch (family) {
    case kTrident: return defaults_data::trident_records();
    case kS3: return defaults_data::s3_records();
    case kCirrus: return defaults_data::cirrus_records();
    case kMach64: return defaults_data::mach64_records();
    case kEt6000: return defaults_data::et6000_records();
    default: return {};
    }
}

std::span<const ClockTable> clock_tables(Family family) {
    switch (family) {
    case kTrident: return defaults_data::trident_clock_tables();
    case kS3: return defaults_data::s3_clock_tables();
    case kCirrus: return defaults_data::cirrus_clock_tables();
    case kMach64: return defaults_data::mach64_clock_tables();
    case kEt6000: return defaults_data::et6000_clock_tables();
    default: return {};
    }
}

const TimingRecord* default_record(std::int32_t chip, int width, int height, DepthClass depth) {
    const ChipGroup group = chip_group_of(chip);
    if (group == ChipGroup::kNone) return nullptr;
    for (const RecordEntry& e : default_records(family_of(chip))) {
        if (e.group == group && (e.only_chip == 0 || e.only_chip == chip) && e.width == width && e.height == height &&
            e.depth == depth)
            return &e.record;
    }
    return nullptr;
}

void copy_record(std::int32_t chip, const TimingRecord& record, TimingBlock& block) {
    std::copy(std::begin(record.crtc), std::end(record.crtc), block.bytes);
    if (family_of(chip) == kS3) {
        std::fill(block.bytes + kBlockFirstExtension, block.bytes + kBlockS3RetraceStart, 0);
        std::copy(std::begin(record.ext), std::end(record.ext), block.bytes + kBlockS3RetraceStart);
    } else {
        block.bytes[kBlockFirstExtension] = record.ext[0];
        block.bytes[kBlockFirstExtension + 1] = record.ext[1];
    }
}

int clock_table_for(std::int32_t chip, int bits_per_pixel, int width, int height) {
    const DepthClass depth = depth_class_of(bits_per_pixel);
    const int res = resolution_index(width, height);
    if (depth == kNoDepthClass || res < 0) return -1;
    switch (family_of(chip)) {
    case kTrident: return trident_table(chip, depth, res);
    case kS3: return s3_table(chip, depth, res);
    case kCirrus: return cirrus_table(chip, depth, res);
    case kMach64:
    case kEt6000: return res;
    default: return -1;
    }
}


} // namespace duo
