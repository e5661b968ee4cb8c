// The timing-side state: the timing tables and the clock table selections.
// The library's shared state derives from this struct; the timing layer
// reaches it through the reference below, bound to it by the core.
#pragma once
#include <cstdint>

#include "lib/hw/chips.h"
#include "lib/timing/timing_table.h"

namespace duo {

// Shared by every process; plain fixed-width data with constant initialisers.
struct TimingShared {
    // The current table's default frequency index and status entries are the
    // library's default frequency index and frequency status table.
    TimingTable current_table = {};
    TimingTable stored_tables[kDepthClasses] = {};
    // Which built-in clock table each family uses in the mode; set by the load.
    std::int32_t clock_table_selection[kFamilies] = {};
};

extern TimingShared& g_timing;

} // namespace duo
