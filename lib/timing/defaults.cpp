#include "lib/timing/defaults.h"

#include <algorithm>

#include "lib/timing/defaults_data.h"

namespace duo {
namespace {

constexpr int kBlockFirstExtension = kBlockExt1;

} // namespace

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

} // namespace duo
