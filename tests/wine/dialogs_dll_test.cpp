// The dialogs as a client sees them: duoscope.dll loaded, initialised on a
// simulated S3 765 and driven through its exports by ordinal.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sim/adapter.h"
#include "tests/wine/dialog_driver_win.h"

namespace duo {
namespace {

using namespace duo::testing;

using HostFn = int(WINAPI*)(HWND);
using EnableFn = int(WINAPI*)(HWND, int);
using DisableFn = void(WINAPI*)(HWND);
using CommandFn = int(WINAPI*)(int);
using QueryFn = int(WINAPI*)(int, int);
using StateFn = sim::AdapterState*(WINAPI*)(BOOL);

constexpr UINT kNotify = WM_USER + 100;
std::vector<std::pair<WPARAM, LPARAM>> g_notices;

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kNotify) {
        g_notices.emplace_back(wparam, lparam);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The first part of the display that differs, bit for bit: registers and
// clocks (the index registers only show the last selection); "" for none.
std::string differs(const sim::AdapterState& a, const sim::AdapterState& b) {
    const struct {
        const char* name;
        const void *x, *y;
        std::size_t size;
    } parts[] = {{"sequencer", a.seq, b.seq, sizeof a.seq},
                 {"CRTC", a.crtc, b.crtc, sizeof a.crtc},
                 {"graphics", a.graphics, b.graphics, sizeof a.graphics},
                 {"misc output", &a.misc_output, &b.misc_output, sizeof a.misc_output},
                 {"ports", a.ports, b.ports, sizeof a.ports},
                 {"clock", a.clock_hz, b.clock_hz, sizeof a.clock_hz},
                 {"DAC clock", a.s3_dac_clock, b.s3_dac_clock, sizeof a.s3_dac_clock}};
    for (const auto& p : parts)
        if (std::memcmp(p.x, p.y, p.size) != 0) return p.name;
    return "";
}

template <typename F>
F by_ordinal(HMODULE dll, int ordinal) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, MAKEINTRESOURCEA(ordinal))));
}

class DllDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        // The settings file is written where the client runs: a directory of its own.
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "duo_dialogs_dll_test";
        CreateDirectoryA(dir_.c_str(), nullptr);
        DeleteFileA((dir_ + "\\duoscope.ini").c_str());
        GetCurrentDirectoryA(MAX_PATH, previous_dir_);
        SetCurrentDirectoryA(dir_.c_str());
        SetEnvironmentVariableA("DUOGATE_ADAPTER", "s3-765");
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string bin = exe;
        bin = bin.substr(0, bin.find_last_of('\\'));
        dll_ = LoadLibraryA((bin + "\\duoscope.dll").c_str());
        ASSERT_NE(dll_, nullptr);
        init_ = by_ordinal<HostFn>(dll_, 1);
        if (init_ == nullptr) GTEST_SKIP() << "this duoscope.dll does not export Init_VR_System yet";
        enable_ = by_ordinal<EnableFn>(dll_, 2);
        disable_ = by_ordinal<DisableFn>(dll_, 3);
        close_ = by_ordinal<HostFn>(dll_, 4);
        set_vr_ = by_ordinal<CommandFn>(dll_, 10);
        query_ = by_ordinal<QueryFn>(dll_, 5);
        adjust_ = by_ordinal<HostFn>(dll_, 7);
        diagnosis_ = by_ordinal<HostFn>(dll_, 8);
        ASSERT_TRUE(enable_ && disable_ && close_ && set_vr_ && query_ && adjust_ && diagnosis_);
        ASSERT_NE(GetProcAddress(dll_, MAKEINTRESOURCEA(11)), nullptr);
        ASSERT_EQ(GetProcAddress(dll_, MAKEINTRESOURCEA(11)), GetProcAddress(dll_, "AdjustVRSystemDlgProc"));
        ASSERT_EQ(GetProcAddress(dll_, MAKEINTRESOURCEA(13)), GetProcAddress(dll_, "DiagnosisVRSystemDlgProc"));

        WNDCLASSA wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DuoDllDialogHost";
        RegisterClassA(&wc);
        host_ =
            CreateWindowA("DuoDllDialogHost", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_EQ(init_(host_), 1);
        auto state = reinterpret_cast<StateFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("duogate_sim.dll"), "DuoGateSim_State")));
        ASSERT_NE(state, nullptr);
        adapter_ = state(FALSE);
        ASSERT_NE(adapter_, nullptr);
        pump();
        g_notices.clear();
    }
    void TearDown() override {
        if (close_) close_(nullptr);
        if (host_) DestroyWindow(host_);
        pump();
        if (dll_) FreeLibrary(dll_);
        SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
        SetCurrentDirectoryA(previous_dir_);
    }
    std::uint32_t vrs() const {
        const std::uint8_t* c = adapter_->crtc;
        return c[0x10] | ((c[0x07] & 0x04) << 6) | ((c[0x07] & 0x80) << 2);
    }
    std::string dir_;
    char previous_dir_[MAX_PATH] = {};
    HMODULE dll_ = nullptr;
    HWND host_ = nullptr;
    HostFn init_ = nullptr, close_ = nullptr, adjust_ = nullptr, diagnosis_ = nullptr;
    EnableFn enable_ = nullptr;
    DisableFn disable_ = nullptr;
    CommandFn set_vr_ = nullptr;
    QueryFn query_ = nullptr;
    sim::AdapterState* adapter_ = nullptr;
};

