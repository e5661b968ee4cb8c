// A library client for tests and demonstrations: loads duoscope.dll and
// carries out one command per line of standard input, answering one line
// each. Window handles are written in hexadecimal; "own" is this client's
// host window, "0" none.
//   query CODE INDEX      -> VALUE
//   init HWND             -> RESULT ERROR
//   enable HWND F         -> RESULT ERROR
//   disable HWND          -> ERROR
//   close HWND            -> RESULT ERROR
//   freq F                -> RESULT ERROR
//   resume                -> RESULT ERROR
//   switch                -> ERROR
//   linedouble CMD        -> RESULT ERROR     (Set_VR_System)
//   reserved CMD          -> RESULT ERROR     (Set_VR_Reserved)
//   window                -> HWND of this client's host window
//   messages              -> the notifications its window got: "605:3 606:0"
//   test                  -> "testing", then the frequency test dialog tests
//                            the default frequency"
//   exit
// A refused load answers "refused" and exits with status 3.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr UINT kNotify = WM_USER + 100;

HMODULE g_library;
HWND g_window;
std::string g_messages;

template <typename F>
F ordinal(int n) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(g_library, MAKEINTRESOURCEA(n))));
}

using IntFromWindow = int(WINAPI*)(HWND);
using IntFromWindowInt = int(WINAPI*)(HWND, int);
using VoidFromWindow = void(WINAPI*)(HWND);
using IntFromInt = int(WINAPI*)(int);
using IntFromIntInt = int(WINAPI*)(int, int);
using IntFromVoid = int(WINAPI*)();
using VoidFromVoid = void(WINAPI*)();

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kNotify) {
        char item[48];
        std::snprintf(item, sizeof item, "%s%d:%d", g_messages.empty() ? "" : " ", static_cast<int>(wparam),
                      static_cast<int>(lparam));
        g_messages += item;
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND host_window() {
    if (!g_window) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DuoClientHost";
        RegisterClassA(&wc);
        g_window = CreateWindowA("DuoClientHost", "duoclient", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    }
    return g_window;
}

HWND parse_window(const char* text) {
    if (std::strcmp(text, "own") == 0) return host_window();
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(text, nullptr, 16)));
}

int last_error() { return ordinal<IntFromIntInt>(5)(103, 0); }

void pump(DWORD wait_ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    } while (GetTickCount() - start < wait_ms);
}

// Presses "Test" in the frequency test dialog once it is up on this thread.
BOOL CALLBACK find_dialog(HWND window, LPARAM found) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK press_test(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_dialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    PostMessageA(dialog, WM_COMMAND, 1006, 0);
}

bool missing(int n) {
    if (GetProcAddress(g_library, MAKEINTRESOURCEA(n))) return false;
    std::printf("missing export %d\n", n);
    return true;
}

void run(const char* line) {
    char verb[32] = {}, a[32] = {}, b[32] = {};
    std::sscanf(line, "%31s %31s %31s", verb, a, b);
    const std::string v = verb;
    if (v == "query" && !missing(5)) {
        std::printf("%d\n", ordinal<IntFromIntInt>(5)(std::atoi(a), std::atoi(b)));
    } else if (v == "init" && !missing(1)) {
        int r = ordinal<IntFromWindow>(1)(parse_window(a));
        std::printf("%d %d\n", r, last_error());
    } else if (v == "enable" && !missing(2)) {
        int r = ordinal<IntFromWindowInt>(2)(parse_window(a), std::atoi(b));
        std::printf("%d %d\n", r, last_error());
    } else if (v == "disable" && !missing(3)) {
        ordinal<VoidFromWindow>(3)(parse_window(a));
        std::printf("%d\n", last_error());
    } else if (v == "close" && !missing(4)) {
        int r = ordinal<IntFromWindow>(4)(parse_window(a));
        std::printf("%d %d\n", r, last_error());
    } else if (v == "freq" && !missing(6)) {
        int r = ordinal<IntFromInt>(6)(std::atoi(a));
        std::printf("%d %d\n", r, last_error());
    } else if (v == "resume" && !missing(9)) {
        int r = ordinal<IntFromVoid>(9)();
        std::printf("%d %d\n", r, last_error());
    } else if (v == "switch" && !missing(15)) {
        ordinal<VoidFromVoid>(15)();
        std::printf("%d\n", last_error());
    } else if (v == "linedouble" && !missing(10)) {
        int r = ordinal<IntFromInt>(10)(std::atoi(a));
        std::printf("%d %d\n", r, last_error());
    } else if (v == "reserved" && !missing(14)) {
        int r = ordinal<IntFromInt>(14)(std::atoi(a));
        std::printf("%d %d\n", r, last_error());
    } else if (v == "test" && !missing(8)) {
        // Runs the frequency test dialog and tests its default frequency; the
        // answer dialog stays up until it times out or the process is ended.
        SetTimer(nullptr, 0, 200, press_test);
        std::printf("testing\n");
        const int r = ordinal<IntFromWindow>(8)(host_window());
        std::printf("%d %d\n", r, last_error());
    } else if (v == "window") {
        std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(host_window())));
    } else if (v == "messages") {
        pump(150);
        std::printf("%s\n", g_messages.c_str());
        g_messages.clear();
    } else if (v != "query" && v != "init" && v != "enable" && v != "disable" && v != "close" && v != "freq" &&
               v != "resume" && v != "switch" && v != "linedouble" && v != "reserved" && v != "test") {
        std::printf("unknown command\n");
    }
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    g_library = LoadLibraryA("duoscope.dll");
    if (!g_library) {
        std::printf("refused\n");
        return 3;
    }
    std::printf("loaded\n");
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        if (std::strncmp(line, "exit", 4) == 0) break;
        run(line);
    }
    if (g_window) DestroyWindow(g_window);
    FreeLibrary(g_library);
    return 0;
}
