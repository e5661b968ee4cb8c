// Several real processes holding the library at once: the client slots and
// the process-shared state, and stereo driven by one process and changed or
// ended by another, watched at the simulated adapter.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "sim/adapter.h"
#include "sim/monitor.h"
#include "tests/wine/adapter_fixture.h"
#include "tests/wine/child_process.h"
#include "tests/wine/test_support.h"

namespace {

using duo::testing::ChildProcess;

std::unique_ptr<ChildProcess> start_client() {
    auto child = std::make_unique<ChildProcess>("duoclient.exe");
    EXPECT_TRUE(child->started()) << "error " << child->start_error();
    return child;
}

TEST(LibraryProcesses, NinthProcessIsRefusedAndAFreedSlotIsTakenAgain) {
    std::vector<std::unique_ptr<ChildProcess>> holders;
    for (int i = 0; i < 8; ++i) {
        holders.push_back(start_client());
        // Wait until it really holds its slot before starting the next.
        ASSERT_EQ(holders.back()->read_line(), "loaded") << "holder " << i;
    }
    {
        auto ninth = start_client();
        EXPECT_EQ(ninth->read_line(), "refused");
        EXPECT_EQ(ninth->wait(), 3u);
    }
    // The refused process must not have taken or freed anything.
    {
        auto again = start_client();
        EXPECT_EQ(again->read_line(), "refused");
    }
    holders[3]->send_line("exit");
    ASSERT_EQ(holders[3]->wait(), 0u);
    {
        auto next = start_client();
        EXPECT_EQ(next->read_line(), "loaded");
        auto tenth = start_client();
        EXPECT_EQ(tenth->read_line(), "refused");
        next->send_line("exit");
        EXPECT_EQ(next->wait(), 0u);
    }
    for (auto& h : holders) h->send_line("exit");
    for (auto& h : holders) h->wait();
}

TEST(LibraryProcesses, LastErrorIsOneValueForAllProcesses) {
    auto a = start_client();
    auto b = start_client();
    ASSERT_EQ(a->read_line(), "loaded");
    ASSERT_EQ(b->read_line(), "loaded");
    EXPECT_EQ(a->ask("query 999 0"), "-1");
    EXPECT_EQ(b->ask("query 103 0"), "400");
    EXPECT_EQ(b->ask("query 102 0"), "100");
    EXPECT_EQ(a->ask("query 103 0"), "0");
    a->send_line("exit");
    b->send_line("exit");
    EXPECT_EQ(a->wait(), 0u);
    EXPECT_EQ(b->wait(), 0u);
}

TEST(LibraryProcesses, SlotsAreFreedWhenProcessesEnd) {
    // Eight processes in turn, each ending before the next: all are admitted
    // again and again, so no slot leaks at unload.
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<ChildProcess>> batch;
        for (int i = 0; i < 8; ++i) {
            batch.push_back(start_client());
            ASSERT_EQ(batch.back()->read_line(), "loaded") << "round " << round << " client " << i;
        }
        for (auto& c : batch) c->send_line("exit");
        for (auto& c : batch) EXPECT_EQ(c->wait(), 0u);
    }
}

class StereoAcrossProcesses : public duo::testing::AdapterFixture {
protected:
    StereoAcrossProcesses() : AdapterFixture("processes") {}
};

bool same_display_registers(const duo::sim::AdapterState& a, const duo::sim::AdapterState& b) {
    const std::uint32_t pll_window = a.family == duo::sim::ChipFamily::kMach64 ? duo::sim::mach64_register_port(a, 18, 1) : 0x10000;
    for (std::uint32_t i = 0; i < 0x10000; ++i)
        if (i != pll_window && i != pll_window + 1 && a.ports[i] != b.ports[i]) return false;
    return std::memcmp(a.seq, b.seq, sizeof a.seq) == 0 && std::memcmp(a.crtc, b.crtc, sizeof a.crtc) == 0 &&
           a.misc_output == b.misc_output && std::memcmp(a.s3_dac_clock, b.s3_dac_clock, sizeof a.s3_dac_clock) == 0 &&
           std::memcmp(a.mach64_pll, b.mach64_pll, sizeof a.mach64_pll) == 0 &&
           std::memcmp(a.et6000_clock, b.et6000_clock, sizeof a.et6000_clock) == 0;
}

