// The process-shared state lives in a section the loader maps shared between
// every process that loads the library.
#include "lib/core/state.h"

namespace duo {

__attribute__((section(".shared"), shared)) SharedState g_shared{};
ProcessState g_process{};

} // namespace duo
