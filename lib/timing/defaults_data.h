// The family data files behind defaults.h.
#pragma once
#include <span>

#include "lib/timing/defaults.h"

namespace duo::defaults_data {

std::span<const RecordEntry> trident_records();
std::span<const ClockTable> trident_clock_tables();
std::span<const RecordEntry> s3_records();
std::span<const ClockTable> s3_clock_tables();
std::span<const RecordEntry> cirrus_records();
std::span<const ClockTable> cirrus_clock_tables();
std::span<const RecordEntry> mach64_records();
std::span<const ClockTable> mach64_clock_tables();
std::span<const RecordEntry> et6000_records();
std::span<const ClockTable> et6000_clock_tables();

// Clock table indexes within each family, in the order of the family's list.
namespace trident {
enum : int {
    k103At640, k103At640Depth24, k103At800, k103At800Depth24, k103At1024,
    k101At640, k101At640Depth24, k101At800Depth8, k101At800Depth16, k101At800Depth24,
    k101At1024Depth8, k101At1024Depth16,
    k102At640, k102At800, k102At1024,
    k101At640Depth16,
    kCount,
};
}
namespace s3 {
enum : int { k640, k800, k1024, k640Depth24, k800Depth24, kCount };
}
namespace cirrus {
enum : int {
    k301At640, k301At800, k301At1024, k304At640, k304At800, k304At1024,
    k301At640Depth24, k301At800Depth24, // the GD542x's VCLK at three times the pixel rate
    kCount,
};
}
namespace three_resolutions {
enum : int { k640, k800, k1024, kCount };
}

} // namespace duo::defaults_data
