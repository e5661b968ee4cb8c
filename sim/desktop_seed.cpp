#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "sim/adapter.h"

namespace duo::sim {
namespace {

std::uint32_t mix(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

std::uint32_t choose_seed() {
    if (const char* text = std::getenv("DUO_SEED")) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(text, &end, 0);
        if (end != text && *end == '\0') return static_cast<std::uint32_t>(value);
        std::fprintf(stderr, "duosim: DUO_SEED=%s is not a number; taking one from the time\n", text);
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    const std::uint32_t seed = mix(static_cast<std::uint32_t>(now) ^ static_cast<std::uint32_t>(now >> 32));
    return seed ? seed : 1;
}

} // namespace

std::uint32_t run_seed() {
    static const std::uint32_t seed = [] {
        const std::uint32_t chosen = choose_seed();
        std::fprintf(stderr, "duosim: seed %u (DUO_SEED=%u replays it)\n", chosen, chosen);
        // Simulated drivers loaded later and processes started from here
        // draw from the same seed.
        static char setting[32];
        std::snprintf(setting, sizeof setting, "DUO_SEED=%u", chosen);
        putenv(setting);
        return chosen;
    }();
    return seed;
}

std::uint8_t desktop_bits(AdapterState& s, std::uint8_t mask) {
    if (s.desktop_seed == 0) return 0;
    // The adapter and mode take part, so that every desktop differs.
    std::uint32_t h = mix(s.desktop_seed);
    for (const char* c = s.adapter_name; c < s.adapter_name + sizeof s.adapter_name && *c; ++c)
        h = mix(h ^ static_cast<unsigned char>(*c));
    h = mix(h ^ static_cast<std::uint32_t>(s.mode.width * 4099 + s.mode.height * 13 + s.mode.bits_per_pixel));
    h = mix(h + s.desktop_draws++);
    return static_cast<std::uint8_t>(h & mask);
}

} // namespace duo::sim