// The display driver's own bits beside the interlace bit of each family's
// register (Trident CR1E, S3 CR42, Cirrus CR1A, mach64 CRTC_GEN_CNTL, ET6000
// CR35): stereo off must give them back.
void set_desktop_bits_beside_interlace(duo::sim::AdapterState& a) {
    using duo::sim::ChipFamily;
    switch (a.family) {
    case ChipFamily::kTrident: a.crtc[0x1E] |= 0x40; break;
    case ChipFamily::kS3: a.crtc[0x42] |= 0x10; break;
    case ChipFamily::kCirrus: a.crtc[0x1A] |= 0x10; break;
    case ChipFamily::kMach64: a.ports[duo::sim::mach64_register_port(a, 7, 0)] |= 0x10; break;
    case ChipFamily::kEt6000: a.crtc[0x35] |= 0x10; break;
    default: break;
    }
}

// A second client (its Init answers 103) switches stereo on and off, and the
// first ends stereo that the second began: the clock comes from the tables
// the library loaded for the mode, and the interlace register goes back as
// the desktop had it. One adapter of each family; the mach64 (at the probe's
// first and second base, or at its block I/O) runs a 16-bit desktop on its
// accelerator CRTC.
TEST_F(StereoAcrossProcesses, TheSecondClientRunsStereoAsTheFirstLoadedIt) {
    for (const char* name : {"trident-9680", "s3-765", "cirrus-543x", "mach64-ct", "mach64-vt", "et6000"}) {
        SCOPED_TRACE(name);
        duo::sim::AdapterState* adapter = power_on(name);
        ASSERT_NE(adapter, nullptr);
        set_desktop_bits_beside_interlace(*adapter);
        auto first = client();
        auto second = client();
        ASSERT_EQ(first->ask("init own"), "1 0");
        ASSERT_EQ(second->ask("init own"), "1 103");
        auto desktop = std::make_unique<duo::sim::AdapterState>(*adapter);

        EXPECT_EQ(second->ask("enable own 5"), "5 0");
        duo::sim::MonitorView view = duo::sim::observe(*adapter);
        EXPECT_TRUE(view.interlaced) << duo::sim::describe(view);
        EXPECT_NEAR(view.field_rate_hz, 100, 6) << duo::sim::describe(view);
        EXPECT_EQ(second->ask("disable own"), "0");
        EXPECT_TRUE(same_display_registers(*desktop, *adapter)) << "the second's own Disable";

        EXPECT_EQ(second->ask("enable own 5"), "5 0");
        EXPECT_EQ(first->ask("disable own"), "0");
        EXPECT_FALSE(duo::sim::observe(*adapter).interlaced);
        EXPECT_TRUE(same_display_registers(*desktop, *adapter)) << "the first's Disable of the second's stereo";

        EXPECT_EQ(first->ask("enable own 7"), "7 0");
        EXPECT_EQ(second->ask("disable own"), "0");
        EXPECT_TRUE(same_display_registers(*desktop, *adapter)) << "the second's Disable of the first's stereo";

        EXPECT_EQ(second->ask("close own"), "1 0");
        EXPECT_EQ(first->ask("close own"), "0 0") << "the tables went with the first Close";
        first->send_line("exit");
        second->send_line("exit");
        EXPECT_EQ(first->wait(), 0u);
        EXPECT_EQ(second->wait(), 0u);
    }
}

