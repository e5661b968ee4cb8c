// The frequency test dialog "DIAGNOSISVRSYSTEM" and its answer dialogs
// "PASSFAIL" and "FAILCONFIRM".
#include "lib/core/state.h"
#include "lib/dialogs/diagnosis.h"
#include "lib/dialogs/dialogs_win.h"
#include "lib/dialogs/drawing_kit_win.h"
#include "lib/hw/family.h"

namespace duo {
namespace {

constexpr UINT_PTR kAnswerTimer = 1000;
constexpr UINT kAnswerTimeMs = 5000;
constexpr int kNameLength = 10;

constexpr int kCmdConfirmYes = 1008;
constexpr int kCmdConfirmNo = 1009;
constexpr int kCmdConfirmRetry = 1010;
constexpr int kCmdPassYes = 1011;
constexpr int kCmdPassNo = 1012;
constexpr int kCmdPassAbort = 1013;

DrawContext g_kit;         // the frequency test dialog
DrawContext g_answer_kit;  // PASSFAIL or FAILCONFIRM, never both at once
HBITMAP g_marker = nullptr;
DiagnosisState g_state;

// The name of a frequency index; empty when there is none.
void frequency_name(std::int32_t frequency, char (&name)[kNameLength]) {
    name[0] = '\0';
    if (frequency >= 0 && frequency < kFrequencyCount)
        LoadStringA(library_instance(), DUO_STRING_FREQUENCY_NAMES + frequency, name, kNameLength);
}

void draw_name(HDC dc, HDC sheet_dc, int x, int y, std::int32_t frequency) {
    char name[kNameLength];
    frequency_name(frequency, name);
    bitmap_text(dc, sheet_dc, x, y, name);
}

void paint_diagnosis(HWND dialog) {
    validate_paint(dialog);
    const SIZE size = client_size(g_kit);
    HDC dc = g_kit.window_dc;
    HDC sheet = g_kit.memory_dc;
    paint_frame_fill(dc, size.cx, size.cy);
    bitmap_text(dc, sheet, 20, 5, "Frequency");
    bitmap_text(dc, sheet, 20, 180, "Default frequency:");
    draw_name(dc, sheet, 140, 180, g_state.pending_default);
    for (std::int32_t f = kFirstListedFrequency; f < kFrequencyCount; ++f) {
        const int n = f - kFirstListedFrequency;
        draw_name(dc, sheet, n < 5 ? 40 : 120, 30 + 30 * (n % 5), f);
    }
    int x = 0, y = 0;
    if (g_marker && marker_position(g_shared.test_frequency, x, y)) {
        SelectObject(sheet, g_marker);
        BitBlt(dc, x, y, 20, 20, sheet, 0, 0, SRCCOPY);
        SelectObject(sheet, g_kit.text_sheet ? static_cast<HGDIOBJ>(g_kit.text_sheet) : g_kit.memory_dc_first);
    }
    paint_frame_border(dc, size.cx, size.cy);
}

void set_answer_caption(HWND dialog, const char* format) {
    char name[kNameLength];
    frequency_name(g_shared.test_frequency, name);
    char caption[64];
    wsprintfA(caption, format, name);
    SetWindowTextA(dialog, caption);
}

INT_PTR CALLBACK pass_fail_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetTimer(dialog, kAnswerTimer, kAnswerTimeMs, nullptr);
        set_answer_caption(dialog, "Frequency showing: %s");
        kit_open(g_answer_kit, dialog, true);
        load_dialog_picture("TEST", g_answer_kit);
        screen_unblank_step();
        add_button(g_answer_kit, kCmdPassYes, 360, 10);
        add_button(g_answer_kit, kCmdPassNo, 360, 50);
        HWND abort = add_button(g_answer_kit, kCmdPassAbort, 360, 120);
        ShowWindow(abort, g_state.test_all ? SW_SHOW : SW_HIDE);
        EnableWindow(abort, g_state.test_all ? TRUE : FALSE);
        return 0;
    }
    case WM_PAINT: {
        validate_paint(dialog);
        const SIZE size = client_size(g_answer_kit);
        HDC dc = g_answer_kit.window_dc;
        paint_frame_fill(dc, size.cx, size.cy);
        bitmap_text(dc, g_answer_kit.memory_dc, 10, 10, "Do you see a VR picture?(Please press YES in 5 seconds.)");
        paint_frame_border(dc, size.cx, size.cy);
        if (g_answer_kit.picture)
            BitBlt(dc, 16, 32, kPictureWidth, kPictureHeight, g_answer_kit.picture_dc, 0, 0, SRCCOPY);
        return 0;
    }
    case WM_DRAWITEM: draw_dialog_button(g_answer_kit, lparam); return 0;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case kCmdPassYes: record_answer(1); EndDialog(dialog, kPassYes); break;
        case kCmdPassNo: record_answer(0); EndDialog(dialog, kPassNo); break;
        case kCmdPassAbort: EndDialog(dialog, kPassAbort); break;
        default: break;
        }
        return 1;
    case WM_TIMER: EndDialog(dialog, kPassTimeout); return 0;
    case WM_DESTROY:
        kit_close(g_answer_kit);
        KillTimer(dialog, kAnswerTimer);
        return 0;
    default: return 0;
    }
}

