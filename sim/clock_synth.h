// What the simulated clock synthesizers share. Each chip family computes
// the frequency its clock registers select in its own file (sim/family_*.cpp);
// here are the crystal they all run from, the search for the register values
// that come closest to a desktop clock, and the miscellaneous output's clock
// select.
#pragma once
#include <cstdint>

namespace duo::sim {

inline constexpr double kCrystalHz = 14318180.0;

// Up to three register bytes behind one clock, in the order the family's
// formula names them.
struct ClockRegs {
    std::uint8_t r[3];
};

// A family's synthesizer: the frequency its register bytes select, 0 where
// a divider is zero.
using ClockFormula = double (*)(const ClockRegs& regs);

// Of every value of the first two bytes (and of the third from 0 to
// `third_values` - 1), the one whose frequency is nearest to `hz`.
ClockRegs nearest_regs(ClockFormula formula, double hz, int third_values = 1);

// Miscellaneous output with clock select bits 2-3 replaced.
inline std::uint8_t with_clock_select(std::uint8_t misc, int select) {
    return static_cast<std::uint8_t>((misc & ~0x0C) | ((select & 3) << 2));
}

} // namespace duo::sim
