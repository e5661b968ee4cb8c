// The tool's three dialogs (frequency select, information box, settings)
// and the two drawing operations they share: bitmap text and the
// owner-drawn OK, Cancel and Default buttons.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>

#include "tool/dialog_text.h"
#include "tool/tool_win.h"

namespace duo::tool {
namespace {

constexpr int kFreqOk = 110, kFreqCancel = 111, kFreqDefault = 112;
constexpr int kInfoOk = 113;
constexpr int kSettingsOk = 114, kSettingsCancel = 115;
constexpr int kGroupHotKey = DUO_TOOL_GROUP_HOT_KEY, kGroupLayout = DUO_TOOL_GROUP_LAYOUT;

// What every dialog keeps from opening to closing.
struct DialogDcs {
    HDC dc = nullptr;
    HDC memory = nullptr;
    HGDIOBJ saved = nullptr;
};

void open_dcs(DialogDcs& d, HWND dlg) {
    d.dc = GetDC(dlg);
    d.memory = CreateCompatibleDC(d.dc);
    d.saved = GetCurrentObject(d.memory, OBJ_BITMAP);
}

void close_dcs(DialogDcs& d, HWND dlg) {
    if (d.memory != nullptr) {
        SelectObject(d.memory, d.saved);
        DeleteDC(d.memory);
    }
    if (d.dc != nullptr) ReleaseDC(dlg, d.dc);
    d = {};
}

HWND create_dialog_button(HWND dlg, int id, int x, int y, int w, int h) {
    return CreateWindowA("button", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, w, h, dlg,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_tool.instance, nullptr);
}

void draw_text(HDC dc, int x, int y, const char* text) {
    bitmap_text(dc, x, y, text, static_cast<int>(std::strlen(text)), 1);
}

void fill_and_border(HDC dc, int w, int h, bool fill) {
    if (fill) {
        const RECT all{0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    }
    HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, w, 0, nullptr);
    LineTo(dc, 0, 0);
    LineTo(dc, 0, h);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    MoveToEx(dc, w - 1, 0, nullptr);
    LineTo(dc, w - 1, h - 1);
    LineTo(dc, 0, h - 1);
    SelectObject(dc, old);
}

Size client_size(HWND dlg) {
    RECT r;
    GetClientRect(dlg, &r);
    return {r.right, r.bottom};
}

// The information box and the settings dialog fill the screen's middle
// quarter whatever their template size.
void centre_in_middle_quarter(HWND dlg) {
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    const int sw = screen.right - screen.left, sh = screen.bottom - screen.top;
    MoveWindow(dlg, sw / 4, sh / 4, sw / 2, sh / 2, TRUE);
}

Point client_cursor(HWND dlg) {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(dlg, &p);
    return {p.x, p.y};
}

// Frequency select dialog.
struct FreqDialog {
    DialogDcs dcs;
    HBITMAP marker = nullptr;
    int shown_at_opening = 0;
    int library_default = DUO_FREQ_DEFAULT;
} g_freq;

void paint_frequency_dialog(HWND dlg) {
    HDC dc = g_freq.dcs.dc;
    const Size size = client_size(dlg);
    const RECT all{0, 0, size.width, size.height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    draw_text(dc, 15, 5, "Vertical Frequency");
    draw_text(dc, 220, 150, "Default:");
    if (const char* text = default_frequency_text(g_freq.library_default); *text != '\0')
        bitmap_text(dc, 280, 150, text, 5, 1);
    for (int index = kFirstListedFrequency; index <= kLastListedFrequency; ++index) {
        char label[10] = {};
        const int length = LoadStringA(g_tool.instance, static_cast<UINT>(DUO_TOOL_STRING_FREQUENCY_LABELS + index), label,
                                       sizeof label);
        const Point at = frequency_label_position(index);
        bitmap_text(dc, at.x, at.y, label, length, g_tool.available[index]);
    }
    SelectObject(g_freq.dcs.memory, g_freq.marker);
    const Point mark = frequency_marker_position(g_tool.shown_frequency);
    BitBlt(dc, mark.x, mark.y, 20, 20, g_freq.dcs.memory, 0, 0, SRCCOPY);
    fill_and_border(dc, size.width, size.height, false);
}

// Information box.
struct InfoBox {
    DialogDcs dcs;
    int chip = -1, frequency = -1, version = -1, access = 0;
} g_info;

constexpr const char* kInfoTitle[3] = {"Duoscope", "  a virtual reality timing generator",
                                       "Copyright the Duoscope developers"};
constexpr const char* kInfoLabels[4] = {"VGA manufacturer:", "  Current frequency:", "Version:", "Port access:"};
// The rows of the labels and values, in hundredths of the box's height.
constexpr int kInfoRow[4] = {36, 45, 54, 63};

void paint_info_box(HWND dlg) {
    HDC dc = g_info.dcs.dc;
    const Size size = client_size(dlg);
    const int w = size.width, h = size.height;
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    for (int i = 0; i < 3; ++i) {
        const int length = static_cast<int>(std::strlen(kInfoTitle[i]));
        draw_text(dc, (w - 7 * length) / 2, (i + 1) * h / 10, kInfoTitle[i]);
    }
    for (int i = 0; i < 4; ++i) {
        const int length = static_cast<int>(std::strlen(kInfoLabels[i]));
        draw_text(dc, w / 2 - 7 * length, kInfoRow[i] * h / 100, kInfoLabels[i]);
    }
    SetBkMode(dc, TRANSPARENT);
    const std::string values[4] = {chip_name(g_info.chip), frequency_text(g_info.frequency),
                                   version_text(g_info.version), port_access_text(g_info.access)};
    for (int i = 0; i < 4; ++i)
        TextOutA(dc, w / 2, kInfoRow[i] * h / 100, values[i].c_str(), static_cast<int>(values[i].size()));
    fill_and_border(dc, w, h, false);
}

// Settings dialog.
struct SettingsDialog {
    DialogDcs dcs;
    HBITMAP selected = nullptr, on_top = nullptr;
    SettingsChoice choice{};
    Size opened{0, 0};
} g_settings;

void draw_mark(HDC dc, HBITMAP mark, int item) {
    if (item < 0) return;
    const Point at = settings_label_position(static_cast<SettingsItem>(item), g_settings.opened);
    SelectObject(g_settings.dcs.memory, mark);
    BitBlt(dc, at.x - 20, at.y - 3, 20, 20, g_settings.dcs.memory, 0, 0, SRCCOPY);
}

void paint_settings(HWND dlg) {
    HDC dc = g_settings.dcs.dc;
    const Size size = client_size(dlg);
    const int w = size.width, h = size.height;
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    fill_and_border(dc, w, h, false);
    for (int i = 0; i < kSettingsItemCount; ++i) {
        const Point at = settings_label_position(static_cast<SettingsItem>(i), g_settings.opened);
        draw_text(dc, at.x, at.y, settings_label(static_cast<SettingsItem>(i)));
    }
    draw_text(dc, 3 * w / 5 - 15, h / 3, "Hot key");
    draw_text(dc, 3 * w / 5 - 5, h / 3 + h / 10, "toggle glasses");
    draw_mark(dc, g_settings.selected, layout_item(g_settings.choice.layout));
    draw_mark(dc, g_settings.selected, hot_key_item(g_settings.choice.hot_key));
    if (g_settings.choice.on_top) draw_mark(dc, g_settings.on_top, static_cast<int>(SettingsItem::kOnTop));
}

// The frames follow the dialog's pixel size. They are placed once the
// dialog has its size, before it is first shown, so that they are drawn
// whole; moved while painting without a redraw, only the part inside their
// template size would be drawn.
void place_group_boxes(HWND dlg, Size size) {
    const int w = size.width, h = size.height;
    SetWindowPos(GetDlgItem(dlg, kGroupHotKey), nullptr, 3 * w / 5 - 15, h / 3 + 7, 2 * w / 5, 7 * h / 15,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(dlg, kGroupLayout), nullptr, w / 9, h / 5 + 7, 2 * w / 5, 2 * h / 3,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void accept_settings() {
    HWND bar = g_tool.bar;
    const int wanted = g_settings.choice.hot_key;
    if (wanted != g_tool.hot_key) {
        if (wanted == kHotKeyT || wanted == kHotKeyO) {
            if (g_tool.hot_key != 0) UnregisterHotKey(bar, g_tool.hot_key);
            g_tool.hot_key = wanted;
            if (!RegisterHotKey(bar, wanted, MOD_ALT | MOD_CONTROL, wanted == kHotKeyO ? 'O' : 'T')) {
                MessageBoxA(GetFocus(), "RegisterHotKey() fails.", "Warning", MB_ICONEXCLAMATION | MB_OK);
                g_tool.hot_key = 0;
            }
        } else if (wanted == 0) {
            if (g_tool.hot_key != 0) UnregisterHotKey(bar, g_tool.hot_key);
            g_tool.hot_key = 0;
        }
    }
    g_tool.stacking = g_settings.choice.on_top ? HWND_TOPMOST : HWND_NOTOPMOST;
    g_tool.layout = g_settings.choice.layout;
    apply_layout();
}

} // namespace

void bitmap_text(HDC dest, int x, int y, const char* text, int length, int sheet) {
    SelectObject(g_tool.memory_dc, sheet != 0 ? g_tool.text_light : g_tool.text_dark);
    const int rows = sheet != 0 ? kLightSheetRows : kDarkSheetRows;
    for (int i = 0; i < length; ++i) {
        const Glyph g = glyph_for(text[i]);
        BitBlt(dest, x, y, g.width, glyph_rows(g, rows), g_tool.memory_dc, g.x, g.y, SRCCOPY);
        x += g.width;
    }
}

void draw_dialog_button(HDC memory_dc, const DRAWITEMSTRUCT* item) {
    if (item->CtlType != ODT_BUTTON || (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0) return;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    SelectObject(memory_dc, pressed ? g_tool.dialog_down : g_tool.dialog_up);
    const RECT& r = item->rcItem;
    const int w = r.right - r.left, h = r.bottom - r.top;
    // The face is 60 wide: a wider button takes its ends from the face's
    // ends and repeats the plain middle between them.
    const int end = w > 60 ? 20 : w;
    BitBlt(item->hDC, r.left, r.top, end, h, memory_dc, 0, 0, SRCCOPY);
    if (w > 60) {
        for (int x = end; x < w - 20; x += 20)
            BitBlt(item->hDC, r.left + x, r.top, std::min(20, w - 20 - x), h, memory_dc, 20, 0, SRCCOPY);
        BitBlt(item->hDC, r.right - 20, r.top, 20, h, memory_dc, 40, 0, SRCCOPY);
    }
    const char* label = nullptr;
    int dx = 0;
    switch (item->CtlID) {
    case kFreqOk:
    case kInfoOk:
    case kSettingsOk: label = "OK", dx = 19; break;
    case kFreqCancel:
    case kSettingsCancel: label = "Cancel", dx = 9; break;
    case kFreqDefault: label = "Default", dx = 7; break;
    default: return;
    }
    const int shift = pressed ? 1 : 0;
    bitmap_text(item->hDC, r.left + dx - shift, r.top + 7 - shift, label, static_cast<int>(std::strlen(label)), 1);
}

INT_PTR CALLBACK FreqSelectDlgProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        // The dialog shows the library's state, not what the bar last heard.
        read_library_frequencies();
        g_freq.library_default = Query_VR_System(DUO_Q_DEFAULT_FREQUENCY, 0);
        g_freq.shown_at_opening = g_tool.shown_frequency;
        create_dialog_button(dlg, kFreqOk, 220, 10, 60, 24);
        create_dialog_button(dlg, kFreqCancel, 220, 50, 60, 24);
        create_dialog_button(dlg, kFreqDefault, 200, 90, 120, 24);
        open_dcs(g_freq.dcs, dlg);
        g_freq.marker = LoadBitmapA(g_tool.instance, MAKEINTRESOURCEA(kMarkSelected));
        SelectObject(g_freq.dcs.memory, g_freq.marker);
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(dlg, &ps);
        paint_frequency_dialog(dlg);
        EndPaint(dlg, &ps);
        break;
    }
    case WM_LBUTTONUP: {
        const int next = frequency_after_click(g_tool.shown_frequency, client_cursor(dlg), g_tool.available);
        if (next != g_tool.shown_frequency) {
            g_tool.shown_frequency = next;
            InvalidateRect(dlg, nullptr, FALSE);
        }
        break;
    }
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case kFreqOk:
            if (Set_VR_System_Frequency(g_tool.shown_frequency) == 0) {
                refused_box(dlg, Query_VR_System(DUO_Q_LAST_ERROR, 0));
                read_library_frequencies();
            }
            EndDialog(dlg, 1);
            break;
        case kFreqCancel:
            g_tool.shown_frequency = g_freq.shown_at_opening;
            EndDialog(dlg, 1);
            break;
        case kFreqDefault:
            g_tool.shown_frequency = Query_VR_System(DUO_Q_DEFAULT_FREQUENCY, 0);
            InvalidateRect(dlg, nullptr, FALSE);
            break;
        default: break;
        }
        break;
    case WM_DRAWITEM: draw_dialog_button(g_freq.dcs.memory, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)); break;
    case WM_DESTROY:
        close_dcs(g_freq.dcs, dlg);
        if (g_freq.marker != nullptr) DeleteObject(g_freq.marker);
        g_freq.marker = nullptr;
        break;
    default: break;
    }
    return FALSE;
}

