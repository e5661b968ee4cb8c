// Loaded by a test into duodeck.exe before its first instruction runs (the
// process is started suspended, see start_with_faults): makes the system
// refuse what the bar needs, so that the bar's failure paths run in the real
// program. The faults are named by DUO_DECK_FAULTS, which only the test
// sets:
//   hint   the class "HINT" is registered first, so the bar's registration fails
//   timer  SetTimer fails
//   depth  the display answers 4 bits per pixel
#include <windows.h>

#include <cstring>

namespace {

UINT_PTR WINAPI refused_timer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }

int WINAPI sixteen_colours(HDC dc, int index) { return index == BITSPIXEL ? 4 : GetDeviceCaps(dc, index); }

LRESULT CALLBACK hint_taken(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Points the program's import of module!name at `replacement`.
bool redirect_import(const char* module, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    void* original = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name));
    if (original == nullptr) return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    bool done = false;
    for (auto* imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); slot->u1.Function; ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != original) continue;
            DWORD old = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &old);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
            done = true;
        }
    }
    return done;
}

bool wanted(const char* faults, const char* name) { return std::strstr(faults, name) != nullptr; }

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char faults[64] = {};
    GetEnvironmentVariableA("DUO_DECK_FAULTS", faults, sizeof faults);
    bool ok = true;
    if (wanted(faults, "hint")) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = hint_taken;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "HINT";
        ok = ok && RegisterClassA(&wc) != 0;
    }
    if (wanted(faults, "timer"))
        ok = ok && redirect_import("user32.dll", "SetTimer", reinterpret_cast<void*>(refused_timer));
    if (wanted(faults, "depth"))
        ok = ok && redirect_import("gdi32.dll", "GetDeviceCaps", reinterpret_cast<void*>(sixteen_colours));
    // A fault that could not be set up refuses the load, so the test sees it.
    return ok ? TRUE : FALSE;
}
