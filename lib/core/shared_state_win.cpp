// The process-shared state lives in a section the loader maps shared between
// every process that loads the library.
#include "lib/core/state.h"

namespace duo {

__attribute__((section(".shared"), shared)) constinit SharedState g_shared{};
constinit ProcessState g_process{};

// Per process, outside the shared section: the image may be mapped at a
// different address in each process.
constinit AdapterShared& g_adapter = g_shared;
constinit TimingShared& g_timing = g_shared;
constinit AdapterProcess& g_adapter_process = g_process;

} // namespace duo
