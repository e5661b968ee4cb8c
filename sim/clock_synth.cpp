#include "sim/clock_synth.h"

#include <cmath>

namespace duo::sim {
namespace {

ClockRegs search_nearest(ClockFormula formula, double hz, int third_values) {
    ClockRegs best{};
    double best_error = 1e300;
    for (int r2 = 0; r2 < third_values; ++r2)
        for (int r0 = 0; r0 < 256; ++r0)
            for (int r1 = 0; r1 < 256; ++r1) {
                const ClockRegs regs{{static_cast<std::uint8_t>(r0), static_cast<std::uint8_t>(r1),
                                      static_cast<std::uint8_t>(r2)}};
                const double f = formula(regs);
                if (f <= 0) continue;
                const double error = std::fabs(f - hz);
                if (error < best_error) best_error = error, best = regs;
            }
    return best;
}

} // namespace

ClockRegs nearest_regs(ClockFormula formula, double hz, int third_values) {
    // Every power-on searches its desktop clock; the same few clocks come
    // back again and again in tests and fuzzing, and a search tries 64K
    // settings or more.
    struct Remembered {
        ClockFormula formula;
        double hz;
        int third_values;
        ClockRegs regs;
    };
    thread_local Remembered remembered[16] = {};
    thread_local unsigned next = 0;
    for (const Remembered& r : remembered)
        if (r.formula == formula && r.hz == hz && r.third_values == third_values) return r.regs;
    const ClockRegs best = search_nearest(formula, hz, third_values);
    remembered[next++ % 16] = {formula, hz, third_values, best};
    return best;
}

} // namespace duo::sim
