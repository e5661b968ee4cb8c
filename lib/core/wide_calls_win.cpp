// The 32-bit images run on Windows 95, whose KERNEL32 exports the
// wide-character forms of most functions only as stubs that fail. The
// compiler's runtime (thread primitives in libgcc, the C library's look-ups of
// optional msvcrt.dll entries) calls three of them; these definitions fill the
// runtime's import slots with calls to the ANSI forms, so the images import
// no wide-character function at all. Our own code calls only ANSI functions.
// The 64-bit images take the same route, so that the tests under Wine run it.
#include <windows.h>

namespace {

// The names the runtime passes are DLL names or null, well under MAX_PATH.
bool to_ansi(LPCWSTR wide, char (&ansi)[MAX_PATH]) {
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, MAX_PATH, nullptr, nullptr) != 0;
}

HMODULE WINAPI get_module_handle(LPCWSTR name) {
    if (!name) return GetModuleHandleA(nullptr);
    char ansi[MAX_PATH];
    return to_ansi(name, ansi) ? GetModuleHandleA(ansi) : nullptr;
}

HMODULE WINAPI load_library(LPCWSTR name) {
    char ansi[MAX_PATH];
    return name && to_ansi(name, ansi) ? LoadLibraryA(ansi) : nullptr;
}

HANDLE WINAPI create_semaphore(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name) {
    if (!name) return CreateSemaphoreA(security, initial, maximum, nullptr);
    char ansi[MAX_PATH];
    return to_ansi(name, ansi) ? CreateSemaphoreA(security, initial, maximum, ansi) : nullptr;
}

} // namespace

// The import slots, under the names the runtime's objects refer to (on i686
// with the C prefix and the stdcall decoration, argument bytes after the @).
// Being defined here, the linker takes none of them from KERNEL32's import
// library.
#ifdef _WIN64
#define DUO_IMPORT_SLOT(name, bytes) "__imp_" #name
#else
#define DUO_IMPORT_SLOT(name, bytes) "__imp__" #name "@" #bytes
#endif
extern "C" {
extern HMODULE(WINAPI* duo_get_module_handle_slot)(LPCWSTR) __asm__(DUO_IMPORT_SLOT(GetModuleHandleW, 4));
extern HMODULE(WINAPI* duo_load_library_slot)(LPCWSTR) __asm__(DUO_IMPORT_SLOT(LoadLibraryW, 4));
extern HANDLE(WINAPI* duo_create_semaphore_slot)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) __asm__(
    DUO_IMPORT_SLOT(CreateSemaphoreW, 16));
HMODULE(WINAPI* duo_get_module_handle_slot)(LPCWSTR) = get_module_handle;
HMODULE(WINAPI* duo_load_library_slot)(LPCWSTR) = load_library;
HANDLE(WINAPI* duo_create_semaphore_slot)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR) = create_semaphore;
}
