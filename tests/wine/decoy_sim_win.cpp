// A DLL named like the simulated driver that no process may load: copied
// beside a client as duogate_sim.dll, it leaves "<its path>.loaded" behind
// when a process loads it.
#include <windows.h>

#include <cstring>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH];
    const DWORD len = GetModuleFileNameA(self, path, MAX_PATH);
    if (len == 0 || len + sizeof ".loaded" > MAX_PATH) return TRUE;
    std::memcpy(path + len, ".loaded", sizeof ".loaded");
    HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return TRUE;
}
