// The tool's process-wide state and the operations its windows share.
#pragma once
#include <windows.h>

#include "duoscope.h"
#include "tool/bar_layout.h"
#include "tool/dialog_text.h"
#include "tool/hint_logic.h"
#include "tool/res/resource_ids.h"

namespace duo::tool {

inline constexpr UINT_PTR kHintTimer = 1000;
// Read and written in the working directory only: a bare name would be
// searched for in the program's folder first when read.
inline constexpr char kPositionFile[] = ".\\DuoDeck.ini";

// Bitmap resources.
inline constexpr int kFaceNormal = DUO_TOOL_FACE_NORMAL, kFaceDisabled = DUO_TOOL_FACE_DISABLED,
                     kFacePressed = DUO_TOOL_FACE_PRESSED;
inline constexpr int kFaceNormal16 = DUO_TOOL_FACE_NORMAL16, kFacePressed16 = DUO_TOOL_FACE_PRESSED16,
                     kFaceDisabled16 = DUO_TOOL_FACE_DISABLED16;
inline constexpr int kTextDark = DUO_TOOL_TEXT_DARK, kTextLight = DUO_TOOL_TEXT_LIGHT;
inline constexpr int kDialogButtonUp = DUO_TOOL_DIALOG_BUTTON_UP, kDialogButtonDown = DUO_TOOL_DIALOG_BUTTON_DOWN;
inline constexpr int kMarkSelected = DUO_TOOL_MARK_SELECTED, kMarkOnTop = DUO_TOOL_MARK_ON_TOP;

struct ToolState {
    HINSTANCE instance = nullptr;
    int layout = kLayoutOneRow;
    RECT saved_rect{0, 0, 0, 0};
    bool position_read = false;
    HWND stacking = HWND_TOPMOST;
    int hot_key = kHotKeyT;
    int enable_frequency = DUO_FREQ_DEFAULT;
    int shown_frequency = 5;
    int available[DUO_STATUS_ENTRIES] = {};
    bool hidden = false;
    bool library_initialised = false;
    HintState hint;

    HWND bar = nullptr;
    HWND hint_window = nullptr;
    HWND buttons[kButtonCount] = {}; // in kButtons order
    HDC bar_dc = nullptr;
    HDC memory_dc = nullptr;
    HGDIOBJ saved_bitmap = nullptr;
    HBITMAP face_normal = nullptr, face_pressed = nullptr, face_disabled = nullptr;
    HBITMAP text_light = nullptr, text_dark = nullptr;
    HBITMAP dialog_up = nullptr, dialog_down = nullptr;
    HBRUSH hint_brush = nullptr;
};

extern ToolState g_tool;

// Start-up and the position file (duodeck_win.cpp).
bool load_position_file(const char* name);
bool save_position_file(const char* name, HWND bar);

// The bar (bar_win.cpp).
LRESULT CALLBACK BarWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
void apply_layout();
// Availability and the shown frequency as the library has them now, for
// when its notifications were not (or may not have been) received.
void read_library_frequencies();
// The box for a request the library refused, with its last error code.
void refused_box(HWND owner, int error);

// The hint (hint_win.cpp).
HWND create_hint_window();
void hide_hint();
void run_hint_step();

// The dialogs and their drawing (dialogs_win.cpp).
INT_PTR CALLBACK FreqSelectDlgProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK InfoBoxDlgProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK VRSettingsDlgProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam);
// sheet not 0: the light sheet kTextLight; 0: the dark sheet kTextDark.
void bitmap_text(HDC dest, int x, int y, const char* text, int length, int sheet);
void draw_dialog_button(HDC memory_dc, const DRAWITEMSTRUCT* item);

} // namespace duo::tool
