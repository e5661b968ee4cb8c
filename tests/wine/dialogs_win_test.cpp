// The library's dialogs, run for real in this process over the simulated
// adapter and driven with mouse and button messages at their client
// coordinates: adapter registers, timing block, status table, default index
// and notifications are checked afterwards; each dialog is photographed into
// screenshots\ beside the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "lib/core/clients.h"
#include "lib/core/platform.h"
#include "lib/core/state.h"
#include "lib/dialogs/dialogs_win.h"
#include "lib/dialogs/drawing_kit_win.h"
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"
#include "lib/res/resource_ids.h"
#include "lib/timing/timing_load.h"
#include "sim/adapter.h"
#include "tests/wine/dialog_driver_win.h"

namespace duo {
namespace {

using namespace duo::testing;

// ---- Host windows that collect notifications.
struct Notice {
    HWND window;
    WPARAM code;
    LPARAM value;
    bool operator==(const Notice&) const = default;
};
std::vector<Notice> g_notices;

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kNotifyMessage) {
        g_notices.push_back({window, wparam, lparam});
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

using StateFn = sim::AdapterState*(WINAPI*)(BOOL);

// The library as Init leaves it, in this process: driver open on the named
// simulated adapter, chip code set, family opened, tables loaded, the
// dialog faces loaded as the library's entry point loads them.
class DialogTest : public ::testing::Test {
protected:
    void start(const char* adapter, std::int32_t chip) {
        SetEnvironmentVariableA("DUOGATE_ADAPTER", adapter);
        g_shared = SharedState{};
        g_process = ProcessState{};
        attach_process(); // slot 0, as the library's entry point takes it
        HINSTANCE self = GetModuleHandleA(nullptr);
        g_process.module_instance = reinterpret_cast<std::uintptr_t>(self);
        g_process.face_raised = reinterpret_cast<std::uintptr_t>(LoadBitmapA(self, MAKEINTRESOURCEA(DUO_BITMAP_FACE_RAISED)));
        g_process.face_sunken = reinterpret_cast<std::uintptr_t>(LoadBitmapA(self, MAKEINTRESOURCEA(DUO_BITMAP_FACE_SUNKEN)));
        ASSERT_NE(g_process.face_raised, 0u);
        g_process.driver = platform::open_driver();
        ASSERT_NE(g_process.driver, 0u);
        auto state_fn = reinterpret_cast<StateFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("duogate_sim.dll"), "DuoGateSim_State")));
        ASSERT_NE(state_fn, nullptr);
        adapter_ = state_fn(TRUE);
        ASSERT_NE(adapter_, nullptr);
        const platform::DesktopMode mode = platform::desktop_mode();
        g_shared.chip_code = chip;
        g_shared.colour_depth = mode.bits_per_pixel;
        g_shared.display_width = mode.width;
        g_shared.display_height = mode.height;
        g_shared.initialised = 1;
        if (const FamilyOps* ops = family_ops(chip)) ops->open_step();
        load_timing_tables();
        g_shared.current_frequency = default_frequency();

        WNDCLASSA wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = self;
        wc.lpszClassName = "DuoDialogTestHost";
        RegisterClassA(&wc);
        for (HWND& h : hosts_)
            h = CreateWindowA("DuoDialogTestHost", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, self, nullptr);
        // Slots 1 and 4 hold hosts; the others are empty.
        g_shared.clients[1].in_use = g_shared.clients[4].in_use = 1;
        register_host(g_shared.clients[1], reinterpret_cast<WindowHandle>(hosts_[1]));
        register_host(g_shared.clients[4], reinterpret_cast<WindowHandle>(hosts_[0]));
        g_notices.clear();
    }
    // Stereo on, as Enable_VR_System leaves the chip.
    void stereo_on() {
        const Family f = family_of(g_shared.chip_code);
        family_ops(g_shared.chip_code)->save_step(g_shared.saved_timing[f]);
        family_ops(g_shared.chip_code)->enter_step(g_shared.current_table.blocks[g_shared.current_frequency]);
        g_shared.stereo = 1;
        g_shared.running_block = g_shared.current_frequency;
    }
    void TearDown() override {
        for (HWND h : hosts_)
            if (h) DestroyWindow(h);
        pump();
        if (g_process.driver) platform::close_driver(g_process.driver);
        DeleteObject(reinterpret_cast<HGDIOBJ>(g_process.face_raised));
        DeleteObject(reinterpret_cast<HGDIOBJ>(g_process.face_sunken));
        g_process = ProcessState{};
        SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
    }
    std::uint32_t vrs() const {
        const std::uint8_t* c = adapter_->crtc;
        return c[0x10] | ((c[0x07] & 0x04) << 6) | ((c[0x07] & 0x80) << 2);
    }
    TimingBlock& current_block() { return g_shared.current_table.blocks[g_shared.current_frequency]; }
    sim::AdapterState* adapter_ = nullptr;
    HWND hosts_[2] = {};
};

