// Loaded into another process by a test (see remote_gdi_objects): counts that
// process's live GDI objects whenever asked. GDI handles belong to one
// process, so the count has to be taken from inside.
#include <windows.h>

#include <cstdio>

#include "tests/wine/gdi_count.h"

namespace {

HANDLE g_ask, g_done, g_mapping;
LONG* g_count;

DWORD WINAPI answer(void*) {
    while (WaitForSingleObject(g_ask, INFINITE) == WAIT_OBJECT_0) {
        InterlockedExchange(g_count, duo::testing::gdi_objects());
        SetEvent(g_done);
    }
    return 0;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char name[64];
    const DWORD pid = GetCurrentProcessId();
    std::snprintf(name, sizeof name, "DuoGdiProbe.%lu.ask", static_cast<unsigned long>(pid));
    g_ask = CreateEventA(nullptr, FALSE, FALSE, name);
    std::snprintf(name, sizeof name, "DuoGdiProbe.%lu.done", static_cast<unsigned long>(pid));
    g_done = CreateEventA(nullptr, FALSE, FALSE, name);
    std::snprintf(name, sizeof name, "DuoGdiProbe.%lu.count", static_cast<unsigned long>(pid));
    g_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), name);
    if (!g_ask || !g_done || !g_mapping) return FALSE;
    g_count = static_cast<LONG*>(MapViewOfFile(g_mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    if (!g_count) return FALSE;
    // The loader lock is held here, so the answering thread only starts
    // running after this returns.
    HANDLE thread = CreateThread(nullptr, 0, answer, nullptr, 0, nullptr);
    if (!thread) return FALSE;
    CloseHandle(thread);
    return TRUE;
}
