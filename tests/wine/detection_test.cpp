// Detection in this process through the real registry calls and the
// simulated driver DLL, which lists a PCI adapter's HardWareKey under
// HKEY_DYN_DATA as the configuration manager would at start-up.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/core/platform.h"
#include "lib/core/state.h"
#include "lib/hw/detect.h"
#include "sim/adapter.h"

namespace duo {
namespace {

constexpr char kDeviceEnumPath[] = "Config Manager\\Enum";

// Every HardWareKey value listed under the enumeration key.
std::vector<std::string> listed_values() {
    std::vector<std::string> values;
    HKEY devices = nullptr;
    if (RegOpenKeyExA(HKEY_DYN_DATA, kDeviceEnumPath, 0, KEY_READ, &devices) != ERROR_SUCCESS) return values;
    char name[260];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(devices, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        char value[260];
        DWORD value_size = sizeof value;
        if (RegGetValueA(devices, name, "HardWareKey", RRF_RT_REG_SZ, nullptr, value, &value_size) == ERROR_SUCCESS)
            values.emplace_back(value);
    }
    RegCloseKey(devices);
    return values;
}

bool listed(const std::string& prefix) {
    for (const std::string& v : listed_values())
        if (v.rfind(prefix, 0) == 0) return true;
    return false;
}

class DetectionUnderWine : public ::testing::Test {
protected:
    // Powers the named adapter through a driver open, with this process's
    // state as a fresh library would have it.
    bool open(const char* adapter) {
        close();
        SetEnvironmentVariableA("DUOGATE_ADAPTER", adapter);
        g_shared = SharedState{};
        g_process = ProcessState{};
        g_process.driver = platform::open_driver();
        return g_process.driver != 0;
    }
    void close() {
        if (g_process.driver) platform::close_driver(g_process.driver);
        g_process.driver = 0;
    }
    // Another device of the machine, listed by the test.
    void list_other_device(const char* devnode, const char* hardware_key) {
        HKEY key = nullptr;
        const std::string path = std::string(kDeviceEnumPath) + "\\" + devnode;
        ASSERT_EQ(RegCreateKeyExA(HKEY_DYN_DATA, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (hardware_key)
            RegSetValueExA(key, "HardWareKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(hardware_key),
                           static_cast<DWORD>(strlen(hardware_key) + 1));
        RegCloseKey(key);
        made.push_back(path);
    }
    void TearDown() override {
        close();
        for (const std::string& path : made) RegDeleteKeyA(HKEY_DYN_DATA, path.c_str());
        SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
    }
    std::vector<std::string> made;
};

TEST_F(DetectionUnderWine, EverySimulatedAdapterGivesItsChipCodeAndBasePorts) {
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (int i = 0; i < count; ++i) {
        const sim::AdapterModel& m = models[i];
        SCOPED_TRACE(m.name);
        ASSERT_TRUE(open(m.name));
        EXPECT_EQ(detect_chip(), m.expected_chip);
        // A mach64 the desktop seed set to block I/O is found at the BAR1
        // its allocation record lists.
        if (g_shared.mach64_base_port != m.mach64_bar1 || m.mach64_bar1 == 0) {
            EXPECT_EQ(g_shared.mach64_base_port, m.expected_mach64_base);
        }
        EXPECT_EQ(g_shared.et6000_base_port, m.expected_et6000_base);
    }
}

TEST_F(DetectionUnderWine, OnlyTheAdapterInUseIsListedAndOnlyWhenOnThePciBus) {
    ASSERT_TRUE(open("s3-868"));
    EXPECT_TRUE(listed("PCI\\VEN_5333&DEV_8880&"));
    ASSERT_TRUE(open("mach64-vt"));
    EXPECT_TRUE(listed("PCI\\VEN_1002&DEV_5654&"));
    EXPECT_FALSE(listed("PCI\\VEN_5333&DEV_8880&")) << "the earlier adapter's entry is gone";
    ASSERT_TRUE(open("cirrus-542x"));
    EXPECT_FALSE(listed("PCI\\")) << "a VL-Bus card is not listed";
    EXPECT_EQ(detect_chip(), 0x301);
}

TEST_F(DetectionUnderWine, TheWalkLooksAtEveryListedDeviceUntilOneMatches) {
    // Sorted before the simulated adapter's device node.
    list_other_device("00000010", "PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\BUS_00&DEV_00&FUNC_00");
    list_other_device("00000020", nullptr);
    list_other_device("00000030", "ROOT\\*PNP0C01\\0000");
    ASSERT_TRUE(open("s3-virge-dx"));
    EXPECT_EQ(detect_chip(), 0x206) << "found through its PCI entry: the probe alone says 0x207";

    list_other_device("00000040", "PCI\\VEN_1013&DEV_00D6&SUBSYS_00000000&REV_00\\BUS_01&DEV_00&FUNC_00");
    ASSERT_TRUE(open("cirrus-542x"));
    EXPECT_EQ(detect_chip(), 0x304) << "a listed device decides before any probe";
}

} // namespace
} // namespace duo
