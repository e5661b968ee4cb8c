#include "sim/clock_synth.h"

#include <cmath>

namespace duo::sim {

ClockSetting nearest_setting(Synthesizer synth, double hz) {
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

} // namespace duo::sim
