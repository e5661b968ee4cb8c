// Win32 side of the portable core's platform seam.
#include <windows.h>

#include "lib/core/platform.h"

namespace duo::platform {

DesktopMode desktop_mode() {
    DesktopMode mode{0, 0, 0};
    if (HDC dc = GetDC(nullptr)) {
        mode = {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, BITSPIXEL)};
        ReleaseDC(nullptr, dc);
    }
    return mode;
}

std::uintptr_t hide_cursor() { return reinterpret_cast<std::uintptr_t>(SetCursor(nullptr)); }

void restore_cursor(std::uintptr_t previous) { SetCursor(reinterpret_cast<HCURSOR>(previous)); }

std::uint32_t process_id() { return GetCurrentProcessId(); }

bool process_running(std::uint32_t id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    if (process == nullptr) return false;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

std::uint32_t window_owner(WindowHandle window) {
    DWORD owner = 0;
    return GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &owner) != 0 ? owner : 0;
}

bool post_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    return PostMessageA(reinterpret_cast<HWND>(window), message, wparam, lparam) != FALSE;
}

} // namespace duo::platform
