// A program the Windows 95 import check must refuse: it calls a function
// that came with a much later Windows and a wide-character function Windows
// 95 leaves as a stub, and is linked for subsystem version 6.0.
#define _WIN32_WINNT 0x0600
#include <windows.h>

int main() {
    HMODULE module = LoadLibraryW(L"kernel32.dll");
    return module != nullptr && GetTickCount64() != 0 ? 0 : 1;
}
