// The exports as client programs see them (include/duoscope.h), included by
// the files that define them: the compiler holds every definition to the
// declaration clients are built against. Here they are defined, not
// imported.
#pragma once
#define DUOSCOPE_API
#include "include/duoscope.h"
