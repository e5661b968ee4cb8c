// Helpers of the simulated clock synthesizers: the setting that comes
// closest to a frequency (for the desktop clock a card starts with), and the
// driver's clock requests.
#pragma once
#include <cstdint>
#include <cstring>

#include "lib/core/state.h"
#include "lib/hw/driver_protocol.h"
#include "lib/timing/synthesizers.h"

namespace duo::sim {

// Of every setting the synthesizer can take, the one nearest to `hz`.
ClockSetting nearest_setting(Synthesizer synth, double hz);

template <typename T>
bool read_request(const void* in, std::uint32_t in_size, T& value) {
    if (!in || in_size < sizeof(T)) return false;
    std::memcpy(&value, in, sizeof(T));
    return true;
}

template <typename T>
bool write_reply(void* out, std::uint32_t out_size, const T& value) {
    if (!out || out_size < sizeof(T)) return false;
    std::memcpy(out, &value, sizeof(T));
    return true;
}

// Miscellaneous output with clock select bits 2-3 replaced.
inline std::uint8_t with_clock_select(std::uint8_t misc, int select) {
    return static_cast<std::uint8_t>((misc & ~0x0C) | ((select & 3) << 2));
}

} // namespace duo::sim