TEST_F(DialogTest, AdjustArrowsMoveTheChipLiveAndOkKeepsThePosition) {
    start("s3-765", 0x203);
    stereo_on();
    ASSERT_EQ(adapter_->crtc[0x11] & 0x80, 0) << "stereo timing leaves CRTC 0x00-0x07 writable";
    const std::uint32_t vrs0 = vrs();
    const std::uint8_t hrs0 = adapter_->crtc[0x04];
    const TimingBlock block0 = current_block();
    std::uint32_t vrs_after_up = 0;
    bool still_open = false;
    int result = 0;
    {
        Driving d(join({{photograph(kAdjustCaption, "adjust")},
                        click(kAdjustCaption, 125, 45),       // up
                        click(kAdjustCaption, 170, 61),       // up: the zone's far corner
                        {check([&] { vrs_after_up = vrs(); })},
                        click(kAdjustCaption, 120, 120),      // down
                        click(kAdjustCaption, 175, 85),       // right
                        click(kAdjustCaption, 171, 40),       // beside the up zone: nothing
                        {on(kAdjustCaption,
                            [](HWND w) {
                                PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
                                PostMessageA(w, WM_KEYDOWN, VK_RETURN, 0);
                                PostMessageA(w, WM_CLOSE, 0, 0);
                            }),
                         check([&] { still_open = visible_dialog(kAdjustCaption) != nullptr; }),
                         press_in(kAdjustCaption, 1002)}}));
        result = Adjust_VR_System(hosts_[0]);
        EXPECT_EQ(stuck(), "");
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(g_shared.last_error, 0);
    EXPECT_TRUE(still_open) << "Escape, Enter and WM_CLOSE leave the dialog open";
    EXPECT_EQ(vrs_after_up, vrs0 + 2);
    EXPECT_EQ(vrs(), vrs0 + 1);
    EXPECT_EQ(adapter_->crtc[0x04], static_cast<std::uint8_t>(hrs0 - 1));
    // OK stored the retrace fields, nothing else.
    const TimingBlock& b = current_block();
    EXPECT_EQ(b.bytes[4], adapter_->crtc[0x04]);
    EXPECT_EQ(b.bytes[16], adapter_->crtc[0x10]);
    EXPECT_EQ(b.bytes[17] & 0x0F, adapter_->crtc[0x11] & 0x0F);
    EXPECT_EQ(b.bytes[7] & 0x84, adapter_->crtc[0x07] & 0x84);
    for (int i = 0; i < kTimingBlockSize; ++i)
        if (i != 4 && i != 5 && i != 7 && i != 16 && i != 17 && i != 62) {
            EXPECT_EQ(b.bytes[i], block0.bytes[i]) << i;
        }
    pump();
    EXPECT_TRUE(g_notices.empty()) << "the adjustment dialog tells no host";
}

TEST_F(DialogTest, AdjustHeldArrowWaitsForAReleaseOverTheDialogAndCancelRestores) {
    start("cirrus-542x", 0x301);
    stereo_on();
    std::uint8_t entry[256];
    std::memcpy(entry, adapter_->crtc, sizeof entry);
    const std::uint32_t vrs0 = vrs();
    std::uint32_t vrs_released_elsewhere = 0, vrs_released_here = 0;
    std::uint8_t cr15_default = 0;
    for (int i = 0; i < kTimingBlockSize; ++i) current_block().bytes[i] = 0x5A;
    current_block().bytes[0x11] = 0x0A;
    {
        Driving d({
            on(kAdjustCaption, [](HWND w) { mouse(w, WM_LBUTTONDOWN, 125, 110); }), // down arrow
            on(kAdjustCaption, [](HWND w) {
                // Released over the OK button: the button sees it, the dialog does not.
                HWND ok = GetDlgItem(w, 1002);
                POINT p{300, 60};
                ClientToScreen(w, &p);
                SetCursorPos(p.x, p.y);
                PostMessageA(ok, WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
            }),
            check([&] { vrs_released_elsewhere = vrs(); }),
            on(kAdjustCaption, [](HWND w) { mouse(w, WM_LBUTTONUP, 10, 10); }),
            check([&] { vrs_released_here = vrs(); }),
            press_in(kAdjustCaption, 1004), // Default
            check([&] { cr15_default = adapter_->crtc[0x15]; }),
            press_in(kAdjustCaption, 1003), // Cancel
        });
        EXPECT_EQ(Adjust_VR_System(hosts_[0]), 1);
        EXPECT_EQ(stuck(), "");
    }
    EXPECT_EQ(vrs_released_elsewhere, vrs0);
    EXPECT_EQ(vrs_released_here, vrs0 - 1);
    const TimingRecord* record = current_default_record();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(cr15_default, record->crtc[0x15]);
    for (int r : {0x02, 0x03, 0x04, 0x05, 0x07, 0x09, 0x10, 0x11, 0x15, 0x16}) {
        EXPECT_EQ(adapter_->crtc[r], entry[r]) << r;
        EXPECT_EQ(current_block().bytes[r], entry[r]) << r;
    }
    EXPECT_EQ(current_block().bytes[0x06], 0x5A) << "Cancel stores only the registers it read";
}

// With no driver every register reads 0, and without the library set up
// there are no tables: neither dialog opens.
TEST_F(DialogTest, NeitherDialogOpensInAProcessThatDoesNotHoldTheLibrary) {
    start("s3-765", 0x203);
    const DriverHandle driver = g_process.driver;
    const struct {
        DriverHandle driver;
        std::int32_t initialised;
    } cases[] = {{0, 1}, {driver, 0}};
    for (const auto& c : cases) {
        g_process.driver = c.driver;
        g_shared.initialised = c.initialised;
        {
            Driving d({press_in(kAdjustCaption, 1003)}); // should it open after all
            EXPECT_EQ(Adjust_VR_System(hosts_[0]), -1);
            EXPECT_EQ(g_shared.last_error, kErrNotInitialised);
        }
        {
            Driving d({press_in(kDiagnosisCaption, 1005)});
            EXPECT_EQ(Diagnosis_VR_System(hosts_[0]), -1);
            EXPECT_EQ(g_shared.last_error, kErrNotInitialised);
        }
    }
    g_process.driver = driver;
}

// Client points of the frequency list and what they select.
constexpr POINT kRow100Hz{60, 95};  // index 5
constexpr POINT kRow115Hz{130, 35}; // index 8, where the columns overlap

TEST_F(DialogTest, DiagnosisTestsAFrequencySetsTheDefaultAndTellsTheHostsOnClose) {
    start("s3-765", 0x203);
    for (std::int32_t& s : g_shared.current_table.status) s = 0;
    g_shared.current_table.status[3] = 1;
    g_shared.current_table.default_frequency = 3;
    std::uint8_t desktop[256];
    std::memcpy(desktop, adapter_->crtc, sizeof desktop);
    const std::uint8_t misc = adapter_->misc_output;
    std::uint8_t interlace_during_test = 0;
    bool abort_shown = true;
    std::string passfail_caption, box_text;
    std::int32_t selected = -1;
    bool still_open = false;
    int result = 0;
    {
        Driving d(join({
            {photograph(kDiagnosisCaption, "diagnosis")},
            click(kDiagnosisCaption, kRow100Hz.x, kRow100Hz.y),
            {check([&] { selected = g_shared.test_frequency; }), press_in(kDiagnosisCaption, 1006),
             on("Frequency showing: 100 Hz",
                [&](HWND w) {
                    char text[64];
                    GetWindowTextA(w, text, sizeof text);
                    passfail_caption = text;
                    interlace_during_test = adapter_->crtc[0x42];
                    abort_shown = IsWindowVisible(GetDlgItem(w, 1013)) || IsWindowEnabled(GetDlgItem(w, 1013));
                }),
             photograph("Frequency showing: 100 Hz", "passfail"), press_in("Frequency showing: 100 Hz", 1011),
             press_in(kDiagnosisCaption, 1007)}, // Set default: 100 Hz is available now
            click(kDiagnosisCaption, kRow115Hz.x, kRow115Hz.y),
            {on(kDiagnosisCaption, [](HWND w) {
                 // Neither keys nor a close request end it: only Close does.
                 PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
                 PostMessageA(w, WM_KEYDOWN, VK_RETURN, 0);
                 PostMessageA(w, WM_CLOSE, 0, 0);
             }),
             check([&] { still_open = visible_dialog(kDiagnosisCaption) != nullptr; }),
             press_in(kDiagnosisCaption, 1006), press_in("Frequency showing: 115 Hz", 1012), // No
             press_in(kDiagnosisCaption, 1007),                                                // refused
             on("Set Default",
                [&](HWND w) {
                    char text[64] = {};
                    GetDlgItemTextA(w, 0xFFFF, text, sizeof text);
                    box_text = text;
                }),
             on("Set Default", [](HWND w) { PostMessageA(w, WM_COMMAND, IDOK, 0); }),
             photograph(kDiagnosisCaption, "diagnosis_after_tests"), press_in(kDiagnosisCaption, 1005)},
        }));
        result = Diagnosis_VR_System(hosts_[0]);
        EXPECT_EQ(stuck(), "");
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(selected, 5);
    EXPECT_TRUE(still_open);
    EXPECT_EQ(passfail_caption, "Frequency showing: 100 Hz");
    EXPECT_NE(interlace_during_test & 0x20, 0) << "PASSFAIL shows the stereo timing";
    EXPECT_FALSE(abort_shown) << "Abort belongs to Test all";
    EXPECT_EQ(box_text, "Not a good default selection");
    EXPECT_EQ(g_shared.current_table.status[5], 1);
    EXPECT_EQ(g_shared.current_table.status[8], 0);
    EXPECT_EQ(default_frequency(), 5);
    EXPECT_EQ(g_shared.test_frequency, 8);
    for (int r = 0; r < 0x19; ++r) EXPECT_EQ(adapter_->crtc[r] & 0x7F, desktop[r] & 0x7F) << r;
    EXPECT_EQ(adapter_->crtc[0x42], desktop[0x42]);
    EXPECT_EQ(adapter_->misc_output, misc);
    pump();
    const LPARAM mask = (1 << 3) | (1 << 5);
    const std::vector<Notice> expected = {
        {hosts_[1], 604, mask}, {hosts_[1], 608, 5}, {hosts_[0], 604, mask}, {hosts_[0], 608, 5}};
    EXPECT_EQ(g_notices, expected);
}

TEST_F(DialogTest, DiagnosisTimeOutAsksAgainOnTheRestoredScreenAndRetryTestsAgain) {
    start("s3-765", 0x203);
    for (std::int32_t& s : g_shared.current_table.status) s = 0;
    g_shared.current_table.default_frequency = 9;
    std::uint8_t desktop_interlace = adapter_->crtc[0x42];
    std::uint8_t interlace_while_confirming = 0xFF;
    DWORD passfail_up = 0, timed_out_after = 0;
    {
        Driving d({
            press_in(kDiagnosisCaption, 1006),
            on("Frequency showing: 120 Hz", [&](HWND) { passfail_up = GetTickCount(); }),
            on("Testing confirmation: 120 Hz",
               [&](HWND) {
                   timed_out_after = GetTickCount() - passfail_up;
                   interlace_while_confirming = adapter_->crtc[0x42];
               }),
            photograph("Testing confirmation: 120 Hz", "failconfirm"),
            press_in("Testing confirmation: 120 Hz", 1010), // Retry
            on("Frequency showing: 120 Hz", [](HWND w) { PostMessageA(w, WM_TIMER, 1000, 0); }),
            press_in("Testing confirmation: 120 Hz", 1008), // Yes
            press_in(kDiagnosisCaption, 1005),
        });
        EXPECT_EQ(Diagnosis_VR_System(hosts_[0]), 1);
        EXPECT_EQ(stuck(), "");
    }
    EXPECT_GE(timed_out_after, 4500u);
    EXPECT_LE(timed_out_after, 8000u);
    EXPECT_EQ(interlace_while_confirming, desktop_interlace);
    EXPECT_EQ(g_shared.current_table.status[9], 1);
    EXPECT_EQ(default_frequency(), 9);
}

TEST_F(DialogTest, DiagnosisTestAllOffersAbortAndStopsWhereItWasPressed) {
    start("s3-765", 0x203);
    for (std::int32_t& s : g_shared.current_table.status) s = 0;
    bool abort_shown = false;
    {
        Driving d({
            press_in(kDiagnosisCaption, 1014),
            on("Frequency showing: 90 Hz",
               [&](HWND w) {
                   abort_shown = IsWindowVisible(GetDlgItem(w, 1013)) && IsWindowEnabled(GetDlgItem(w, 1013));
               }),
            press_in("Frequency showing: 90 Hz", 1011),
            press_in("Frequency showing: 95 Hz", 1012),
            press_in("Frequency showing: 100 Hz", 1013),  // Abort
            press_in(kDiagnosisCaption, 1005),
        });
        EXPECT_EQ(Diagnosis_VR_System(hosts_[0]), 1);
        EXPECT_EQ(stuck(), "");
    }
    EXPECT_TRUE(abort_shown);
    EXPECT_EQ(g_shared.test_frequency, 5);
    const std::int32_t expected[10] = {0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(g_shared.current_table.status[i], expected[i]) << i;
}

TEST(PicturePalette, CarriesTheBitmapsColourTableOrTheDefaultPalette) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (const char* name : {"ADJUST", "TEST"}) {
        HRSRC found = FindResourceA(self, name, RT_BITMAP);
        ASSERT_NE(found, nullptr) << name;
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, found)));
        ASSERT_EQ(header->biBitCount, 8) << name;
        ASSERT_EQ(header->biClrUsed, 256u) << name;
        HPALETTE palette = picture_palette(header);
        ASSERT_NE(palette, nullptr) << name;
        PALETTEENTRY entries[256];
        ASSERT_EQ(GetPaletteEntries(palette, 0, 256, entries), 256u) << name;
        const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(entries[i].peRed, table[i].rgbRed) << name << i;
            EXPECT_EQ(entries[i].peGreen, table[i].rgbGreen) << name << i;
            EXPECT_EQ(entries[i].peBlue, table[i].rgbBlue) << name << i;
            EXPECT_EQ(entries[i].peFlags, 0) << name << i;
        }
        DeleteObject(palette);
    }
    BITMAPINFOHEADER no_colours{};
    no_colours.biSize = sizeof no_colours;
    EXPECT_EQ(picture_palette(&no_colours), GetStockObject(DEFAULT_PALETTE));
}

