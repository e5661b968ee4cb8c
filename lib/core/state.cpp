// Native builds: one process holds the library, so the shared state is an
// ordinary object.
#include "lib/core/state.h"

namespace duo {

constinit SharedState g_shared{};
constinit ProcessState g_process{};

constinit AdapterShared& g_adapter = g_shared;
constinit TimingShared& g_timing = g_shared;
constinit AdapterProcess& g_adapter_process = g_process;

} // namespace duo