TEST_F(DllDialogs, AdjustInStereoAndATestedDefaultReachTheClient) {
    ASSERT_EQ(enable_(host_, 20), query_(105, 0)); // stereo at the default frequency
    const std::uint32_t vrs0 = vrs();
    COLORREF face[2] = {};
    {
        Driving d(join({{photograph(kAdjustCaption, "dll_adjust"), on(kAdjustCaption,
                                                                   [&](HWND w) {
                                                                       // The raised face of OK at (260, 50), 80 x 30.
                                                                       HDC dc = GetDC(w);
                                                                       face[0] = GetPixel(dc, 260, 50);
                                                                       face[1] = GetPixel(dc, 339, 79);
                                                                       ReleaseDC(w, dc);
                                                                   })},
                        click(kAdjustCaption, 125, 45), {press_in(kAdjustCaption, 1002)}}));
        EXPECT_EQ(adjust_(host_), 1);
        EXPECT_EQ(stuck(), "");
    }
    EXPECT_EQ(vrs(), vrs0 + 1);
    EXPECT_EQ(query_(103, 0), 0);
    EXPECT_EQ(face[0], RGB(255, 255, 255)) << "this process's raised face";
    EXPECT_EQ(face[1], RGB(0, 0, 0));
    {
        Driving d(join({click(kDiagnosisCaption, 130, 35), // 115 Hz
                        {press_in(kDiagnosisCaption, 1006), press_in("Frequency showing: 115 Hz", 1011),
                         press_in(kDiagnosisCaption, 1007), press_in(kDiagnosisCaption, 1005)}}));
        EXPECT_EQ(diagnosis_(host_), 1);
        EXPECT_EQ(stuck(), "");
    }
    EXPECT_EQ(query_(104, 8), 1);
    EXPECT_EQ(query_(105, 0), 8);
    pump();
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[0].first, 604u);
    EXPECT_NE(g_notices[0].second & (1 << 8), 0);
    EXPECT_EQ(g_notices[1], std::make_pair(WPARAM{608}, LPARAM{8}));
}

// A frequency test while stereo is on, answered Yes in the real PASSFAIL:
// stereo runs on as before, and Disable then brings back the desktop bit
// for bit, its clock included.
TEST_F(DllDialogs, AFrequencyTestInStereoLeavesDisableTheDesktop) {
    const auto desktop = std::make_unique<sim::AdapterState>(*adapter_);
    ASSERT_EQ(enable_(host_, 9), 9);
    const auto stereo = std::make_unique<sim::AdapterState>(*adapter_);
    {
        Driving d(join({click(kDiagnosisCaption, 60, 35), // 90 Hz
                        {press_in(kDiagnosisCaption, 1006), press_in("Frequency showing: 90 Hz", 1011),
                         press_in(kDiagnosisCaption, 1005)}}));
        EXPECT_EQ(diagnosis_(host_), 1);
        EXPECT_EQ(stuck(), "");
    }
    EXPECT_EQ(query_(104, 3), 1);
    EXPECT_EQ(differs(*stereo, *adapter_), "") << "stereo after the test";
    disable_(host_);
    EXPECT_EQ(differs(*desktop, *adapter_), "") << "the desktop after Disable";
}

// Adjust in line-double mode, left with Cancel: the stereo block keeps its
// values, so after leaving line-double mode, Disable and Enable the stereo
// display is what it was.
TEST_F(DllDialogs, AdjustInLineDoubleModeLeavesTheStereoTimingAlone) {
    ASSERT_EQ(enable_(host_, 9), 9);
    const auto stereo = std::make_unique<sim::AdapterState>(*adapter_);
    ASSERT_EQ(set_vr_(501), 1);
    {
        Driving d(join({click(kAdjustCaption, 125, 45), {press_in(kAdjustCaption, 1003)}}));
        EXPECT_EQ(adjust_(host_), 1);
        EXPECT_EQ(stuck(), "");
    }
    ASSERT_EQ(set_vr_(502), 1);
    disable_(host_);
    ASSERT_EQ(enable_(host_, 9), 9);
    EXPECT_EQ(differs(*stereo, *adapter_), "");
}

TEST_F(DllDialogs, TwoHundredOpeningsOfEachDialogLeaveNoObjectsBehind) {
    auto round = [&](int times) {
        for (int i = 0; i < times; ++i) {
            Driving a({press_in(kAdjustCaption, 1003)});
            ASSERT_EQ(adjust_(host_), 1);
            ASSERT_EQ(stuck(), "") << i;
            Driving d({press_in(kDiagnosisCaption, 1005)});
            ASSERT_EQ(diagnosis_(host_), 1);
            ASSERT_EQ(stuck(), "") << i;
        }
    };
    round(1);
    const int gdi = gdi_objects(), windows = thread_windows();
    round(200);
    EXPECT_EQ(gdi_objects(), gdi);
    EXPECT_EQ(thread_windows(), windows);
}

} // namespace
} // namespace duo

int main(int argc, char** argv) { return duo::testing::run_unmanaged(argc, argv, "dialogs_dll_test.exe"); }
