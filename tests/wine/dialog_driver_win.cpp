#include "tests/wine/dialog_driver_win.h"

#include <gtest/gtest.h>

#include <deque>

#include "tests/wine/screenshot_win.h"

namespace duo::testing {
namespace {

std::deque<Step> g_steps;
int g_waited = 0;
std::string g_stuck;
constexpr int kMaxWaitTicks = 1000; // about 10 s at the timer's 10 ms floor

void end_all_dialogs() {
    for (const char* caption : {"Set Default", kAdjustCaption, kDiagnosisCaption})
        if (HWND w = FindWindowA(nullptr, caption)) EndDialog(w, -2);
    if (HWND w = GetActiveWindow()) EndDialog(w, -2);
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_steps.empty()) return;
    Step step = std::move(g_steps.front());
    g_steps.pop_front(); // before running it: the step may start a nested modal loop
    if (step()) {
        g_waited = 0;
        return;
    }
    if (++g_waited > kMaxWaitTicks) {
        g_stuck = "a step waited too long with " + std::to_string(g_steps.size()) + " steps left";
        g_steps.clear();
        end_all_dialogs();
        return;
    }
    g_steps.push_front(std::move(step));
}

} // namespace

Driving::Driving(std::vector<Step> steps) {
    g_steps.assign(steps.begin(), steps.end());
    g_waited = 0;
    g_stuck.clear();
    timer_ = SetTimer(nullptr, 0, 1, tick);
}

Driving::~Driving() {
    KillTimer(nullptr, timer_);
    g_steps.clear();
}

const std::string& stuck() { return g_stuck; }

HWND visible_dialog(const char* caption) {
    HWND w = FindWindowA("#32770", caption);
    return w && IsWindowVisible(w) ? w : nullptr;
}

Step on(const char* caption, std::function<void(HWND)> act) {
    std::string c = caption;
    return [c, act] {
        HWND w = visible_dialog(c.c_str());
        if (!w) return false;
        act(w);
        return true;
    };
}

Step check(std::function<void()> f) {
    return [f] {
        f();
        return true;
    };
}

void mouse(HWND window, UINT message, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    PostMessageA(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

std::vector<Step> click(const char* caption, int x, int y) {
    return {on(caption, [x, y](HWND w) { mouse(w, WM_LBUTTONDOWN, x, y); }),
            on(caption, [x, y](HWND w) { mouse(w, WM_LBUTTONUP, x, y); })};
}

void press(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

Step press_in(const char* caption, int id) {
    return on(caption, [id](HWND w) { press(w, id); });
}

Step photograph(const char* caption, const char* name) {
    CreateDirectoryA("screenshots", nullptr);
    std::string file = std::string("screenshots\\") + name + ".png";
    return on(caption, [file](HWND w) {
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        EXPECT_TRUE(save_window_png(w, file)) << file;
    });
}

std::vector<Step> join(std::initializer_list<std::vector<Step>> parts) {
    std::vector<Step> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

namespace {

BOOL CALLBACK count_window(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, count_window, count);
    return TRUE;
}

} // namespace

int thread_windows() {
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), count_window, reinterpret_cast<LPARAM>(&n));
    return n;
}

int run_unmanaged(int argc, char** argv, const char* exe_name) {
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") + exe_name + "\\X11 Driver";
    char value[8] = {};
    DWORD size = sizeof value;
    const bool unmanaged = RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "Managed", RRF_RT_REG_SZ, nullptr, value,
                                        &size) == ERROR_SUCCESS &&
                           value[0] == 'N';
    if (!unmanaged) {
        HKEY k = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return 1;
        RegSetValueExA(k, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(k);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, GetCommandLineA(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
            return 1;
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return static_cast<int>(code);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

} // namespace duo::testing
