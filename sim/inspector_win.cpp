// duogate-sim: shows the simulated adapter that other programs are driving.
//   duogate-sim            registers and the monitor view
//   duogate-sim --reset    power the named adapter (DUOGATE_ADAPTER) on afresh
//   duogate-sim --list     one line per simulated adapter: name and chip code
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "sim/adapter.h"
#include "sim/monitor.h"

namespace {

void print_bank(const char* name, const std::uint8_t* regs, int count) {
    for (int row = 0; row < count; row += 16) {
        std::printf("%-5s %02X:", row == 0 ? name : "", row);
        for (int i = row; i < row + 16 && i < count; ++i) std::printf(" %02X", regs[i]);
        std::printf("\n");
    }
}

int list_adapters() {
    int count = 0;
    const duo::sim::AdapterModel* models = duo::sim::adapter_models(count);
    for (int i = 0; i < count; ++i) std::printf("%s 0x%X\n", models[i].name, static_cast<unsigned>(models[i].expected_chip));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bool reset = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--list") == 0) return list_adapters();
        if (std::strcmp(argv[i], "--reset") == 0) reset = true;
        else {
            std::fprintf(stderr, "usage: duogate-sim [--list | --reset]\n");
            return 2;
        }
    }
    HMODULE module = LoadLibraryA("duogate_sim.dll");
    if (!module) {
        std::fprintf(stderr, "duogate-sim: cannot load duogate_sim.dll\n");
        return 1;
    }
    using StateFn = duo::sim::AdapterState*(WINAPI*)(BOOL);
    auto state_fn = reinterpret_cast<StateFn>(reinterpret_cast<void*>(GetProcAddress(module, "DuoGateSim_State")));
    duo::sim::AdapterState* state = state_fn ? state_fn(reset) : nullptr;
    if (!state) {
        std::fprintf(stderr, "duogate-sim: no simulated adapter; set DUOGATE_ADAPTER (see --list)\n");
        return 1;
    }
    const duo::sim::AdapterModel* model = duo::sim::model_of(*state);
    std::printf("adapter %s (%s), desktop %dx%d %d bpp (seed %u), %u open handle(s), %llu port operations\n",
                model->name, model->description, state->mode.width, state->mode.height, state->mode.bits_per_pixel,
                static_cast<unsigned>(state->desktop_seed), static_cast<unsigned>(state->open_handles),
                static_cast<unsigned long long>(state->io_operations));
    std::printf("locks %s\n", duo::sim::lock_state(*state).c_str());
    std::printf("misc  %02X\n", state->misc_output);
    print_bank("SEQ", state->seq, 0x20);
    print_bank("CRTC", state->crtc, 0x70);
    std::printf("monitor: %s\n", duo::sim::describe(duo::sim::observe(*state)).c_str());
    return 0;
}
