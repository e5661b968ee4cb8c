// The timing table: the 2084-byte unit stored in the settings file. Pure
// data that the hardware layer's register images share: it includes nothing
// of the library.
#pragma once
#include <cstddef>
#include <cstdint>

namespace duo {

inline constexpr int kFrequencyCount = 10; // stereo frequencies 75..120 Hz
inline constexpr int kStatusEntries = 20;  // entries 10..19 carry no meaning

inline constexpr int kTimingBlockSize = 100;

// One frequency index's register image. Bytes 0-24 are CRTC 0x00-0x18; bytes
// 25, 26 and 60-62 carry the family's extension registers.
struct TimingBlock {
    std::uint8_t bytes[kTimingBlockSize];
};

// Byte positions in a timing block beyond the CRTC image (bytes 0-24).
inline constexpr int kCrtcBlockBytes = 25;      // bytes 0-24: CRTC 0x00-0x18
inline constexpr int kBlockOffset = 0x13;       // CRTC 0x13, the line pitch
inline constexpr int kBlockExt1 = 25;           // Trident CR29, Cirrus CR1B bit 4, mach64 pitch bits, ET6000 CR35
inline constexpr int kBlockExt2 = 26;           // Trident/Cirrus CR19, ET6000 CR3F
inline constexpr int kBlockS3RetraceStart = 60; // S3 CR3C
inline constexpr int kBlockS3ExtMode = 61;      // S3 CR51
inline constexpr int kBlockS3ExtHoriz = 62;     // S3 CR5D

struct TimingTable {
    std::int32_t default_frequency;
    std::int32_t status[kStatusEntries]; // 1: frequency available
    TimingBlock blocks[kStatusEntries];
};

static_assert(sizeof(TimingBlock) == 100);
static_assert(sizeof(TimingTable) == 2084, "the settings file fixes this layout");
// One layout at both word sizes, no padding: the settings file's table unit
// has the same offsets.
static_assert(offsetof(TimingTable, status) == 4 && offsetof(TimingTable, blocks) == 84);
static_assert(alignof(TimingTable) == 4 && alignof(TimingBlock) == 1);

} // namespace duo