// Run with the X screen at 8 bits per pixel (DUO_SCREEN=640x480x8): the
// picture then comes through its own palette, realised in the dialog.
TEST_F(DialogTest, OnAPaletteDisplayThePictureKeepsItsColours) {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    if (bits != 8) GTEST_SKIP() << "the display has " << bits << " bits per pixel";
    start("s3-765", 0x203);
    COLORREF arrow = 0, ground = 0;
    {
        Driving d({photograph(kAdjustCaption, "adjust_256_colours"), on(kAdjustCaption, [&](HWND w) {
                       HDC dc = GetDC(w);
                       arrow = GetPixel(dc, 126, 52); // inside the up arrow's stem
                       ground = GetPixel(dc, 5, 5);
                       ReleaseDC(w, dc);
                       press(w, 1002);
                   })});
        EXPECT_EQ(Adjust_VR_System(hosts_[0]), 1);
        EXPECT_EQ(stuck(), "");
    }
    // Wine's 8-bit X display maps the realised palette to the nearest colours
    // it can allocate, so the arrow is checked for being cyan, not exactly.
    EXPECT_LT(GetRValue(arrow), 64);
    EXPECT_GT(GetGValue(arrow), 160);
    EXPECT_GT(GetBValue(arrow), 160);
    EXPECT_EQ(ground, RGB(192, 192, 192));
}

