#include "lib/core/query.h"

#include "lib/core/platform.h"
#include "lib/core/state.h"

namespace duo {
namespace {

std::int32_t answer(std::int32_t value) {
    g_shared.last_error = kErrNone;
    return value;
}

PortAccess port_access() {
    if (g_process.driver == 0) return kAccessNone;
    return g_process.driver == platform::kOwnPorts ? kAccessOwnPorts : kAccessDriver;
}

std::int32_t refuse() {
    g_shared.last_error = kErrUnknownQuery;
    return -1;
}

} // namespace

std::int32_t query(std::int32_t code, std::int32_t index) {
    switch (code) {
    case kQueryChip: return answer(g_shared.chip_code);
    case kQueryFrequency: return answer(g_shared.line_double == 1 ? kLineDoubleAnswer : g_shared.current_frequency);
    case kQueryVersion: return answer(kLibraryVersion);
    case kQueryLastError: return g_shared.last_error;
    case kQueryStatus:
        // Only entries 0..19 exist; anything else is the caller's error.
        if (index < 0 || index >= kStatusEntries) return refuse();
        return answer(g_shared.current_table.status[index]);
    case kQueryDefaultFrequency: return answer(default_frequency());
    case kQueryPortAccess: return answer(port_access());
    default: return refuse();
    }
}

} // namespace duo