INT_PTR CALLBACK fail_confirm_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        set_answer_caption(dialog, "Testing confirmation: %s");
        kit_open(g_answer_kit, dialog, false);
        add_button(g_answer_kit, kCmdConfirmYes, 20, 100);
        add_button(g_answer_kit, kCmdConfirmNo, 120, 100);
        add_button(g_answer_kit, kCmdConfirmRetry, 220, 100);
        screen_unblank_step();
        return 0;
    case WM_PAINT: {
        validate_paint(dialog);
        const SIZE size = client_size(g_answer_kit);
        HDC dc = g_answer_kit.window_dc;
        paint_frame_fill(dc, size.cx, size.cy);
        bitmap_text(dc, g_answer_kit.memory_dc, 60, 40, "Was the testing successful?");
        paint_frame_border(dc, size.cx, size.cy);
        return 0;
    }
    case WM_DRAWITEM: draw_dialog_button(g_answer_kit, lparam); return 0;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case kCmdConfirmYes: record_answer(1); EndDialog(dialog, kConfirmYes); break;
        case kCmdConfirmNo: record_answer(0); EndDialog(dialog, kConfirmNo); break;
        case kCmdConfirmRetry: EndDialog(dialog, kConfirmRetry); break;
        default: break;
        }
        return 1;
    case WM_DESTROY: kit_close(g_answer_kit); return 0;
    default: return 0;
    }
}

int run_answer(void* owner, const char* name, DLGPROC proc) {
    return static_cast<int>(DialogBoxParamA(library_instance(), name, static_cast<HWND>(owner), proc, 0));
}
int run_pass_fail(void* owner) { return run_answer(owner, "PassFail", pass_fail_proc); }
int run_fail_confirm(void* owner) { return run_answer(owner, "FailConfirm", fail_confirm_proc); }

bool command(HWND dialog, int id) {
    const AnswerDialogs dialogs{run_pass_fail, run_fail_confirm, dialog};
    switch (id) {
    case kCmdTest: run_test(dialogs); break;
    case kCmdTestAll: run_test_all(g_state, dialogs); break;
    case kCmdSetDefault:
        if (!set_default(g_state)) MessageBoxA(dialog, "Not a good default selection", "Set Default", MB_OK);
        break;
    case kCmdDiagnosisClose:
        diagnosis_close(g_state);
        EndDialog(dialog, 1);
        return false;
    default: return false;
    }
    return true;
}

} // namespace
} // namespace duo

extern "C" INT_PTR CALLBACK DiagnosisVRSystemDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    using namespace duo;
    switch (message) {
    case WM_INITDIALOG:
        diagnosis_open(g_state);
        kit_open(g_kit, dialog, false);
        g_marker = LoadBitmapA(library_instance(), MAKEINTRESOURCEA(kSelectionMarker));
        add_button(g_kit, kCmdDiagnosisClose, 220, 10);
        add_button(g_kit, kCmdTest, 220, 50);
        add_button(g_kit, kCmdTestAll, 220, 90);
        add_button(g_kit, kCmdSetDefault, 220, 140);
        screen_unblank_step();
        return 0;
    case WM_PAINT: paint_diagnosis(dialog); return 0;
    case WM_DRAWITEM: draw_dialog_button(g_kit, lparam); return 0;
    case WM_LBUTTONUP: {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(dialog, &p);
        if (diagnosis_select_at(p.x, p.y)) InvalidateRect(dialog, nullptr, FALSE);
        return 0;
    }
    case WM_COMMAND:
        if (command(dialog, LOWORD(wparam))) InvalidateRect(dialog, nullptr, FALSE);
        return 1;
    case WM_DESTROY:
        kit_close(g_kit);
        if (g_marker) DeleteObject(g_marker);
        g_marker = nullptr;
        return 0;
    default: return 0;
    }
}
