#include <windows.h>

#include "lib/core/clients.h"
#include "lib/core/state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (!duo::attach_process()) return FALSE; // eight clients already
        duo::g_process.module_instance = reinterpret_cast<std::uintptr_t>(instance);
        DisableThreadLibraryCalls(instance);
        return TRUE;
    case DLL_PROCESS_DETACH:
        duo::detach_process();
        return TRUE;
    default:
        return TRUE;
    }
}
