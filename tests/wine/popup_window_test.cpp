// The popup window procedure of the library, in a window class of this
// client: its eye-swap button, its drawing and its commands.
#include <windows.h>

#include <gtest/gtest.h>

#include "sim/adapter.h"

namespace {

class PopupWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("DUOGATE_ADAPTER", "s3-765");
        library = LoadLibraryA("duoscope.dll");
        ASSERT_NE(library, nullptr);
        auto proc = reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(12))));
        ASSERT_NE(proc, nullptr);
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = "DuoPopupTest";
        RegisterClassA(&wc);
        popup = CreateWindowA("DuoPopupTest", "popup", WS_POPUP | WS_VISIBLE, 100, 100, 100, 85, nullptr, nullptr,
                              wc.hInstance, nullptr);
        ASSERT_NE(popup, nullptr);
        host = CreateWindowA("STATIC", "host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_EQ(call<int(WINAPI*)(HWND)>(1)(host), 1);
    }
    void TearDown() override {
        if (library) call<int(WINAPI*)(HWND)>(4)(host);
        if (IsWindow(popup)) DestroyWindow(popup);
        DestroyWindow(host);
        UnregisterClassA("DuoPopupTest", GetModuleHandleA(nullptr));
        if (library) FreeLibrary(library);
        SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
    }
    template <typename F>
    F call(int ordinal) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal))));
    }
    const duo::sim::AdapterState& adapter() {
        auto state = reinterpret_cast<duo::sim::AdapterState*(WINAPI*)(BOOL)>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("duogate_sim.dll"), "DuoGateSim_State")));
        return *state(FALSE);
    }
    HMODULE library = nullptr;
    HWND popup = nullptr;
    HWND host = nullptr;
};

TEST_F(PopupWindow, HasItsOwnerDrawnButtonAt20x20) {
    HWND button = GetDlgItem(popup, 1);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(GetWindowLongA(button, GWL_STYLE) & BS_OWNERDRAW);
    RECT r;
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 60);
    EXPECT_EQ(r.bottom - r.top, 45);
}

TEST_F(PopupWindow, ButtonIsDrawnFromTheRaisedFace) {
    HWND button = GetDlgItem(popup, 1);
    UpdateWindow(popup);
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(button);
    // The face has a black outline and a white highlight inside it.
    EXPECT_EQ(GetPixel(dc, 0, 0) & 0xFFFFFF, RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 1) & 0xFFFFFF, RGB(255, 255, 255));
    ReleaseDC(button, dc);
}

TEST_F(PopupWindow, ButtonSwapsTheEyesAndCommandZeroCloses) {
    const std::uint8_t start = adapter().crtc[0x0D];
    call<int(WINAPI*)(HWND, int)>(2)(host, 5);
    SendMessageA(popup, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(popup, 1)));
    EXPECT_NE(adapter().crtc[0x0D], start) << "the display start moved";
    SendMessageA(popup, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(popup, 1)));
    EXPECT_EQ(adapter().crtc[0x0D], 0);
    call<void(WINAPI*)(HWND)>(3)(host);
    SendMessageA(popup, WM_COMMAND, MAKEWPARAM(7, 0), 0);
    EXPECT_TRUE(IsWindow(popup)) << "other commands do nothing";
    SendMessageA(popup, WM_COMMAND, MAKEWPARAM(0, 0), 0);
    EXPECT_FALSE(IsWindow(popup));
}

} // namespace
