// The full stereo cycle through the real library in a client process, on
// every simulated adapter with a supported chip, watched from this process
// through the simulated adapter's shared state.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sim/adapter.h"
#include "sim/monitor.h"
#include "tests/wine/adapter_fixture.h"
#include "tests/wine/child_process.h"
#include "tests/wine/test_support.h"

namespace {

using duo::testing::ChildProcess;
using duo::testing::program_dir;

class StereoCycle : public duo::testing::AdapterFixture {
protected:
    StereoCycle() : AdapterFixture("cycle") {}
};

// The register files, clocks and every port byte (the mach64's accelerator
// CRTC among them) but the mach64 PLL index window, which shows the last
// PLL register read.
bool same_display_registers(const duo::sim::AdapterState& a, const duo::sim::AdapterState& b) {
    const std::uint32_t pll_window = a.family == duo::sim::ChipFamily::kMach64 ? duo::sim::mach64_register_port(a, 18, 1) : 0x10000;
    for (std::uint32_t i = 0; i < 0x10000; ++i)
        if (i != pll_window && i != pll_window + 1 && a.ports[i] != b.ports[i]) return false;
    return std::memcmp(a.seq, b.seq, sizeof a.seq) == 0 && std::memcmp(a.crtc, b.crtc, sizeof a.crtc) == 0 &&
           a.misc_output == b.misc_output && std::memcmp(a.s3_dac_clock, b.s3_dac_clock, sizeof a.s3_dac_clock) == 0 &&
           std::memcmp(a.mach64_pll, b.mach64_pll, sizeof a.mach64_pll) == 0 &&
           std::memcmp(a.et6000_clock, b.et6000_clock, sizeof a.et6000_clock) == 0 &&
           std::memcmp(a.s3_dclk, b.s3_dclk, sizeof a.s3_dclk) == 0;
}

TEST_F(StereoCycle, EverySupportedChipRunsStereoAndComesBackBitForBit) {
    std::vector<duo::testing::ListedAdapter> adapters;
    for (const auto& a : duo::testing::simulated_adapters())
        if (a.chip != 0 && a.chip != 0x402) adapters.push_back(a);
    ASSERT_GE(adapters.size(), 10u);
    // Through the port driver, then through the library's own port access,
    // which must show the monitor the same rates.
    std::map<std::string, double> rates;
    for (const char* way : {"driver", "ports"})
    for (const auto& a : adapters) {
        SCOPED_TRACE(a.name + " through " + way);
        const bool own_ports = std::strcmp(way, "ports") == 0;
        SetEnvironmentVariableA("DUOGATE_ACCESS", own_ports ? "ports" : nullptr);
        duo::sim::AdapterState* adapter = power_on(a.name.c_str());
        ASSERT_NE(adapter, nullptr);
        auto c = client();
        ASSERT_EQ(c->ask("init own"), "1 0");
        EXPECT_EQ(c->ask("query 106 0"), own_ports ? "2" : "1");
        auto entry = std::make_unique<duo::sim::AdapterState>(*adapter);
        const duo::sim::MonitorView desktop = duo::sim::observe(*adapter);
        EXPECT_FALSE(desktop.interlaced);
        for (int f : {3, 6, 9}) {
            EXPECT_EQ(c->ask("enable own " + std::to_string(f)), std::to_string(f) + " 0");
            const duo::sim::MonitorView view = duo::sim::observe(*adapter);
            EXPECT_TRUE(view.interlaced) << f;
            EXPECT_FALSE(view.blanked);
            // The defaults aim at 75 + 5f Hz; the tuned rows run up to a few
            // per cent off.
            EXPECT_NEAR(view.field_rate_hz, 75 + 5 * f, 0.06 * (75 + 5 * f)) << duo::sim::describe(view);
            const std::string key = a.name + " " + std::to_string(f);
            if (own_ports) EXPECT_EQ(view.field_rate_hz, rates[key]) << key;
            else rates[key] = view.field_rate_hz;
            EXPECT_EQ(c->ask("switch"), "0");
            EXPECT_NE(duo::sim::observe(*adapter).display_start, 0);
            EXPECT_EQ(c->ask("disable own"), "0");
            EXPECT_TRUE(same_display_registers(*entry, *adapter)) << "frequency " << f;
        }
        EXPECT_EQ(c->ask("close own"), "1 0");
    }
    SetEnvironmentVariableA("DUOGATE_ACCESS", nullptr);
}

} // namespace
