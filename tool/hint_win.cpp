// The hint window: a passive light yellow box that the bar's timer moves,
// shows, hides and draws into.
#include <windows.h>

#include "tool/tool_win.h"

namespace duo::tool {
namespace {

LRESULT CALLBACK HintWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

void draw_hint(const char* text, int length, bool enabled) {
    HWND hint = g_tool.hint_window;
    HDC dc = GetDC(hint);
    RECT r;
    GetWindowRect(hint, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HGDIOBJ old_brush = SelectObject(dc, g_tool.hint_brush);
    Rectangle(dc, 0, 0, w, h);
    HGDIOBJ old_pen = SelectObject(dc, GetStockObject(WHITE_PEN));
    MoveToEx(dc, 0, h - 1, nullptr);
    LineTo(dc, w - 1, h - 1);
    LineTo(dc, w - 1, 0);
    SelectObject(dc, old_pen);
    SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF old_colour = enabled ? 0 : SetTextColor(dc, RGB(191, 191, 191));
    const RECT clip{1, 1, w - 1, h - 1};
    ExtTextOutA(dc, (w - 1) / 2, h - 3, ETO_CLIPPED, &clip, text, static_cast<UINT>(length), nullptr);
    if (!enabled) SetTextColor(dc, old_colour);
    SelectObject(dc, old_brush);
    ReleaseDC(hint, dc);
}

void show_hint(int button) {
    char text[kHintMaxChars + 1] = {};
    const int length = LoadStringA(g_tool.instance, static_cast<UINT>(kButtons[button].hint_string), text, sizeof text);
    POINT cursor;
    GetCursorPos(&cursor);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    const int width = length * kHintCharWidth;
    const Point at = hint_origin({cursor.x, cursor.y}, width, {screen.left, screen.top, screen.right, screen.bottom});
    HWND hint = g_tool.hint_window;
    MoveWindow(hint, at.x, at.y, width, kHintHeight, TRUE);
    SetWindowPos(hint, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(hint, SW_SHOWNA);
    draw_hint(text, length, IsWindowEnabled(g_tool.buttons[button]) != FALSE);
}

} // namespace

HWND create_hint_window() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HintWndProc;
    wc.hInstance = g_tool.instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = "HINT";
    if (!RegisterClassA(&wc)) {
        MessageBoxA(nullptr, "Hint(): RegisterClass() failed", "Err! - Hint", MB_ICONEXCLAMATION | MB_OK);
        return nullptr;
    }
    return CreateWindowExA(0, "HINT", "", WS_POPUP | WS_DISABLED, 0, 0, 5, 5, nullptr, nullptr, g_tool.instance,
                           nullptr);
}

void hide_hint() {
    if (g_tool.hint_window != nullptr) ShowWindow(g_tool.hint_window, SW_HIDE);
}

void run_hint_step() {
    if (g_tool.hint_window == nullptr) return;
    HintState& state = g_tool.hint;
    if (state.command_in_progress || state.button_held) {
        hint_step(state, false, kNoButton);
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    HWND under = WindowFromPoint(cursor);
    bool over_bar = under == g_tool.bar;
    for (HWND b : g_tool.buttons) over_bar = over_bar || (under != nullptr && under == b);
    int current = kNoButton;
    if (over_bar) {
        Rect rects[kButtonCount];
        for (int i = 0; i < kButtonCount; ++i) {
            RECT r{};
            GetWindowRect(g_tool.buttons[i], &r);
            rects[i] = {r.left, r.top, r.right, r.bottom};
        }
        current = hint_button_at(rects, {cursor.x, cursor.y});
    }
    switch (hint_step(state, over_bar, current)) {
    case HintAction::kHide: hide_hint(); break;
    case HintAction::kShow: show_hint(current); break;
    case HintAction::kNone: break;
    }
}

} // namespace duo::tool
