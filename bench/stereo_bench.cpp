// Cost of the stereo exports per chip family on the simulated adapter:
// driver calls per export and time per call. Not a timed test; the call
// counts are checked exactly by the driver call count test.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "tests/native/fake_platform.h"

namespace duo {
namespace {

struct FamilyAdapter {
    const char* family;
    std::int32_t chip;
};

constexpr FamilyAdapter kFamilies[] = {
    {"Trident", 0x103}, {"S3", 0x203}, {"Cirrus", 0x302}, {"mach64", 0x401}, {"ET6000", 0x501},
};

// Brings the library up on the family's adapter, with stereo on or off.
bool prepare(std::int32_t chip, bool stereo_on) {
    const char* name = testing::adapter_for_chip(chip);
    if (!name) return false;
    testing::reset_world(name, {800, 600, 16});
    g_process.driver = 0;
    if (init_library(0x100) != 1) return false;
    if (stereo_on) enable_stereo(0, 5);
    return true;
}

enum class Op { kEnable, kDisable, kSwitchGlasses, kResume, kFrequency };

void run_op(Op op) {
    switch (op) {
    case Op::kEnable: enable_stereo(0, 5); break;
    case Op::kDisable: disable_stereo(0); break;
    case Op::kSwitchGlasses: switch_glasses(); break;
    case Op::kResume: resume_stereo(); break;
    case Op::kFrequency: set_frequency(7); break;
    }
}

void bench_export(benchmark::State& state, std::int32_t chip, Op op) {
    const bool needs_stereo = op != Op::kEnable;
    std::size_t calls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!prepare(chip, needs_stereo)) {
            state.SkipWithError("no simulated adapter for this chip");
            break;
        }
        testing::fake().driver_calls.clear();
        state.ResumeTiming();
        run_op(op);
        state.PauseTiming();
        calls = testing::fake().driver_calls.size();
        state.ResumeTiming();
    }
    state.counters["driver_calls"] = static_cast<double>(calls);
}

void register_all() {
    const std::pair<const char*, Op> ops[] = {{"Enable", Op::kEnable},
                                              {"Disable", Op::kDisable},
                                              {"SwitchGlasses", Op::kSwitchGlasses},
                                              {"Resume", Op::kResume},
                                              {"SetFrequency", Op::kFrequency}};
    for (const FamilyAdapter& f : kFamilies)
        for (const auto& [name, op] : ops) {
            std::string label = std::string(f.family) + "/" + name;
            // A fixed count: every iteration sets the library up afresh
            // outside the timing, which would make a time target slow.
            benchmark::RegisterBenchmark(label.c_str(), bench_export, f.chip, op)->Iterations(1000);
        }
}

} // namespace
} // namespace duo

int main(int argc, char** argv) {
    duo::register_all();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
