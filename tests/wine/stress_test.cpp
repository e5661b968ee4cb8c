// Eight client processes take turns calling the library's exports in a
// random order for a bounded number of calls or time; a ninth is refused.
// Afterwards no client has crashed or hung, the adapter is back in the
// desktop's mode once the last client has closed with stereo off, and the
// settings file is whole.
//
// DUO_STRESS_SECONDS sets the duration (default 60); DUO_STRESS_STEPS sets
// the number of calls instead (as CI does), the duration then only guards
// it. DUO_SEED repeats a run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sim/adapter.h"
#include "sim/monitor.h"
#include "tests/wine/child_process.h"
#include "tests/wine/test_support.h"

namespace {

using duo::testing::ChildProcess;
using duo::testing::program_dir;

unsigned env_number(const char* name, unsigned fallback) {
    char text[32];
    DWORD n = GetEnvironmentVariableA(name, text, sizeof text);
    return n > 0 && n < sizeof text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// What the library's state should be, as far as the clients can tell.
// Each client keeps the calling order a client must keep: its own Init
// first (which opens its driver handle), its own Close last; after a Close
// it calls Init again before anything else.
struct Model {
    bool holds_driver[8] = {};
    bool initialised = false;
    bool stereo = false;
};

TEST(Stress, EightClientsInRandomOrder) {
    const unsigned steps = env_number("DUO_STRESS_STEPS", 0);
    // Under ctest's limit of the test, so that a run cut short says so.
    const unsigned seconds = env_number("DUO_STRESS_SECONDS", steps != 0 ? 200 : 60);
    if (steps != 0) std::printf("stress: %u calls, at most %u s\n", steps, seconds);
    else std::printf("stress: %u s\n", seconds);
    std::mt19937 random(duo::sim::run_seed());

    SetEnvironmentVariableA("DUOGATE_ADAPTER", "s3-765");
    HMODULE sim = LoadLibraryA("duogate_sim.dll");
    ASSERT_NE(sim, nullptr);
    auto state_fn = reinterpret_cast<duo::sim::AdapterState*(WINAPI*)(BOOL)>(
        reinterpret_cast<void*>(GetProcAddress(sim, "DuoGateSim_State")));
    duo::sim::AdapterState* adapter = state_fn(TRUE);
    ASSERT_NE(adapter, nullptr);
    auto desktop = std::make_unique<duo::sim::AdapterState>(*adapter);

    const std::string dir = duo::testing::fresh_directory("stress");
    const std::string program = "\"" + program_dir() + "\\duoclient.exe\"";

    std::vector<std::unique_ptr<ChildProcess>> clients;
    // Half the clients reach the adapter with the library's own port access.
    for (int i = 0; i < 8; ++i) {
        SetEnvironmentVariableA("DUOGATE_ACCESS", i % 2 ? "ports" : nullptr);
        clients.push_back(std::make_unique<ChildProcess>(program, dir.c_str()));
        ASSERT_EQ(clients.back()->read_line(), "loaded") << "client " << i;
    }
    {
        ChildProcess ninth(program, dir.c_str());
        EXPECT_EQ(ninth.read_line(), "refused");
        EXPECT_EQ(ninth.wait(), 3u);
    }

    Model model;
    std::map<std::string, int> counts;
    const DWORD end = GetTickCount() + seconds * 1000;
    unsigned calls = 0;
    while ((steps == 0 || calls < steps) && GetTickCount() < end) {
        const int who = static_cast<int>(random() % 8);
        ChildProcess& c = *clients[who];
        const int f = static_cast<int>(random() % 12) - 1; // also outside 0..9
        std::string verb;
        std::string answer;
        const unsigned op = model.holds_driver[who] ? random() % 10 : (random() % 2 ? 0 : 8);
        switch (op) {
        case 0:
            verb = "init";
            answer = c.ask("init own");
            EXPECT_TRUE(answer == "1 0" || answer == "1 103") << answer;
            model.initialised = true;
            model.holds_driver[who] = true;
            break;
        case 1:
            verb = "enable";
            answer = c.ask("enable own " + std::to_string(f == 10 ? 20 : f));
            if (model.initialised) model.stereo = true;
            else EXPECT_EQ(answer, "0 201");
            break;
        case 2:
            verb = "disable";
            EXPECT_EQ(c.ask("disable own"), "0");
            model.stereo = false;
            break;
        case 3:
        case 4:
            // The eye swap and the line-double mode are used while stereo is on.
            if (!model.stereo) continue;
            verb = "switch";
            // The eye swap leaves the error code as it was.
            answer = c.ask("switch");
            EXPECT_NE(answer, "<timeout>");
            break;
        case 5: {
            verb = "freq";
            answer = c.ask("freq " + std::to_string(f));
            const bool valid = f >= 0 && f <= 9;
            const char* expected = !model.initialised ? "0 201" : !model.stereo ? "0 300" : valid ? "1 0" : "0 301";
            EXPECT_EQ(answer, expected) << "freq " << f;
            break;
        }
        case 6:
            verb = "resume";
            EXPECT_EQ(c.ask("resume"), "1 0");
            break;
        case 7: {
            // Either export, either command, in any order: a 501 only acts
            // with line-double mode off and a 502 only with it on.
            if (!model.stereo) continue;
            verb = random() % 2 ? "reserved" : "linedouble";
            EXPECT_EQ(c.ask(verb + (random() % 2 ? " 501" : " 502")), "1 0");
            break;
        }
        case 8:
            verb = "query";
            answer = c.ask("query " + std::to_string(100 + random() % 7) + " " + std::to_string(f));
            EXPECT_NE(answer, "<timeout>");
            break;
        default:
            verb = "close";
            answer = c.ask("close own");
            // Only a Close that finds the tables loaded writes them.
            EXPECT_EQ(answer, model.initialised ? "1 0" : "0 0");
            model.initialised = false;
            model.stereo = false;
            model.holds_driver[who] = false;
            break;
        }
        ++counts[verb];
        ++calls;
        // Keep the pipes drained of notifications now and then.
        if (counts[verb] % 50 == 0) c.ask("messages");
    }
    for (const auto& [verb, n] : counts) std::printf("stress: %-10s %d\n", verb.c_str(), n);
    if (steps != 0) {
        EXPECT_EQ(calls, steps) << "the time guard of " << seconds << " s ended the run";
    }

    // Every client is alive and answers; those holding the library close it,
    // the first of them switching stereo off.
    for (auto& c : clients) EXPECT_EQ(c->ask("query 102 0"), "100");
    for (int i = 0; i < 8; ++i) {
        if (model.holds_driver[i]) {
            EXPECT_EQ(clients[i]->ask("close own"), model.initialised ? "1 0" : "0 0");
            model.initialised = false;
        }
        clients[i]->send_line("exit");
    }
    for (auto& c : clients) EXPECT_EQ(c->wait(), 0u);

    const duo::sim::MonitorView before = duo::sim::observe(*desktop);
    const duo::sim::MonitorView after = duo::sim::observe(*adapter);
    EXPECT_FALSE(after.interlaced);
    EXPECT_DOUBLE_EQ(after.field_rate_hz, before.field_rate_hz);
    EXPECT_DOUBLE_EQ(after.line_rate_hz, before.line_rate_hz);
    EXPECT_EQ(after.display_start, before.display_start);
    // The timing registers as the desktop had them. The write protection of
    // CRTC 0x00-0x07 is a lock, not part of the mode: the S3 close step
    // leaves it open.
    for (int i = 0; i <= 0x18; ++i) {
        const std::uint8_t mask = i == 0x11 ? 0x7F : 0xFF;
        EXPECT_EQ(desktop->crtc[i] & mask, adapter->crtc[i] & mask) << "CRTC " << i;
    }
    EXPECT_EQ(desktop->seq[0x12], adapter->seq[0x12]);
    EXPECT_EQ(desktop->seq[0x13], adapter->seq[0x13]);
    EXPECT_EQ(desktop->misc_output, adapter->misc_output);

    HANDLE file = CreateFileA((dir + "\\duoscope.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    unsigned char header[4] = {};
    DWORD got = 0;
    ReadFile(file, header, 4, &got, nullptr);
    EXPECT_EQ(GetFileSize(file, nullptr), 6390u);
    EXPECT_EQ(header[0] | header[1] << 8 | header[2] << 16 | static_cast<unsigned>(header[3]) << 24, 0x12345678u);
    CloseHandle(file);
    DeleteFileA((dir + "\\duoscope.ini").c_str());
    SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
    SetEnvironmentVariableA("DUOGATE_ACCESS", nullptr);
    FreeLibrary(sim);
}

} // namespace
