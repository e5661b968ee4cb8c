// The library's demonstration client, built against the SDK like any client
// (duoscope.h, the import library by ordinal): initialises the library on
// the adapter at hand, asks every query, switches stereo on, swaps the eyes,
// changes the frequency and switches stereo off, and shows after each step
// what a monitor would make of the adapter's signal (read from the simulated
// adapter when that is the adapter in use).
#include <windows.h>

#include <cstdio>

#include "duoscope.h"
#include "sim/adapter.h"
#include "sim/monitor.h"

namespace {

int query(int code, int index = 0) { return Query_VR_System(code, index); }

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
    while (PeekMessageA(&msg, window, DUO_WM_NOTIFY, DUO_WM_NOTIFY, PM_REMOVE))
        std::printf("  notification %d, value %d\n", static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
}

struct QueryCase {
    int code, index;
    const char* meaning;
};

constexpr QueryCase kQueries[] = {
    {DUO_Q_CHIP, 0, "chip code"},
    {DUO_Q_FREQUENCY, 0, "current frequency index (16: line-double)"},
    {DUO_Q_VERSION, 0, "library version in hundredths"},
    {DUO_Q_STATUS, 0, "status of frequency index 0 (75 Hz)"},
    {DUO_Q_STATUS, 9, "status of frequency index 9 (120 Hz)"},
    {DUO_Q_STATUS, 20, "status index out of range"},
    {DUO_Q_DEFAULT_FREQUENCY, 0, "default frequency index"},
    {999, 0, "unknown query"},
};

} // namespace

int main() {
    HWND host = CreateWindowA("STATIC", "duodemo", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    std::printf("Init_VR_System: %d, error %d\n", Init_VR_System(host), query(DUO_Q_LAST_ERROR));
    print_notifications(host);
    std::printf("Query_VR_System\n");
    for (const QueryCase& q : kQueries) {
        int value = query(q.code, q.index);
        if (q.code == DUO_Q_CHIP) std::printf("  %4d %3d -> 0x%04X   error %3d   %s\n", q.code, q.index, value, query(DUO_Q_LAST_ERROR), q.meaning);
        else std::printf("  %4d %3d -> %6d   error %3d   %s\n", q.code, q.index, value, query(DUO_Q_LAST_ERROR), q.meaning);
    }

    std::printf("Stereo, as a monitor would see it\n");
    show_monitor("desktop");
    int f = Enable_VR_System(host, DUO_FREQ_DEFAULT);
    std::printf("  Enable_VR_System(default) -> frequency index %d (%d Hz)\n", f, DUO_FREQ_HZ(f));
    show_monitor("stereo on");
    SwitchGlasses();
    show_monitor("eyes swapped");
    SwitchGlasses();
    int ok = Set_VR_System_Frequency(DUO_FREQ_MAX);
    std::printf("  Set_VR_System_Frequency(9) -> %d, error %d\n", ok, query(DUO_Q_LAST_ERROR));
    show_monitor("120 Hz");
    Disable_VR_System(host);
    show_monitor("stereo off");
    std::printf("Close_VR_System: settings written %d\n", Close_VR_System(host));
    DestroyWindow(host);
    return 0;
}
