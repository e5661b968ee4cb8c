// The library's demonstration client: loads duoscope.dll like any client,
// initialises it on the adapter at hand, asks every query, switches stereo
// on, swaps the eyes, changes the frequency and switches stereo off, and
// shows after each step what a monitor would make of the adapter's signal
// (read from the simulated adapter when that is the adapter in use).
#include <windows.h>

#include <cstdio>

#include "sim/adapter.h"
#include "sim/monitor.h"

namespace {

HMODULE g_library;

template <typename F>
F ordinal(int n) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(g_library, MAKEINTRESOURCEA(n))));
}

int query(int code, int index = 0) { return ordinal<int(WINAPI*)(int, int)>(5)(code, index); }

// The simulated adapter's state, when the library drives one.
const duo::sim::AdapterState* simulated_adapter() {
    HMODULE sim = GetModuleHandleA("duogate_sim.dll");
    if (!sim) return nullptr;
    auto state = reinterpret_cast<duo::sim::AdapterState*(WINAPI*)(BOOL)>(
        reinterpret_cast<void*>(GetProcAddress(sim, "DuoGateSim_State")));
    return state ? state(FALSE) : nullptr;
}

void show_monitor(const char* step) {
    const duo::sim::AdapterState* adapter = simulated_adapter();
    if (!adapter) {
        std::printf("  %-28s (no simulated adapter to look at)\n", step);
        return;
    }
    duo::sim::MonitorView view = duo::sim::observe(*adapter);
    std::printf("  %-28s %s\n", step, duo::sim::describe(view).c_str());
}

void print_notifications(HWND window) {
    MSG msg;
    while (PeekMessageA(&msg, window, WM_USER + 100, WM_USER + 100, PM_REMOVE))
        std::printf("  notification %d, value %d\n", static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
}

struct QueryCase {
    int code, index;
    const char* meaning;
};

constexpr QueryCase kQueries[] = {
    {100, 0, "chip code"},
    {101, 0, "current frequency index (16: line-double)"},
    {102, 0, "library version in hundredths"},
    {104, 0, "status of frequency index 0 (75 Hz)"},
    {104, 9, "status of frequency index 9 (120 Hz)"},
    {104, 20, "status index out of range"},
    {105, 0, "default frequency index"},
    {999, 0, "unknown query"},
};

} // namespace

int main() {
    g_library = LoadLibraryA("duoscope.dll");
    if (!g_library) {
        std::printf("duoscope.dll could not be loaded (error %lu)\n", GetLastError());
        return 1;
    }
    HWND host = CreateWindowA("STATIC", "duodemo", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    std::printf("Init_VR_System: %d, error %d\n", ordinal<int(WINAPI*)(HWND)>(1)(host), query(103));
    print_notifications(host);
    std::printf("Query_VR_System\n");
    for (const QueryCase& q : kQueries) {
        int value = query(q.code, q.index);
        if (q.code == 100) std::printf("  %4d %3d -> 0x%04X   error %3d   %s\n", q.code, q.index, value, query(103), q.meaning);
        else std::printf("  %4d %3d -> %6d   error %3d   %s\n", q.code, q.index, value, query(103), q.meaning);
    }

    std::printf("Stereo, as a monitor would see it\n");
    show_monitor("desktop");
    int f = ordinal<int(WINAPI*)(HWND, int)>(2)(host, 20);
    std::printf("  Enable_VR_System(default) -> frequency index %d (%d Hz)\n", f, 75 + 5 * f);
    show_monitor("stereo on");
    ordinal<void(WINAPI*)()>(15)();
    show_monitor("eyes swapped");
    ordinal<void(WINAPI*)()>(15)();
    int ok = ordinal<int(WINAPI*)(int)>(6)(9);
    std::printf("  Set_VR_System_Frequency(9) -> %d, error %d\n", ok, query(103));
    show_monitor("120 Hz");
    ordinal<void(WINAPI*)(HWND)>(3)(host);
    show_monitor("stereo off");
    std::printf("Close_VR_System: settings written %d\n", ordinal<int(WINAPI*)(HWND)>(4)(host));
    DestroyWindow(host);
    FreeLibrary(g_library);
    return 0;
}
