// Making the library usable for a client process, and closing it.
#pragma once
#include <cstdint>

#include "lib/core/types.h"

namespace duo {

// 1 when initialised (also when it already was: error 103); 0 with error
// 100, 101 or 102.
std::int32_t init_library(WindowHandle host);

// 1 when the settings file was written.
std::int32_t close_library(WindowHandle skip);

} // namespace duo
