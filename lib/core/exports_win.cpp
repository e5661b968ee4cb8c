// The library's exported entry points; ordinals are fixed in duoscope.def.
#include <windows.h>

#include "lib/core/query.h"

extern "C" {

int WINAPI Query_VR_System(int code, int index) { return duo::query(code, index); }

} // extern "C"
