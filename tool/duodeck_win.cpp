// DuoDeck: the button bar through which the user drives the library. The
// program registers the bar's class, places the bar where it stood at the
// last exit, applies the command line and runs the message loop.
#include <windows.h>

#include <cstdint>

#include "tool/command_line.h"
#include "tool/position_file.h"
#include "tool/tool_win.h"

namespace duo::tool {

ToolState g_tool;

namespace {

PositionRecord current_record() {
    const RECT& r = g_tool.saved_rect;
    return {g_tool.layout, {r.left, r.top, r.right, r.bottom}};
}

} // namespace

bool load_position_file(const char* name) {
    OFSTRUCT of{};
    const HFILE file = OpenFile(name, &of, OF_READ);
    if (file == HFILE_ERROR) {
        g_tool.position_read = false;
        return false;
    }
    std::uint8_t bytes[kPositionFileSize] = {};
    const UINT got = _lread(file, bytes, sizeof bytes);
    _lclose(file);
    PositionRecord record = current_record();
    apply_position_bytes(record, bytes, got == static_cast<UINT>(HFILE_ERROR) ? 0 : got);
    g_tool.layout = record.layout;
    g_tool.saved_rect = {record.rect.left, record.rect.top, record.rect.right, record.rect.bottom};
    g_tool.position_read = true;
    return true;
}

bool save_position_file(const char* name, HWND bar) {
    OFSTRUCT of{};
    const HFILE file = OpenFile(name, &of, OF_CREATE | OF_WRITE);
    if (file == HFILE_ERROR) return false;
    RECT r{};
    GetWindowRect(bar, &r);
    const auto bytes = encode_position({g_tool.layout, {r.left, r.top, r.right, r.bottom}});
    _lwrite(file, reinterpret_cast<LPCCH>(bytes.data()), static_cast<UINT>(bytes.size()));
    _lclose(file);
    g_tool.position_read = false;
    return true;
}

} // namespace duo::tool

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    using namespace duo::tool;
    g_tool.instance = instance;
    if (previous == nullptr) {
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = BarWndProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(instance, "ICON");
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        wc.lpszClassName = "DUODECK";
        if (!RegisterClassA(&wc)) {
            MessageBoxA(nullptr, "WinMain(): RegisterClass() failed", "Err! - DUODECK", MB_ICONEXCLAMATION | MB_OK);
            return 0;
        }
    }
    int x = CW_USEDEFAULT, y = 0;
    if (load_position_file(kPositionFile)) {
        // The screen may have shrunk since the position was stored.
        RECT screen;
        GetWindowRect(GetDesktopWindow(), &screen);
        const Point at = onto_screen({g_tool.saved_rect.left, g_tool.saved_rect.top}, bar_size(g_tool.layout),
                                     {screen.left, screen.top, screen.right, screen.bottom});
        x = at.x;
        y = at.y;
    }
    const Size one_row = bar_size(kLayoutOneRow);
    HWND bar = CreateWindowExA(0, "DUODECK", "DUO DECK", WS_POPUP, x, y, one_row.width, one_row.height, nullptr,
                               nullptr, instance, nullptr);
    if (bar == nullptr || !IsWindow(bar)) return 0;

    if (command_line != nullptr && *command_line != '\0') {
        const CommandLine cl = scan_command_line(command_line, g_tool.enable_frequency);
        for (int i = 0; i < cl.enable_commands; ++i) PostMessageA(bar, WM_COMMAND, kCmdEnable, 0);
        if (cl.hidden) g_tool.hidden = true;
        // The library's start-up notifications were handled while the bar
        // was created, so /F: wins over the default they reported.
        if (cl.frequency_chosen) g_tool.enable_frequency = cl.enable_frequency;
    }

    if (g_tool.hidden) {
        for (HWND button : g_tool.buttons) ShowWindow(button, SW_HIDE);
    } else {
        ShowWindow(bar, show);
        SetWindowPos(bar, g_tool.stacking, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        if (g_tool.hint_window != nullptr) {
            SetWindowPos(g_tool.hint_window, g_tool.stacking, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetWindowPos(bar, g_tool.hint_window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    }
    if (g_tool.position_read) apply_layout();

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    UnregisterClassA("DUODECK", instance);
    UnregisterClassA("HINT", instance);
    return static_cast<int>(msg.wParam);
}
