// The read-only defaults built into the library: one timing record per chip
// group, resolution and depth class, and the clock tables of each family.
// The data lives in one file per family (defaults_<family>.cpp).
#pragma once
#include <cstdint>
#include <span>

#include "lib/hw/chips.h"
#include "lib/timing/timing_table.h"

namespace duo {

// Bytes 0-24 (CRTC 0x00-0x18) and the family's extension bytes: bytes 25
// and 26 (mach64: byte 25 only, its byte 26 is 0), or for S3 bytes 60-62.
// S3 records leave bytes 25-59 zero.
struct TimingRecord {
    std::uint8_t crtc[25];
    std::uint8_t ext[3];
};

struct RecordEntry {
    ChipGroup group;
    std::int32_t only_chip; // 0: every chip of the group
    std::int16_t width, height;
    DepthClass depth;
    bool quoted; // one of the records tuned on real monitors
    TimingRecord record;
};

inline constexpr int kClockSlots = kStatusEntries;

// 20 clock settings, slot i for frequency index i. Slots 10-19 are never used
// and repeat slot 9; slots without a clock hold zero bytes.
struct ClockTable {
    const char* name;
    bool quoted;
    ClockSetting slots[kClockSlots];
};

std::span<const RecordEntry> default_records(Family family);
// A family's clock tables; a clock table selection is an index into this
// list, and index 0 is each process's initial selection for the family.
std::span<const ClockTable> clock_tables(Family family);

// The record for the chip, resolution and depth class, or nullptr.
const TimingRecord* default_record(std::int32_t chip, int width, int height, DepthClass depth);

// Writes the record into a timing block: bytes 0-26, or 0-62 for S3 chips.
void copy_record(std::int32_t chip, const TimingRecord& record, TimingBlock& block);

} // namespace duo
