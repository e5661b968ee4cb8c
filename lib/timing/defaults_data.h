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

namespace trident = clock_index::trident;
namespace s3 = clock_index::s3;
namespace cirrus = clock_index::cirrus;
namespace three_resolutions = clock_index::three_resolutions;
namespace mach64 = clock_index::mach64;

} // namespace duo::defaults_data