TEST_F(DialogTest, OpeningEveryDialogTwoHundredTimesLeavesNoObjectsBehind) {
    start("s3-765", 0x203);
    stereo_on();
    auto round = [&](int times) {
        for (int i = 0; i < times; ++i) {
            Driving a({click(kAdjustCaption, 125, 45)[0], click(kAdjustCaption, 125, 45)[1],
                       press_in(kAdjustCaption, i % 2 ? 1002 : 1003)});
            ASSERT_EQ(Adjust_VR_System(hosts_[0]), 1);
            ASSERT_EQ(stuck(), "") << i;
        }
        for (int i = 0; i < times; ++i) {
            // PASSFAIL is photographed once by another test; here its time-out
            // is posted, so FAILCONFIRM follows at once.
            Driving d({press_in(kDiagnosisCaption, 1006),
                       on("Frequency showing: 100 Hz", [](HWND w) { PostMessageA(w, WM_TIMER, 1000, 0); }),
                       press_in("Testing confirmation: 100 Hz", 1009), press_in(kDiagnosisCaption, 1005)});
            ASSERT_EQ(Diagnosis_VR_System(hosts_[0]), 1);
            ASSERT_EQ(stuck(), "") << i;
        }
    };
    g_shared.current_table.default_frequency = 5;
    round(1); // first use creates the system's own cached objects
    const int gdi = gdi_objects(), wins = thread_windows();
    round(200);
    EXPECT_EQ(gdi_objects(), gdi);
    EXPECT_EQ(thread_windows(), wins);
}

} // namespace
} // namespace duo

int main(int argc, char** argv) { return duo::testing::run_unmanaged(argc, argv, "dialogs_win_test.exe"); }
