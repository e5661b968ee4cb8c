// The popup window procedure: a small floating button that swaps the eyes.
// Clients register a class with it and create the window themselves.
#include <windows.h>

#include "lib/core/public_api_win.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"

namespace {

constexpr int kButtonId = 1;
constexpr int kCloseId = 0;

HINSTANCE library_instance() { return reinterpret_cast<HINSTANCE>(duo::g_process.module_instance); }

// Loads one face, copies it unscaled into the item and releases everything.
void draw_button(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON || item.CtlID != kButtonId) return;
    bool pressed = (item.itemState & ODS_SELECTED) && !(item.itemState & ODS_DISABLED);
    HBITMAP face = LoadBitmapA(library_instance(), pressed ? "Button_Down" : "Button_Up");
    if (!face) return;
    if (HDC memory = CreateCompatibleDC(item.hDC)) {
        HGDIOBJ previous = SelectObject(memory, face);
        BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
               item.rcItem.bottom - item.rcItem.top, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    DeleteObject(face);
}

} // namespace

extern "C" LRESULT CALLBACK PopupWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE: {
        HWND button = CreateWindowA("button", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 20, 20, 60, 45, window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), library_instance(),
                                    nullptr);
        duo::g_shared.popup_button = reinterpret_cast<duo::WindowHandle>(button);
        return 0;
    }
    case WM_DESTROY:
        DestroyWindow(reinterpret_cast<HWND>(duo::g_shared.popup_button));
        return 0;
    case WM_DRAWITEM:
        draw_button(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wparam) == kCloseId) DestroyWindow(window);
        else if (LOWORD(wparam) == kButtonId) duo::switch_glasses();
        return 0;
    case WM_LBUTTONDOWN:
        // Dragging anywhere in the window moves it.
        return DefWindowProcA(window, WM_NCLBUTTONDOWN, HTCAPTION, lparam);
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}
