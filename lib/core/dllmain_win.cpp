#include <windows.h>

#include "lib/core/clients.h"
#include "lib/core/state.h"
#include "lib/res/resource_ids.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (!duo::attach_process()) return FALSE; // eight clients already
        duo::g_process.module_instance = reinterpret_cast<std::uintptr_t>(instance);
        // Each process draws the dialog buttons with its own pair of faces.
        duo::g_process.face_raised = reinterpret_cast<std::uintptr_t>(LoadBitmapA(instance, MAKEINTRESOURCEA(DUO_BITMAP_FACE_RAISED)));
        duo::g_process.face_sunken = reinterpret_cast<std::uintptr_t>(LoadBitmapA(instance, MAKEINTRESOURCEA(DUO_BITMAP_FACE_SUNKEN)));
        DisableThreadLibraryCalls(instance);
        return TRUE;
    case DLL_PROCESS_DETACH:
        DeleteObject(reinterpret_cast<HGDIOBJ>(duo::g_process.face_raised));
        DeleteObject(reinterpret_cast<HGDIOBJ>(duo::g_process.face_sunken));
        duo::detach_process();
        return TRUE;
    default:
        return TRUE;
    }
}
