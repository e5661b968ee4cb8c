#include "tests/wine/gdi_count.h"

#include <windows.h>

namespace duo::testing {

int gdi_objects() {
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted) return static_cast<int>(counted);
    int n = 0;
    for (ULONG_PTR h = 1; h < 0x10000; ++h) n += GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0;
    return n;
}

} // namespace duo::testing
