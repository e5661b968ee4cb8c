// The simulated driver DLL as a stand-in for the device: its contract, and
// one adapter for every process.
#include <windows.h>

#include <gtest/gtest.h>

#include "lib/hw/driver_protocol.h"
#include "sim/adapter.h"
#include "tests/wine/child_process.h"

namespace duo {
namespace {

struct SimDriver {
    HMODULE module = LoadLibraryA("duogate_sim.dll");
    template <typename F>
    F get(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    decltype(&CreateFileA) create = get<decltype(&CreateFileA)>("DuoGate_CreateFile");
    decltype(&DeviceIoControl) ioctl = get<decltype(&DeviceIoControl)>("DuoGate_DeviceIoControl");
    decltype(&CloseHandle) close = get<decltype(&CloseHandle)>("DuoGate_CloseHandle");
    HANDLE open(const char* path = driver::kDevicePath) {
        return create(path, 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }
};

class SimulatedDriver : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(sim.module, nullptr);
        ASSERT_NE(sim.create, nullptr);
        SetEnvironmentVariableA("DUOGATE_ADAPTER", "vga");
    }
    void TearDown() override { SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr); }
    SimDriver sim;
};

TEST_F(SimulatedDriver, OpensOnlyTheDevicePathOfANamedAdapter) {
    HANDLE h = sim.open("\\\\.\\OTHER.VXD");
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
    EXPECT_EQ(sim.open(), INVALID_HANDLE_VALUE);
    SetEnvironmentVariableA("DUOGATE_ADAPTER", "vga");
    h = sim.open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(sim.close(h));
    EXPECT_FALSE(sim.close(h)) << "a handle closes once";
}

// As the system loads a dynamically loaded driver: unloaded with its last
// close, and no template file.
TEST_F(SimulatedDriver, RefusesOpensADynamicDriverCannotTake) {
    EXPECT_EQ(sim.create(driver::kDevicePath, 0, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    HANDLE templ = sim.open();
    ASSERT_NE(templ, INVALID_HANDLE_VALUE);
    EXPECT_EQ(sim.create(driver::kDevicePath, 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, templ),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_TRUE(sim.close(templ));
    // What a driver does not look at: access, sharing, the creation disposition.
    HANDLE h = sim.create(driver::kDevicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(sim.close(h));
}

TEST_F(SimulatedDriver, CallsOnUnknownHandlesOrWithShortBuffersFail) {
    DWORD returned = 0;
    driver::PortRequest in{0x3CC};
    driver::ReadReply out{};
    EXPECT_FALSE(sim.ioctl(reinterpret_cast<HANDLE>(0x1234), driver::kReadPort, &in, sizeof in, &out, sizeof out,
                           &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    HANDLE h = sim.open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(sim.ioctl(h, driver::kReadPort, &in, 1, &out, sizeof out, &returned, nullptr));
    EXPECT_TRUE(sim.ioctl(h, driver::kReadPort, &in, sizeof in, &out, sizeof out, &returned, nullptr));
    sim.close(h);
}

TEST_F(SimulatedDriver, AnotherProcessSeesTheSameRegisters) {
    HANDLE h = sim.open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    driver::IndexWriteRequest write{0x3D4, 0x13, 0xC7};
    ASSERT_TRUE(sim.ioctl(h, driver::kWriteIndexReg, &write, sizeof write, nullptr, 0, &returned, nullptr));
    // The inspector is another process; its CRTC 0x10 row shows 0x13.
    testing::ChildProcess inspector("duogate-sim.exe");
    std::string row;
    for (std::string line = inspector.read_line(); line != "<eof>" && line != "<timeout>"; line = inspector.read_line())
        if (line.rfind("      10:", 0) == 0) row = line;
    ASSERT_FALSE(row.empty());
    // "      10: r10 r11 r12 r13 ..." -> the fourth value.
    EXPECT_EQ(row.substr(9 + 3 * 3, 3), " C7") << row;
    EXPECT_EQ(inspector.wait(), 0u);
    sim.close(h);
}

} // namespace
} // namespace duo
