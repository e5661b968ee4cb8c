// The screen adjustment dialog "ADJUSTVRSYSTEM".
#include "lib/core/sessions.h"
#include "lib/core/state.h"
#include "lib/dialogs/adjust.h"
#include "lib/dialogs/dialogs_win.h"
#include "lib/dialogs/drawing_kit_win.h"

namespace duo {
namespace {

DrawContext g_kit;
AdjustState g_adjust;

void paint(HWND dialog) {
    validate_paint(dialog);
    const SIZE size = client_size(g_kit);
    HDC dc = g_kit.window_dc;
    paint_frame_fill(dc, size.cx, size.cy);
    if (g_kit.picture)
        BitBlt(dc, 0, 0, kPictureWidth, kPictureHeight, g_kit.picture_dc, kAdjustPictureColumn, 0, SRCCOPY);
    for (int a = 0; a < kArrows; ++a) {
        if (!g_adjust.pressed[a]) continue;
        const ArrowShift& s = kArrowShifts[a];
        BitBlt(dc, s.to_x, s.to_y, s.width, s.height, dc, s.x, s.y, SRCCOPY);
    }
    bitmap_text(dc, g_kit.memory_dc, 10, size.cy - 25, "Press on the arrow to adjust screen.");
    paint_frame_border(dc, size.cx, size.cy);
}

POINT cursor_in_client(HWND dialog) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(dialog, &p);
    return p;
}

void command(HWND dialog, int id) {
    switch (id) {
    case kCmdApplyHorizontal: adjust_apply_horizontal(g_adjust); break;
    case kCmdApplyVertical: adjust_apply_vertical(g_adjust); break;
    case kCmdAdjustOk:
        adjust_ok(g_adjust, adjust_stored_block());
        EndDialog(dialog, 1);
        break;
    case kCmdAdjustCancel:
        adjust_cancel(g_adjust, adjust_stored_block());
        EndDialog(dialog, 1);
        break;
    case kCmdAdjustDefault:
        // The built-in sync and blanking belong on the stereo timing only.
        if (const TimingBlock* block = adjust_stored_block())
            adjust_default(g_adjust, g_shared.chip_code, g_shared.display_width, g_shared.colour_depth, *block);
        break;
    default: break;
    }
}

} // namespace
} // namespace duo

extern "C" INT_PTR CALLBACK AdjustVRSystemDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    using namespace duo;
    switch (message) {
    case WM_INITDIALOG:
        kit_open(g_kit, dialog, true);
        load_dialog_picture("ADJUST", g_kit);
        add_button(g_kit, kCmdAdjustOk, 260, 50);
        add_button(g_kit, kCmdAdjustCancel, 260, 90);
        add_button(g_kit, kCmdAdjustDefault, 260, 140);
        adjust_open(g_adjust, g_shared.chip_code);
        return 0;
    case WM_PAINT: paint(dialog); return 0;
    case WM_DRAWITEM: draw_dialog_button(g_kit, lparam); return 0;
    case WM_LBUTTONDOWN: {
        const POINT p = cursor_in_client(dialog);
        if (adjust_press(g_adjust, p.x, p.y)) InvalidateRect(dialog, nullptr, FALSE);
        return 0;
    }
    case WM_LBUTTONUP: {
        const ReleaseResult r = adjust_release(g_adjust);
        if (r.released) InvalidateRect(dialog, nullptr, FALSE);
        for (int i = 0; i < r.command_count; ++i) PostMessageA(dialog, WM_COMMAND, r.commands[i], 0);
        return 0;
    }
    case WM_COMMAND: command(dialog, LOWORD(wparam)); return 1;
    case WM_DESTROY:
        // Gone without OK or Cancel (its owner was destroyed): the steps are
        // taken back as Cancel would.
        adjust_session_close(true);
        kit_close(g_kit);
        return 0;
    default: return 0;
    }
}
