// The drawing kit of the library's dialogs: bitmap text from the text
// sheet, captioned owner-drawn buttons, dialog pictures with their own
// palette on a 256-colour display, and the dialog frame.
#pragma once
#include <windows.h>

#include "lib/res/resource_ids.h"

namespace duo {

inline constexpr int kTextSheet = DUO_BITMAP_TEXT_SHEET;
inline constexpr int kSelectionMarker = DUO_BITMAP_SELECTION_MARKER;
inline constexpr int kButtonWidth = 80;
inline constexpr int kButtonHeight = 30;
inline constexpr int kPictureWidth = 320;
inline constexpr int kPictureHeight = 200;
inline constexpr int kMaxDialogButtons = 4;

// What one open dialog draws with, from WM_INITDIALOG to WM_DESTROY.
struct DrawContext {
    HWND dialog = nullptr;
    HDC window_dc = nullptr;
    HDC memory_dc = nullptr;       // text sheet and faces
    HGDIOBJ memory_dc_first = nullptr;
    HDC picture_dc = nullptr;      // the dialog picture, where there is one
    HGDIOBJ picture_dc_first = nullptr;
    HBITMAP text_sheet = nullptr;
    HBITMAP picture = nullptr;
    HPALETTE palette = nullptr;
    HPALETTE window_dc_palette = nullptr; // what the window DC held before
    HPALETTE picture_dc_palette = nullptr;
    HWND buttons[kMaxDialogButtons] = {};
    int button_count = 0;
};

HINSTANCE library_instance();

// Window DC and memory DCs; the text sheet is loaded and selected.
void kit_open(DrawContext& kit, HWND dialog, bool with_picture);
// Everything kit_open, load_dialog_picture and add_button made, released.
void kit_close(DrawContext& kit);

void bitmap_text(HDC destination, HDC sheet_dc, int x, int y, const char* text, int length);
void bitmap_text(HDC destination, HDC sheet_dc, int x, int y, const char* text);

void draw_captioned_button(HDC memory_dc, const DRAWITEMSTRUCT& item, HBITMAP sunken, HBITMAP raised,
                           HBITMAP text_sheet);
HWND create_captioned_button(HWND dialog, int control_id, int x, int y);
// Creates the button and keeps it for kit_close.
HWND add_button(DrawContext& kit, int control_id, int x, int y);
// Every WM_DRAWITEM of a library dialog.
void draw_dialog_button(DrawContext& kit, LPARAM item);

HPALETTE picture_palette(const BITMAPINFOHEADER* header);
HBITMAP load_dialog_picture(const char* name, DrawContext& kit);

void paint_frame_fill(HDC dc, int width, int height);
void paint_frame_border(HDC dc, int width, int height);

// The client size of the kit's dialog.
SIZE client_size(const DrawContext& kit);

// BeginPaint and EndPaint only validate: painting goes to the window DC.
void validate_paint(HWND dialog);

} // namespace duo
