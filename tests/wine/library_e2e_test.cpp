// The real library driven by real client processes, from Init to Close, on
// simulated adapters.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/wine/child_process.h"
#include "tests/wine/test_support.h"

namespace {

using duo::testing::ChildProcess;
using duo::testing::fresh_directory;
using duo::testing::program_dir;

std::unique_ptr<ChildProcess> client(const std::string& directory = "") {
    std::string program = "\"" + program_dir() + "\\duoclient.exe\"";
    auto c = std::make_unique<ChildProcess>(program, directory.empty() ? nullptr : directory.c_str());
    EXPECT_TRUE(c->started());
    EXPECT_EQ(c->read_line(), "loaded");
    return c;
}

void use_adapter(const char* name) { SetEnvironmentVariableA("DUOGATE_ADAPTER", name); }

bool supported(int chip) {
    int family = chip >> 8;
    return chip != 0x104 && chip != 0x402 && family >= 1 && family <= 5 && chip != 0;
}

class LibraryEndToEnd : public ::testing::Test {
protected:
    void TearDown() override { SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr); }
};

TEST_F(LibraryEndToEnd, EveryAdapterIsDetectedOrRefusedThroughInit) {
    const auto adapters = duo::testing::simulated_adapters();
    ASSERT_GE(adapters.size(), 2u);
    std::string dir = fresh_directory("detect");
    for (const auto& a : adapters) {
        SCOPED_TRACE(a.name);
        use_adapter(a.name.c_str());
        auto c = client(dir);
        const bool runs = supported(a.chip);
        EXPECT_EQ(c->ask("init own"), runs ? "1 0" : supported(a.chip) ? "0 100" : "0 102");
        EXPECT_EQ(c->ask("query 100 0"), std::to_string(a.chip));
        // The 9440, 9685, 0x304 and ET6000 clock tables at 800x600 have no
        // 75-85 Hz: those frequencies are not offered.
        const bool low_slots_empty = a.chip == 0x101 || a.chip == 0x105 || a.chip == 0x304 || a.chip == 0x501;
        if (runs) {
            EXPECT_EQ(c->ask("messages"), low_slots_empty ? "604:1016 608:5" : "604:1023 608:5");
        }
        // A refused Init leaves nothing to save.
        EXPECT_EQ(c->ask("close 0"), runs ? "1 0" : "0 0");
        c->send_line("exit");
        EXPECT_EQ(c->wait(), 0u);
    }
}

TEST_F(LibraryEndToEnd, WithoutTheDriverInitFailsWith101AndKeepsTheHostWindow) {
    auto a = client();
    auto b = client();
    EXPECT_EQ(a->ask("init own"), "0 101");
    // B cannot reach the adapter either: its Disable changes nothing and
    // tells nobody.
    EXPECT_EQ(b->ask("disable 0"), "201");
    EXPECT_EQ(a->ask("messages"), "");
    EXPECT_EQ(b->ask("enable 0 3"), "0 201");
    EXPECT_EQ(b->ask("freq 3"), "0 201");
}

TEST_F(LibraryEndToEnd, ASecondProcessSeesStereoOnAndSwitchesItOff) {
    use_adapter("s3-765");
    std::string dir = fresh_directory("stereo");
    auto a = client(dir);
    auto b = client(dir);
    EXPECT_EQ(a->ask("init own"), "1 0");
    EXPECT_EQ(a->ask("messages"), "604:1023 608:5");
    EXPECT_EQ(a->ask("enable own 20"), "5 0");
    EXPECT_EQ(b->ask("init own"), "1 103");
    EXPECT_EQ(b->ask("messages"), "605:5") << "a client joining a stereo session hears of it, and of nothing else";
    EXPECT_EQ(b->ask("enable own 2"), "2 0");
    EXPECT_EQ(a->ask("messages"), "605:5") << "already on: the current frequency is reported";
    EXPECT_EQ(b->ask("query 101 0"), "5");
    EXPECT_EQ(b->ask("disable own"), "0");
    EXPECT_EQ(a->ask("messages"), "606:0");
    EXPECT_EQ(b->ask("messages"), "");
    EXPECT_EQ(a->ask("freq 3"), "0 300");
    EXPECT_EQ(a->ask("close own"), "1 0");
    EXPECT_EQ(b->ask("close own"), "0 0") << "A's Close saved the tables already";
}

