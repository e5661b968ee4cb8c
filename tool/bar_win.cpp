// The button bar: a borderless pop-up with ten owner-drawn picture buttons.
// It initialises the library when created, turns button presses into
// library calls and dialogs, follows the library's notifications and closes
// the library when destroyed.
#include <windows.h>

#include <initializer_list>

#include "tool/tool_win.h"

namespace duo::tool {
namespace {

constexpr char kCaption[] = "Err! - DUO DECK";

const char* init_error_text(int code) {
    switch (code) {
    case DUO_ERR_MODE_REFUSED: return "Display mode is not supported";
    case DUO_ERR_NO_DRIVER: return "DUOGATE.VXD is missing";
    case DUO_ERR_UNKNOWN_CHIP: return "Unknown VGA manufacturer";
    case DUO_ERR_ALREADY_INITIALISED: return "Try to initialize VR system twice";
    case DUO_ERR_LEFT_INTERLACED: return "The display was left in VR timing. Set the display mode again";
    default: return nullptr;
    }
}

HWND button_window(int id) {
    for (int i = 0; i < kButtonCount; ++i)
        if (kButtons[i].id == id) return g_tool.buttons[i];
    return nullptr;
}

void apply_stereo_state(bool on) {
    for (int id : kStateButtons) EnableWindow(button_window(id), enabled_in_state(id, on) ? TRUE : FALSE);
}

UINT hot_key_letter(int id) { return id == kHotKeyO ? 'O' : 'T'; }

void blit_piece(HDC dest, int x, int y, int w, int h, int sx, int sy) {
    BitBlt(dest, x, y, w, h, g_tool.memory_dc, sx, sy, SRCCOPY);
}

void paint_bar(HDC dc) {
    RECT client;
    GetClientRect(g_tool.bar, &client);
    const int w = client.right, h = client.bottom;
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    SelectObject(g_tool.memory_dc, g_tool.face_normal);
    blit_piece(dc, kFrame, kFrame, kCellSize, kCellSize, 7, 7); // logo
    blit_piece(dc, 0, 0, kFrame, kFrame, 0, 0);
    blit_piece(dc, w - kFrame, 0, kFrame, kFrame, 223, 0);
    blit_piece(dc, 0, h - kFrame, kFrame, kFrame, 0, 79);
    blit_piece(dc, w - kFrame, h - kFrame, kFrame, kFrame, 223, 79);
    for (int x = kFrame; x < w - kFrame; x += kCellSize) blit_piece(dc, x, 0, kCellSize, kFrame, 7, 0);
    for (int x = kFrame; x < w - kFrame; x += kCellSize) blit_piece(dc, x, h - kFrame, kCellSize, kFrame, 7, 79);
    for (int y = kFrame; y < h - kFrame; y += kCellSize) blit_piece(dc, 0, y, kFrame, kCellSize, 0, 7);
    for (int y = kFrame; y < h - kFrame; y += kCellSize) blit_piece(dc, w - kFrame, y, kFrame, kCellSize, 223, 7);
    const int filler = kFrame + kCellSize;
    if (g_tool.layout == kLayoutTwoRows) blit_piece(dc, kFrame, filler, kCellSize, kCellSize, 7, 43);
    if (g_tool.layout == kLayoutTwoColumns) blit_piece(dc, filler, kFrame, kCellSize, kCellSize, 7, 43);
}

void draw_button(const DRAWITEMSTRUCT* item) {
    if (item->CtlType != ODT_BUTTON) return;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    if (selected && !disabled) {
        hide_hint();
        g_tool.hint.button_held = true;
    }
    const ButtonInfo* info = find_button(static_cast<int>(item->CtlID));
    if (info == nullptr) return;
    SelectObject(g_tool.memory_dc, disabled ? g_tool.face_disabled : selected ? g_tool.face_pressed : g_tool.face_normal);
    if ((item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0) return;
    const RECT& r = item->rcItem;
    BitBlt(item->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, g_tool.memory_dc, info->face.x, info->face.y,
           SRCCOPY);
}

bool is_frequency_index(LPARAM value) { return value >= DUO_FREQ_MIN && value <= DUO_FREQ_MAX; }

// The library answers 0 both for "frequency index 0" and for a refusal;
// only its last error code tells them apart.
void enable_stereo(HWND bar) {
    const int used = Enable_VR_System(bar, g_tool.enable_frequency);
    if (const int error = Query_VR_System(DUO_Q_LAST_ERROR, 0); error != 0) {
        apply_stereo_state(false);
        refused_box(bar, error);
        return;
    }
    apply_stereo_state(true);
    if (g_tool.hot_key != 0) RegisterHotKey(bar, g_tool.hot_key, MOD_ALT | MOD_CONTROL, hot_key_letter(g_tool.hot_key));
    // With stereo already on the library keeps its frequency, not the one
    // asked for; the bar gets no 605 of its own to learn it from.
    const int current = Query_VR_System(DUO_Q_FREQUENCY, 0);
    g_tool.shown_frequency = is_frequency_index(current) ? current : used;
}

void run_command(HWND bar, int id) {
    switch (id) {
    case kCmdEnable: enable_stereo(bar); break;
    case kCmdDisable:
        Disable_VR_System(bar);
        apply_stereo_state(false);
        UnregisterHotKey(bar, g_tool.hot_key);
        break;
    case kCmdSelectFrequency: DialogBoxParamA(g_tool.instance, "FREQSELECT", bar, FreqSelectDlgProc, 0); break;
    case kCmdInformation: DialogBoxParamA(g_tool.instance, "INFOBOX", bar, InfoBoxDlgProc, 0); break;
    case kCmdAdjust: Adjust_VR_System(bar); break;
    case kCmdTest: Diagnosis_VR_System(bar); break;
    case kCmdResume: Resume_VR_System(); break;
    case kCmdToggleGlasses: SwitchGlasses(); break;
    case kCmdExit: DestroyWindow(bar); break;
    case kCmdSetup: DialogBoxParamA(g_tool.instance, "VR_Settings", bar, VRSettingsDlgProc, 0); break;
    default: break;
    }
}

void library_notification(WPARAM code, LPARAM value) {
    switch (code) {
    case DUO_N_AVAILABLE:
        for (int i = 0; i < DUO_STATUS_ENTRIES; ++i) g_tool.available[i] = static_cast<int>((value >> i) & 1);
        break;
    case DUO_N_STEREO_ON:
        apply_stereo_state(true);
        if (is_frequency_index(value)) g_tool.shown_frequency = static_cast<int>(value);
        break;
    case DUO_N_STEREO_OFF: apply_stereo_state(false); break;
    case DUO_N_FREQUENCY: g_tool.shown_frequency = static_cast<int>(value); break;
    case DUO_N_DEFAULT_FREQUENCY: g_tool.enable_frequency = static_cast<int>(value); break;
    default: break;
    }
}

HBITMAP load_bitmap(int id) { return LoadBitmapA(g_tool.instance, MAKEINTRESOURCEA(id)); }

void create_bar(HWND bar) {
    g_tool.bar = bar;
    g_tool.library_initialised = true;
    if (!Init_VR_System(bar)) {
        g_tool.library_initialised = false;
        if (const char* text = init_error_text(Query_VR_System(DUO_Q_LAST_ERROR, 0)))
            MessageBoxA(bar, text, kCaption, MB_ICONEXCLAMATION | MB_OK);
        DestroyWindow(bar);
        return;
    }
    const bool first_client = Query_VR_System(DUO_Q_LAST_ERROR, 0) == 0;
    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonInfo& b = kButtons[i];
        const Point at = creation_position(i);
        const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (b.created_enabled ? 0 : WS_DISABLED);
        g_tool.buttons[i] = CreateWindowA("button", "", style, at.x, at.y, kCellSize, kCellSize, bar,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), g_tool.instance, nullptr);
    }
    // What Init posted (604, 608, and 605 with stereo on) is handled now,
    // before the command line is read, so that /F: wins over the start-up
    // default and over no later one.
    MSG posted;
    while (PeekMessageA(&posted, bar, DUO_WM_NOTIFY, DUO_WM_NOTIFY, PM_REMOVE))
        library_notification(posted.wParam, posted.lParam);
    // A library another client initialised posts nothing: ask it instead.
    if (!first_client) {
        read_library_frequencies();
        g_tool.enable_frequency = Query_VR_System(DUO_Q_DEFAULT_FREQUENCY, 0);
    }
    g_tool.bar_dc = GetDC(bar);
    g_tool.memory_dc = CreateCompatibleDC(g_tool.bar_dc);
    const int depth = GetDeviceCaps(g_tool.bar_dc, BITSPIXEL) * GetDeviceCaps(g_tool.bar_dc, PLANES);
    const bool palette_look = depth == 8;
    g_tool.face_normal = load_bitmap(palette_look ? kFaceNormal16 : kFaceNormal);
    g_tool.face_pressed = load_bitmap(palette_look ? kFacePressed16 : kFacePressed);
    g_tool.face_disabled = load_bitmap(palette_look ? kFaceDisabled16 : kFaceDisabled);
    g_tool.dialog_up = load_bitmap(kDialogButtonUp);
    g_tool.dialog_down = load_bitmap(kDialogButtonDown);
    g_tool.text_dark = load_bitmap(kTextDark);
    g_tool.text_light = load_bitmap(kTextLight);
    g_tool.saved_bitmap = SelectObject(g_tool.memory_dc, g_tool.face_normal);
    if (depth < 8) {
        MessageBoxA(bar, "Display driver must be 256 colors or above to run this program", kCaption,
                    MB_ICONEXCLAMATION | MB_OK);
        DestroyWindow(bar);
        return;
    }
    g_tool.hint_window = create_hint_window();
    if (SetTimer(bar, kHintTimer, 100, nullptr) == 0) MessageBoxA(GetFocus(), "Set timer fails.", "Error!", MB_OK);
    g_tool.hint_brush = CreateSolidBrush(RGB(255, 255, 127));
}

void destroy_bar(HWND bar) {
    save_position_file(kPositionFile, bar);
    KillTimer(bar, kHintTimer);
    if (g_tool.memory_dc != nullptr) {
        SelectObject(g_tool.memory_dc, g_tool.saved_bitmap);
        DeleteDC(g_tool.memory_dc);
        g_tool.memory_dc = nullptr;
    }
    for (HBITMAP* b : {&g_tool.face_normal, &g_tool.face_pressed, &g_tool.face_disabled, &g_tool.dialog_up,
                       &g_tool.dialog_down, &g_tool.text_dark, &g_tool.text_light}) {
        if (*b != nullptr) DeleteObject(*b);
        *b = nullptr;
    }
    if (g_tool.bar_dc != nullptr) ReleaseDC(bar, g_tool.bar_dc);
    g_tool.bar_dc = nullptr;
    if (g_tool.hint_brush != nullptr) DeleteObject(g_tool.hint_brush);
    g_tool.hint_brush = nullptr;
    if (g_tool.hint_window != nullptr) DestroyWindow(g_tool.hint_window);
    g_tool.hint_window = nullptr;
    if (g_tool.library_initialised) Close_VR_System(bar);
    g_tool.library_initialised = false;
    PostQuitMessage(0);
}

const char* refusal_text(int error) {
    switch (error) {
    case DUO_ERR_NOT_INITIALISED: return "VR system is not initialized";
    case DUO_ERR_STEREO_OFF: return "VR system is not enabled";
    case DUO_ERR_BAD_FREQUENCY: return "Frequency is not supported";
    default: return "VR system refused the request";
    }
}

} // namespace

