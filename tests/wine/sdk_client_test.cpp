// Programs built against the SDK (duoscope.h and the import library by
// ordinal), run against the real library: the example client, a C89
// program, switches stereo on a simulated adapter and back while this
// process, itself a client built the same way, follows the library's
// notifications and the monitor's view. And both images' version resources
// say the version that query 102 answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "duoscope.h"
#include "sim/adapter.h"
#include "sim/monitor.h"
#include "tests/wine/adapter_fixture.h"
#include "tests/wine/child_process.h"
#include "tests/wine/test_support.h"

namespace {

using duo::testing::ChildProcess;
using duo::testing::program_dir;

class SdkClient : public duo::testing::AdapterFixture {
protected:
    SdkClient() : AdapterFixture("sdk_client") {}
};

// The next notification the library posts to `host`, or 0 after the time.
WPARAM next_notification(HWND host, DWORD timeout_ms, LPARAM* value) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, host, DUO_WM_NOTIFY, DUO_WM_NOTIFY, PM_REMOVE)) {
            *value = msg.lParam;
            return msg.wParam;
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeout_ms) return 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout_ms - spent, QS_POSTMESSAGE);
    }
}

// The standard CRT controller timing registers (0x00-0x18, without the
// write-protect bit of 0x11, which register locks own) and the
// miscellaneous output register that differ, as "crtc 0x06: 0B -> 3E"
// lines; empty when none does.
std::string timing_register_changes(const duo::sim::AdapterState& before, const duo::sim::AdapterState& after) {
    std::string changes;
    auto compare = [&](const char* name, int index, int a, int b) {
        if (a == b) return;
        char line[48];
        std::snprintf(line, sizeof line, "%s 0x%02X: %02X -> %02X\n", name, index, a, b);
        changes += line;
    };
    for (int i = 0; i <= 0x18; ++i) {
        const int mask = i == 0x11 ? 0x7F : 0xFF;
        compare("crtc", i, before.crtc[i] & mask, after.crtc[i] & mask);
    }
    compare("misc", 0, before.misc_output, after.misc_output);
    return changes;
}

TEST_F(SdkClient, ExampleClientRunsStereoAndSwapsTheEyesThenLeavesTheDesktopAsItWas) {
    duo::sim::AdapterState* adapter = power_on("s3-765");
    ASSERT_NE(adapter, nullptr);
    // This process's settings file goes where the client's does.
    char previous_dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous_dir);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    HWND host = CreateWindowA("STATIC", "sdk test", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    ASSERT_EQ(Init_VR_System(host), 1) << Query_VR_System(DUO_Q_LAST_ERROR, 0);
    MSG drop;
    while (PeekMessageA(&drop, host, DUO_WM_NOTIFY, DUO_WM_NOTIFY, PM_REMOVE)) {
    }
    const int default_frequency = Query_VR_System(DUO_Q_DEFAULT_FREQUENCY, 0);
    auto desktop = std::make_unique<duo::sim::AdapterState>(*adapter);
    ASSERT_FALSE(duo::sim::observe(*adapter).interlaced);

    ChildProcess client("\"" + program_dir() + "\\stereo_client.exe\" 3", dir.c_str());
    ASSERT_TRUE(client.started()) << client.start_error();

    // Stereo on, at the default frequency, told to this host window.
    LPARAM value = -1;
    ASSERT_EQ(next_notification(host, 30000, &value), static_cast<WPARAM>(DUO_N_STEREO_ON));
    EXPECT_EQ(value, default_frequency);
    EXPECT_EQ(Query_VR_System(DUO_Q_FREQUENCY, 0), default_frequency);
    const duo::sim::MonitorView on = duo::sim::observe(*adapter);
    EXPECT_TRUE(on.interlaced) << duo::sim::describe(on);
    EXPECT_FALSE(on.out_of_range) << duo::sim::describe(on);
    EXPECT_NEAR(on.field_rate_hz, DUO_FREQ_HZ(default_frequency), 0.06 * DUO_FREQ_HZ(default_frequency))
        << duo::sim::describe(on);

    // The client swaps the eyes twice a second until it switches stereo off.
    bool start_moved = false, start_back = false;
    WPARAM code = 0;
    while ((code = next_notification(host, 20, &value)) == 0 && client.wait(0) == STILL_ACTIVE) {
        const duo::sim::MonitorView view = duo::sim::observe(*adapter);
        if (!view.interlaced) continue;
        (view.display_start != 0 ? start_moved : start_back) = true;
    }
    if (code == 0) code = next_notification(host, 5000, &value);
    EXPECT_EQ(code, static_cast<WPARAM>(DUO_N_STEREO_OFF));
    EXPECT_TRUE(start_moved);
    EXPECT_TRUE(start_back);
    EXPECT_EQ(client.wait(30000), 0u);
    const duo::sim::MonitorView off = duo::sim::observe(*adapter);
    EXPECT_EQ(duo::sim::describe(off), duo::sim::describe(duo::sim::observe(*desktop)));
    EXPECT_EQ(timing_register_changes(*desktop, *adapter), "");

    Close_VR_System(host);
    DestroyWindow(host);
    SetCurrentDirectoryA(previous_dir);
}

// "M.HH" as hundredths, or -1.
int hundredths(const char* text) {
    int major = 0, minor = 0;
    char end = 0;
    if (std::sscanf(text, "%d.%2d%c", &major, &minor, &end) != 2 || std::strlen(text) < 4) return -1;
    return major * 100 + minor;
}

TEST(SdkVersion, BothImagesCarryTheVersionQuery102Answers) {
    const int version = Query_VR_System(DUO_Q_VERSION, 0);
    ASSERT_GT(version, 0);
    for (const char* image : {"duoscope.dll", "duodeck.exe"}) {
        SCOPED_TRACE(image);
        const std::string path = program_dir() + "\\" + image;
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::string block(size, '\0');
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(HIWORD(fixed->dwFileVersionMS) * 100 + LOWORD(fixed->dwFileVersionMS), static_cast<DWORD>(version));
        EXPECT_EQ(fixed->dwFileVersionLS, 0u);
        EXPECT_EQ(HIWORD(fixed->dwProductVersionMS) * 100 + LOWORD(fixed->dwProductVersionMS),
                  static_cast<DWORD>(version));
        for (const char* key : {"FileVersion", "ProductVersion"}) {
            char* text = nullptr;
            const std::string query = std::string("\\StringFileInfo\\040904E4\\") + key;
            ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length)) << key;
            EXPECT_EQ(hundredths(text), version) << key << " " << text;
        }
    }
}

} // namespace
