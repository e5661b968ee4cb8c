// The Win32 side of the core's platform seam, in this process: notifications
// posted to real windows, and the port driver opened through the simulated
// driver DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "lib/core/clients.h"
#include "lib/core/platform.h"
#include "lib/core/state.h"
#include "lib/hw/port_io.h"
#include "sim/adapter.h"

namespace duo {
namespace {

struct Received {
    HWND window;
    WPARAM code;
    LPARAM value;
    bool operator==(const Received&) const = default;
};
std::vector<Received> g_received;

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kNotifyMessage) {
        g_received.push_back({window, wparam, lparam});
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class HostWindows : public ::testing::Test {
protected:
    void SetUp() override {
        g_shared = SharedState{};
        g_received.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DuoTestHost";
        RegisterClassA(&wc);
        for (HWND& w : windows) {
            w = CreateWindowA("DuoTestHost", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
            ASSERT_NE(w, nullptr);
        }
    }
    void TearDown() override {
        for (HWND w : windows)
            if (IsWindow(w)) DestroyWindow(w);
        pump();
    }
    static WindowHandle handle(HWND w) { return reinterpret_cast<WindowHandle>(w); }
    HWND windows[4] = {};
};

TEST_F(HostWindows, NotificationsArriveInSlotOrderWithoutTheSkipWindow) {
    // Slots 1, 2, 5, 6 hold windows 2, 0, 3, 1: slot order, not window order.
    register_host(g_shared.clients[1], handle(windows[2]));
    register_host(g_shared.clients[2], handle(windows[0]));
    register_host(g_shared.clients[5], handle(windows[3]));
    register_host(g_shared.clients[6], handle(windows[1]));
    notify_hosts(kNotifyStereoOn, 7, handle(windows[3]));
    EXPECT_TRUE(g_received.empty()) << "notifications are posted, not sent";
    pump();
    std::vector<Received> expected = {{windows[2], 605, 7}, {windows[0], 605, 7}, {windows[1], 605, 7}};
    EXPECT_EQ(g_received, expected);
}

TEST_F(HostWindows, AVanishedHostWindowDoesNotStopTheOthers) {
    register_host(g_shared.clients[0], handle(windows[0]));
    register_host(g_shared.clients[1], handle(windows[1]));
    register_host(g_shared.clients[2], handle(windows[2]));
    DestroyWindow(windows[1]);
    notify_hosts(kNotifyStereoOff, 0, 0);
    pump();
    std::vector<Received> expected = {{windows[0], 606, 0}, {windows[2], 606, 0}};
    EXPECT_EQ(g_received, expected);
}

TEST_F(HostWindows, OneWindowNotification) {
    notify_window(handle(windows[2]), kNotifyDefaultFrequency, 5);
    pump();
    std::vector<Received> expected = {{windows[2], 608, 5}};
    EXPECT_EQ(g_received, expected);
}

class DriverOpen : public ::testing::Test {
protected:
    void TearDown() override {
        if (g_process.driver) platform::close_driver(g_process.driver);
        g_process.driver = 0;
        SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
    }
};

TEST_F(DriverOpen, WithoutTheDeviceOrANamedAdapterNothingOpens) {
    SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
    EXPECT_EQ(platform::open_driver(), 0u);
    SetEnvironmentVariableA("DUOGATE_ADAPTER", "no-such-adapter");
    EXPECT_EQ(platform::open_driver(), 0u);
}

// Wine answers as the NT family does, where IN and OUT raise an exception in
// a program: without the device no way opens, also when the tests' own-ports
// stand-in is asked for without an adapter, and the port pair executes
// neither instruction (this process would end if it did).
TEST_F(DriverOpen, OnTheNtFamilyNoPortInstructionRuns) {
    ASSERT_EQ(GetVersion() & 0x80000000u, 0u);
    SetEnvironmentVariableA("DUOGATE_ACCESS", "ports");
    EXPECT_EQ(platform::open_driver(), 0u);
    SetEnvironmentVariableA("DUOGATE_ACCESS", nullptr);
    EXPECT_EQ(platform::port_in(0x3CC), 0xFF);
    platform::port_out(0x3C2, 0x00);
    g_process.driver = platform::kOwnPorts;
    EXPECT_EQ(read_crtc(0x11), 0xFF);
    write_crtc(0x11, 0x00);
    g_process.driver = 0;
}

// The tests' stand-in for a Windows 95 PC without the driver: the library's
// own port access over the simulated adapter's ports.
TEST_F(DriverOpen, NamedSimulatedAdapterIsReachedThroughOwnPorts) {
    SetEnvironmentVariableA("DUOGATE_ADAPTER", "s3-868");
    SetEnvironmentVariableA("DUOGATE_ACCESS", "ports");
    g_process.driver = platform::open_driver();
    SetEnvironmentVariableA("DUOGATE_ACCESS", nullptr);
    ASSERT_EQ(g_process.driver, platform::kOwnPorts);
    write_crtc(0x13, 0x6B);
    EXPECT_EQ(read_crtc(0x13), 0x6B);
    std::uint8_t b0 = 0, b1 = 0;
    Set_S3_Dac_Clock(0x43, 0x5C);
    Get_S3_Dac_Clock(b0, b1);
    EXPECT_EQ(b0, 0x43);
    EXPECT_EQ(b1, 0x5C);
}

TEST_F(DriverOpen, NamedSimulatedAdapterIsDrivenThroughTheDriverCalls) {
    SetEnvironmentVariableA("DUOGATE_ADAPTER", "vga");
    g_process.driver = platform::open_driver();
    ASSERT_NE(g_process.driver, 0u);
    // The same adapter seen from the simulator's side.
    HMODULE sim = GetModuleHandleA("duogate_sim.dll");
    ASSERT_NE(sim, nullptr);
    auto state_fn = reinterpret_cast<sim::AdapterState*(WINAPI*)(BOOL)>(
        reinterpret_cast<void*>(GetProcAddress(sim, "DuoGateSim_State")));
    sim::AdapterState* adapter = state_fn(FALSE);
    ASSERT_NE(adapter, nullptr);

    write_crtc(0x13, 0x6B);
    EXPECT_EQ(adapter->crtc[0x13], 0x6B);
    adapter->seq[0x01] = 0x21;
    EXPECT_EQ(read_seq(0x01), 0x21);
    std::uint8_t block[25] = {};
    Read_Reg_Block(kCrtcIndex, 0, 25, block);
    for (int i = 0; i < 25; ++i) EXPECT_EQ(block[i], adapter->crtc[i]) << i;
    // The adapter starts in the desktop's mode.
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(adapter->mode.width, GetDeviceCaps(dc, HORZRES));
    EXPECT_EQ(adapter->mode.bits_per_pixel, GetDeviceCaps(dc, BITSPIXEL));
    ReleaseDC(nullptr, dc);

    platform::close_driver(g_process.driver);
    g_process.driver = 0;
    // A closed handle no longer reaches the adapter; reads yield 0.
    EXPECT_EQ(read_seq(0x01), 0);
}

} // namespace
} // namespace duo