void read_library_frequencies() {
    for (int i = 0; i < DUO_STATUS_ENTRIES; ++i)
        g_tool.available[i] = i <= DUO_FREQ_MAX && Query_VR_System(DUO_Q_STATUS, i) == 1 ? 1 : 0;
    const int current = Query_VR_System(DUO_Q_FREQUENCY, 0);
    if (is_frequency_index(current)) g_tool.shown_frequency = current;
}

void refused_box(HWND owner, int error) {
    MessageBoxA(owner, refusal_text(error), kCaption, MB_ICONEXCLAMATION | MB_OK);
}

void apply_layout() {
    HWND bar = g_tool.bar;
    const int layout = effective_layout(g_tool.layout);
    const Size size = bar_size(layout);
    hide_hint();
    SetWindowPos(bar, g_tool.stacking, 0, 0, size.width, size.height, SWP_NOMOVE);
    const RECT all{0, 0, size.width, size.height};
    InvalidateRect(bar, &all, FALSE);
    if (g_tool.hint_window != nullptr) {
        SetWindowPos(g_tool.hint_window, g_tool.stacking, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(bar, g_tool.hint_window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    for (int i = 0; i < kButtonCount; ++i) {
        const Point at = slot_position(layout, kButtons[i].slot);
        MoveWindow(g_tool.buttons[i], at.x, at.y, kCellSize, kCellSize, TRUE);
    }
}

LRESULT CALLBACK BarWndProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE: create_bar(hwnd); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (!g_tool.hidden && g_tool.memory_dc != nullptr) paint_bar(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DRAWITEM: draw_button(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)); return 0;
    case WM_COMMAND:
        hide_hint();
        g_tool.hint.command_in_progress = true;
        run_command(hwnd, LOWORD(wparam));
        g_tool.hint.command_in_progress = false;
        return 0;
    case DUO_WM_NOTIFY: library_notification(wparam, lparam); return 0;
    case WM_HOTKEY:
        if (wparam == kHotKeyT || wparam == kHotKeyO) SwitchGlasses();
        return 0;
    case WM_LBUTTONDOWN:
        hide_hint();
        DefWindowProcA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, lparam);
        return 0;
    case WM_LBUTTONDBLCLK:
        hide_hint();
        g_tool.layout = next_layout(g_tool.layout);
        apply_layout();
        return 0;
    case WM_LBUTTONUP: g_tool.hint.command_in_progress = false; return 0;
    case WM_MOUSEMOVE: {
        const WORD keys = LOWORD(wparam);
        if (keys == MK_LBUTTON || keys == MK_RBUTTON || keys == MK_MBUTTON) {
            hide_hint();
            g_tool.hint.button_held = true;
        } else {
            g_tool.hint.button_held = false;
        }
        return 0;
    }
    case WM_TIMER:
        if (wparam == kHintTimer) run_hint_step();
        return 0;
    case WM_DESTROY: destroy_bar(hwnd); return 0;
    default: return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

} // namespace duo::tool