INT_PTR CALLBACK InfoBoxDlgProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: {
        centre_in_middle_quarter(dlg);
        const Size size = client_size(dlg);
        g_info.chip = Query_VR_System(DUO_Q_CHIP, 0);
        g_info.frequency = Query_VR_System(DUO_Q_FREQUENCY, 0);
        g_info.version = Query_VR_System(DUO_Q_VERSION, 0);
        g_info.access = Query_VR_System(DUO_Q_PORT_ACCESS, 0);
        create_dialog_button(dlg, kInfoOk, size.width / 2 - 30, 9 * size.height / 10 - 24, 60, 24);
        open_dcs(g_info.dcs, dlg);
        break;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(dlg, &ps);
        paint_info_box(dlg);
        EndPaint(dlg, &ps);
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == kInfoOk) EndDialog(dlg, 1);
        break;
    case WM_DRAWITEM: draw_dialog_button(g_info.dcs.memory, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)); break;
    case WM_DESTROY: close_dcs(g_info.dcs, dlg); break;
    default: break;
    }
    return FALSE;
}

INT_PTR CALLBACK VRSettingsDlgProc(HWND dlg, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        centre_in_middle_quarter(dlg);
        g_settings.opened = client_size(dlg);
        place_group_boxes(dlg, g_settings.opened);
        g_settings.choice = {g_tool.layout, g_tool.hot_key, g_tool.stacking == HWND_TOPMOST};
        create_dialog_button(dlg, kSettingsOk, 235, 5, 60, 24);
        create_dialog_button(dlg, kSettingsCancel, 235, 40, 60, 24);
        open_dcs(g_settings.dcs, dlg);
        g_settings.selected = LoadBitmapA(g_tool.instance, MAKEINTRESOURCEA(kMarkSelected));
        g_settings.on_top = LoadBitmapA(g_tool.instance, MAKEINTRESOURCEA(kMarkOnTop));
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(dlg, &ps);
        paint_settings(dlg);
        EndPaint(dlg, &ps);
        break;
    }
    case WM_LBUTTONUP: {
        const int item = settings_item_at(client_cursor(dlg), g_settings.opened);
        if (item >= 0) {
            apply_settings_click(g_settings.choice, static_cast<SettingsItem>(item));
            InvalidateRect(dlg, nullptr, FALSE);
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == kSettingsOk) {
            accept_settings();
            EndDialog(dlg, 1);
        } else if (LOWORD(wparam) == kSettingsCancel) {
            EndDialog(dlg, 1);
        }
        break;
    case WM_DRAWITEM:
        draw_dialog_button(g_settings.dcs.memory, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        break;
    case WM_DESTROY:
        close_dcs(g_settings.dcs, dlg);
        for (HBITMAP* b : {&g_settings.selected, &g_settings.on_top}) {
            if (*b != nullptr) DeleteObject(*b);
            *b = nullptr;
        }
        break;
    default: break;
    }
    return FALSE;
}

} // namespace duo::tool
