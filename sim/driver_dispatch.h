// The simulated port driver: the control codes of the real driver, carried
// out on an adapter state. Shared by the simulated driver DLL and native tests.
#pragma once
#include <cstdint>

#include "sim/adapter.h"

namespace duo::sim {

// Returns false, as DeviceIoControl would, for an unknown code, a buffer too
// small for the code's fields, or a register run beyond index 0xFF.
bool dispatch(AdapterState& state, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
              std::uint32_t out_size);

} // namespace duo::sim