TEST_F(LibraryEndToEnd, SettingsWrittenAtCloseAreReadAtTheNextInit) {
    use_adapter("s3-765");
    std::string dir = fresh_directory("settings");
    std::string file = dir + "\\duoscope.ini";
    {
        auto a = client(dir);
        EXPECT_EQ(a->ask("init own"), "1 0");
        EXPECT_EQ(a->ask("close own"), "1 0");
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    ASSERT_EQ(bytes.size(), 6390u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x78u);
    // The desktop is 16 bits per pixel: its table is the file's second one.
    // Make frequency 7 the default and mark 3 unavailable.
    const std::size_t table16 = 138 + 2084;
    bytes[table16] = 7;
    bytes[table16 + 4 + 3 * 4] = 0;
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    auto b = client(dir);
    EXPECT_EQ(b->ask("init own"), "1 0");
    EXPECT_EQ(b->ask("messages"), "604:1015 608:7");
    EXPECT_EQ(b->ask("query 105 0"), "7");
    EXPECT_EQ(b->ask("query 104 3"), "0");
    EXPECT_EQ(b->ask("close own"), "1 0");
}

// Host windows owned by this process, which does not load the library:
// clients register them, and the order of arrival shows the slot order.
struct Observer {
    static inline std::vector<HWND> arrivals;
    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_USER + 100) {
            arrivals.push_back(w);
            return 0;
        }
        return DefWindowProcA(w, m, wp, lp);
    }
    Observer() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DuoObserver";
        RegisterClassA(&wc);
        for (HWND& w : windows)
            w = CreateWindowA("DuoObserver", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        arrivals.clear();
    }
    ~Observer() {
        for (HWND w : windows) DestroyWindow(w);
    }
    std::string hex(int i) const {
        char text[32];
        std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(windows[i])));
        return text;
    }
    void pump() {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 300) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(5);
        }
    }
    HWND windows[4] = {};
};

TEST_F(LibraryEndToEnd, NotificationsFollowSlotOrderAndAFreedSlotIsReused) {
    use_adapter("s3-765");
    const std::string dir = fresh_directory("slots");
    Observer o;
    std::vector<std::unique_ptr<ChildProcess>> holders;
    for (int i = 0; i < 3; ++i) {
        holders.push_back(client(dir));
        EXPECT_EQ(holders.back()->ask("init " + o.hex(i)), i == 0 ? "1 0" : "1 103");
    }
    o.pump();
    Observer::arrivals.clear();
    // The second holder leaves without Close: its slot is freed and its
    // window, which a later program could be given, is told nothing more.
    holders[1]->send_line("exit");
    EXPECT_EQ(holders[1]->wait(), 0u);
    EXPECT_EQ(holders[0]->ask("disable " + o.hex(2)), "0");
    o.pump();
    EXPECT_EQ(Observer::arrivals, std::vector<HWND>{o.windows[0]});
    Observer::arrivals.clear();

    auto newcomer = client(dir);
    EXPECT_EQ(newcomer->ask("init " + o.hex(3)), "1 103");
    EXPECT_EQ(holders[0]->ask("disable " + o.hex(2)), "0");
    o.pump();
    std::vector<HWND> expected = {o.windows[0], o.windows[3]};
    EXPECT_EQ(Observer::arrivals, expected);
}

// A client ended from outside never runs its detach: the next process to
// load the library takes its slot back, so eight can still run.
TEST_F(LibraryEndToEnd, AProcessEndedFromOutsideGivesBackItsSlot) {
    std::vector<std::unique_ptr<ChildProcess>> clients;
    for (int i = 0; i < 8; ++i) clients.push_back(client());
    HANDLE victim = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, clients[3]->id());
    ASSERT_NE(victim, nullptr);
    TerminateProcess(victim, 9);
    WaitForSingleObject(victim, 10000);
    CloseHandle(victim);
    clients[3] = client();
    ChildProcess ninth("\"" + program_dir() + "\\duoclient.exe\"");
    EXPECT_EQ(ninth.read_line(), "refused");
}

} // namespace
