#include "sim/clock_synth.h"

#include <cmath>

namespace duo::sim {

namespace {

ClockSetting search_nearest(Synthesizer synth, double hz) {
    ClockSetting best{};
    double best_error = 1e300;
    // Three-byte settings only use the low bits of the third byte.
    const int third_values = synth == Synthesizer::kTrident ? 2 : 1;
    for (int b2 = 0; b2 < third_values; ++b2)
        for (int b0 = 0; b0 < 256; ++b0)
            for (int b1 = 0; b1 < 256; ++b1) {
                ClockSetting s{{static_cast<std::uint8_t>(b0), static_cast<std::uint8_t>(b1), static_cast<std::uint8_t>(b2)}};
                double f = pixel_clock_hz(synth, s);
                if (f <= 0) continue;
                double error = std::fabs(f - hz);
                if (error < best_error) best_error = error, best = s;
            }
    return best;
}

} // namespace

ClockSetting nearest_setting(Synthesizer synth, double hz) {
    // Every power-on searches its desktop clock; the same few clocks come
    // back again and again in tests and fuzzing, and a search tries 64K
    // settings or more.
    struct Remembered {
        Synthesizer synth;
        double hz;
        ClockSetting setting;
        bool used;
    };
    thread_local Remembered remembered[16] = {};
    thread_local unsigned next = 0;
    for (const Remembered& r : remembered)
        if (r.used && r.synth == synth && r.hz == hz) return r.setting;
    const ClockSetting best = search_nearest(synth, hz);
    remembered[next++ % 16] = {synth, hz, best, true};
    return best;
}

} // namespace duo::sim
