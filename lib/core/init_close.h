// Making the library usable for a client process, and closing it.
#pragma once
#include <cstdint>

#include "lib/core/types.h"

namespace duo {

// 1 when initialised (also when it already was: error 103); 0 with error
// 100, 101, 102 or 104 (the adapter runs interlaced timing that no session
// on record explains).
std::int32_t init_library(WindowHandle host);

// 1 when the settings file was written.
std::int32_t close_library(WindowHandle skip);

// Before an export reaches the adapter: dialog sessions whose process ended
// are put back, and a desktop mode changed under the library ends a running
// stereo session without writing and sets the library up for the new mode
// (every host hears of it).
void follow_the_adapter();

} // namespace duo