// A process ended while its frequency test shows stereo timing over the
// desktop: the next client that calls the library puts the desktop back
// before it saves anything as the desktop. With no process left, the next
// Init either finds the record (the desktop is back at once) or, when the
// record went with the last process, refuses with 104 and writes nothing.
TEST_F(StereoAcrossProcesses, ATestWhoseProcessEndsIsPutBackByTheNextCaller) {
    for (const char* name : {"s3-765", "cirrus-543x", "trident-9680", "et6000"}) {
        SCOPED_TRACE(name);
        duo::sim::AdapterState* adapter = power_on(name);
        ASSERT_NE(adapter, nullptr);
        auto tester = client();
        auto other = client();
        ASSERT_EQ(tester->ask("init own"), "1 0");
        ASSERT_EQ(other->ask("init own"), "1 103");
        const auto desktop = std::make_unique<duo::sim::AdapterState>(*adapter);
        auto end_in_test = [&](duo::testing::ChildProcess& c) {
            ASSERT_EQ(c.ask("test"), "testing");
            for (int i = 0; i < 80 && !duo::sim::observe(*adapter).interlaced; ++i) Sleep(50);
            ASSERT_TRUE(duo::sim::observe(*adapter).interlaced) << "the test shows stereo timing";
            c.kill();
        };
        end_in_test(*tester);
        EXPECT_EQ(other->ask("enable own 5"), "5 0");
        EXPECT_EQ(other->ask("disable own"), "0");
        EXPECT_TRUE(same_display_registers(*desktop, *adapter)) << "the desktop, not the test's timing";

        auto last = client();
        ASSERT_EQ(last->ask("init own"), "1 103");
        other->send_line("exit");
        EXPECT_EQ(other->wait(), 0u);
        end_in_test(*last);
        auto next = client();
        const std::string init = next->ask("init own");
        if (init == "0 104") {
            EXPECT_TRUE(duo::sim::observe(*adapter).interlaced);
        } else {
            EXPECT_EQ(init, "1 103");
            EXPECT_TRUE(same_display_registers(*desktop, *adapter)) << "put back from the record";
            EXPECT_EQ(next->ask("close own"), "1 0");
        }
        next->send_line("exit");
        EXPECT_EQ(next->wait(), 0u);
    }
}

// A client that finds no driver (101) neither takes the library from the one
// running stereo nor ends that stereo with its Close, and writes no file.
TEST_F(StereoAcrossProcesses, AClientWithoutTheDriverLeavesRunningStereoAlone) {
    duo::sim::AdapterState* adapter = power_on("s3-765");
    ASSERT_NE(adapter, nullptr);
    auto holder = client();
    ASSERT_EQ(holder->ask("init own"), "1 0");
    auto desktop = std::make_unique<duo::sim::AdapterState>(*adapter);
    ASSERT_EQ(holder->ask("enable own 5"), "5 0");
    const std::vector<char> before = settings_bytes();

    auto stranger = client(false);
    EXPECT_EQ(stranger->ask("init own"), "0 101");
    EXPECT_EQ(holder->ask("freq 7"), "1 0") << "the library stays initialised";
    EXPECT_NEAR(duo::sim::observe(*adapter).field_rate_hz, 110, 6.6);
    EXPECT_EQ(stranger->ask("freq 3"), "0 201");
    EXPECT_EQ(stranger->ask("close own"), "0 0");
    const duo::sim::MonitorView view = duo::sim::observe(*adapter);
    EXPECT_TRUE(view.interlaced) << duo::sim::describe(view);
    EXPECT_EQ(holder->ask("query 101 0"), "7") << "stereo stays on at its frequency";
    EXPECT_EQ(holder->ask("freq 5"), "1 0") << "and still belongs to the holder";
    EXPECT_EQ(settings_bytes(), before) << "no settings file from a process without the driver";

    EXPECT_EQ(holder->ask("disable own"), "0");
    EXPECT_TRUE(same_display_registers(*desktop, *adapter));
    EXPECT_EQ(holder->ask("close own"), "1 0");
    holder->send_line("exit");
    stranger->send_line("exit");
    EXPECT_EQ(holder->wait(), 0u);
    EXPECT_EQ(stranger->wait(), 0u);
}

// The library closed on one card leaves the user's settings file for it as
// it is when a later client's Init is refused (a chip it does not support)
// and that client closes.
TEST_F(StereoAcrossProcesses, CloseAfterARefusedInitKeepsTheSettingsFile) {
    ASSERT_NE(power_on("s3-765"), nullptr);
    {
        auto c = client();
        ASSERT_EQ(c->ask("init own"), "1 0");
        ASSERT_EQ(c->ask("close own"), "1 0");
        c->send_line("exit");
        EXPECT_EQ(c->wait(), 0u);
    }
    const std::vector<char> good = settings_bytes();
    ASSERT_EQ(good.size(), 6390u);

    ASSERT_NE(power_on("mach32"), nullptr);
    auto refused = client();
    EXPECT_EQ(refused->ask("init own"), "0 102");
    EXPECT_EQ(refused->ask("close own"), "0 0");
    refused->send_line("exit");
    EXPECT_EQ(refused->wait(), 0u);
    EXPECT_EQ(settings_bytes(), good);
}

} // namespace
