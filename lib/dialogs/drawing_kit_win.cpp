#include "lib/dialogs/drawing_kit_win.h"

#include <cstdlib>
#include <cstring>

#include "lib/core/state.h"
#include "lib/dialogs/glyphs.h"

namespace duo {
namespace {

constexpr WORD kPaletteVersion = 0x300;
constexpr int kFullColourTable = 256;

} // namespace

HINSTANCE library_instance() { return reinterpret_cast<HINSTANCE>(g_process.module_instance); }

void kit_open(DrawContext& kit, HWND dialog, bool with_picture) {
    kit = DrawContext{};
    kit.dialog = dialog;
    kit.window_dc = GetDC(dialog);
    kit.memory_dc = CreateCompatibleDC(kit.window_dc);
    kit.text_sheet = LoadBitmapA(library_instance(), MAKEINTRESOURCEA(kTextSheet));
    // The bitmap each memory DC came with, selected back before it is deleted.
    kit.memory_dc_first = GetCurrentObject(kit.memory_dc, OBJ_BITMAP);
    if (kit.text_sheet) SelectObject(kit.memory_dc, kit.text_sheet);
    if (with_picture) {
        kit.picture_dc = CreateCompatibleDC(kit.window_dc);
        kit.picture_dc_first = GetCurrentObject(kit.picture_dc, OBJ_BITMAP);
    }
}

void kit_close(DrawContext& kit) {
    for (int i = 0; i < kit.button_count; ++i) DestroyWindow(kit.buttons[i]);
    if (kit.palette) {
        SelectPalette(kit.window_dc, kit.window_dc_palette, FALSE);
        if (kit.picture_dc) SelectPalette(kit.picture_dc, kit.picture_dc_palette, FALSE);
        if (kit.palette != GetStockObject(DEFAULT_PALETTE)) DeleteObject(kit.palette);
    }
    if (kit.picture_dc) {
        SelectObject(kit.picture_dc, kit.picture_dc_first);
        DeleteDC(kit.picture_dc);
    }
    if (kit.picture) DeleteObject(kit.picture);
    SelectObject(kit.memory_dc, kit.memory_dc_first);
    DeleteDC(kit.memory_dc);
    if (kit.text_sheet) DeleteObject(kit.text_sheet);
    ReleaseDC(kit.dialog, kit.window_dc);
    kit = DrawContext{};
}

void bitmap_text(HDC destination, HDC sheet_dc, int x, int y, const char* text, int length) {
    for (int i = 0; i < length; ++i) {
        const Glyph* g = glyph_of(static_cast<unsigned char>(text[i]));
        if (g == nullptr) continue;
        BitBlt(destination, x, y, g->width, kGlyphHeight, sheet_dc, g->x, g->y, SRCCOPY);
        x += g->width;
    }
}

void bitmap_text(HDC destination, HDC sheet_dc, int x, int y, const char* text) {
    bitmap_text(destination, sheet_dc, x, y, text, static_cast<int>(std::strlen(text)));
}

void draw_captioned_button(HDC memory_dc, const DRAWITEMSTRUCT& item, HBITMAP sunken, HBITMAP raised,
                           HBITMAP text_sheet) {
    if (item.CtlType != ODT_BUTTON || (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0) return;
    const bool held = (item.itemState & ODS_SELECTED) != 0;
    const RECT& r = item.rcItem;
    SelectObject(memory_dc, held ? sunken : raised);
    BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory_dc, 0, 0, SRCCOPY);
    SelectObject(memory_dc, text_sheet);
    if (const Caption* c = caption_of(static_cast<std::int32_t>(item.CtlID))) {
        const int shift = held ? 1 : 0;
        bitmap_text(item.hDC, memory_dc, r.left + c->x - shift, r.top + kCaptionY - shift, c->text);
    }
}

HWND create_captioned_button(HWND dialog, int control_id, int x, int y) {
    return CreateWindowExA(0, "button", nullptr, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, kButtonWidth,
                           kButtonHeight, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
                           library_instance(), nullptr);
}

HWND add_button(DrawContext& kit, int control_id, int x, int y) {
    HWND button = create_captioned_button(kit.dialog, control_id, x, y);
    if (button && kit.button_count < kMaxDialogButtons) kit.buttons[kit.button_count++] = button;
    return button;
}

void draw_dialog_button(DrawContext& kit, LPARAM item) {
    draw_captioned_button(kit.memory_dc, *reinterpret_cast<const DRAWITEMSTRUCT*>(item),
                          reinterpret_cast<HBITMAP>(g_process.face_sunken),
                          reinterpret_cast<HBITMAP>(g_process.face_raised), kit.text_sheet);
}

HPALETTE picture_palette(const BITMAPINFOHEADER* header) {
    const DWORD count = header->biClrUsed;
    if (count == 0) return static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    if (count > kFullColourTable) return nullptr;
    const SIZE_T size = sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count;
    auto* record = static_cast<LOGPALETTE*>(LocalAlloc(LMEM_FIXED, size));
    if (record == nullptr) return nullptr;
    record->palVersion = kPaletteVersion;
    record->palNumEntries = static_cast<WORD>(count);
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
    for (DWORD i = 0; i < count; ++i) {
        record->palPalEntry[i].peRed = table[i].rgbRed;
        record->palPalEntry[i].peGreen = table[i].rgbGreen;
        record->palPalEntry[i].peBlue = table[i].rgbBlue;
        record->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(record);
    LocalFree(record);
    return palette;
}

namespace {

// On a 256-colour display: the picture converted through its own palette,
// which is realised in the window DC.
HBITMAP load_with_palette(const char* name, DrawContext& kit) {
    HINSTANCE instance = library_instance();
    HRSRC found = FindResourceA(instance, name, RT_BITMAP);
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    const auto* header = loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : nullptr;
    if (header == nullptr || header->biSize < sizeof(BITMAPINFOHEADER) ||
        SizeofResource(instance, found) < header->biSize + sizeof(RGBQUAD) * kFullColourTable)
        return nullptr;
    // A private copy of the header with a full colour table; the resource is read only.
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[kFullColourTable];
    } info{};
    info.h = *header;
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biClrUsed = kFullColourTable;
    if (info.h.biSizeImage == 0)
        info.h.biSizeImage = ((info.h.biWidth * info.h.biBitCount + 31) / 32) * 4 * std::abs(info.h.biHeight);
    std::memcpy(info.colours, reinterpret_cast<const BYTE*>(header) + header->biSize, sizeof info.colours);
    if (SizeofResource(instance, found) < header->biSize + sizeof info.colours + info.h.biSizeImage) return nullptr;

    kit.palette = picture_palette(&info.h);
    if (kit.palette) {
        kit.window_dc_palette = SelectPalette(kit.window_dc, kit.palette, FALSE);
        RealizePalette(kit.window_dc);
        kit.picture_dc_palette = SelectPalette(kit.picture_dc, kit.palette, FALSE);
        RealizePalette(kit.picture_dc);
    }
    const int height = std::abs(info.h.biHeight);
    HBITMAP picture = CreateCompatibleBitmap(kit.window_dc, info.h.biWidth, height);
    if (picture == nullptr) return nullptr;
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) + header->biSize + sizeof info.colours;
    SetDIBits(kit.window_dc, picture, 0, static_cast<UINT>(height), bits, reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    return picture;
}

} // namespace

HBITMAP load_dialog_picture(const char* name, DrawContext& kit) {
    const bool palette_display =
        GetDeviceCaps(kit.window_dc, PLANES) * GetDeviceCaps(kit.window_dc, BITSPIXEL) == 8;
    kit.picture = palette_display ? load_with_palette(name, kit) : LoadBitmapA(library_instance(), name);
    if (kit.picture) SelectObject(kit.picture_dc, kit.picture);
    return kit.picture;
}

void paint_frame_fill(HDC dc, int width, int height) {
    RECT r{0, 0, width, height};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
}

void paint_frame_border(HDC dc, int width, int height) {
    HGDIOBJ previous = SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, width, 0, nullptr);
    LineTo(dc, 0, 0);
    LineTo(dc, 0, height);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    MoveToEx(dc, width - 1, 0, nullptr);
    LineTo(dc, width - 1, height - 1);
    LineTo(dc, 0, height - 1);
    SelectObject(dc, previous);
}

SIZE client_size(const DrawContext& kit) {
    RECT r{};
    GetClientRect(kit.dialog, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void validate_paint(HWND dialog) {
    PAINTSTRUCT ps;
    BeginPaint(dialog, &ps);
    EndPaint(dialog, &ps);
}

} // namespace duo
