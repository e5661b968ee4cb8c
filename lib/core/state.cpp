// Native builds: one process holds the library, so the shared state is an
// ordinary object.
#include "lib/core/state.h"

namespace duo {

SharedState g_shared{};
ProcessState g_process{};

} // namespace duo
