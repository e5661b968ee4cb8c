// CRTC timing fields that are split over several registers, as data: each
// field lists where its bits live, and one pair of functions reads and writes
// any of them.
#pragma once
#include <cstdint>

namespace duo::sim {

struct BitPiece {
    std::uint8_t reg;       // CRTC index
    std::uint8_t reg_bit;   // lowest bit inside the register
    std::uint8_t width;     // number of bits
    std::uint8_t value_bit; // where they land in the field
};

struct SplitField {
    const char* name;
    BitPiece pieces[4];
    int count;
};

// Standard VGA layout of the timing fields.
namespace vga_field {
inline constexpr SplitField kHTotal{"HT", {{0x00, 0, 8, 0}}, 1};
inline constexpr SplitField kHDisplayEnd{"HDE", {{0x01, 0, 8, 0}}, 1};
inline constexpr SplitField kHBlankStart{"HBS", {{0x02, 0, 8, 0}}, 1};
inline constexpr SplitField kHBlankEnd{"HBE", {{0x03, 0, 5, 0}, {0x05, 7, 1, 5}}, 2};
inline constexpr SplitField kHRetraceStart{"HRS", {{0x04, 0, 8, 0}}, 1};
inline constexpr SplitField kHRetraceEnd{"HRE", {{0x05, 0, 5, 0}}, 1};
inline constexpr SplitField kVTotal{"VT", {{0x06, 0, 8, 0}, {0x07, 0, 1, 8}, {0x07, 5, 1, 9}}, 3};
inline constexpr SplitField kVDisplayEnd{"VDE", {{0x12, 0, 8, 0}, {0x07, 1, 1, 8}, {0x07, 6, 1, 9}}, 3};
inline constexpr SplitField kVRetraceStart{"VRS", {{0x10, 0, 8, 0}, {0x07, 2, 1, 8}, {0x07, 7, 1, 9}}, 3};
inline constexpr SplitField kVRetraceEnd{"VRE", {{0x11, 0, 4, 0}}, 1};
inline constexpr SplitField kVBlankStart{"VBS", {{0x15, 0, 8, 0}, {0x07, 3, 1, 8}, {0x09, 5, 1, 9}}, 3};
inline constexpr SplitField kVBlankEnd{"VBE", {{0x16, 0, 8, 0}}, 1};
inline constexpr SplitField kLineCompare{"LC", {{0x18, 0, 8, 0}, {0x07, 4, 1, 8}, {0x09, 6, 1, 9}}, 3};
inline constexpr SplitField kOffset{"OFFSET", {{0x13, 0, 8, 0}}, 1};
inline constexpr SplitField kStartAddress{"START", {{0x0D, 0, 8, 0}, {0x0C, 0, 8, 8}}, 2};
} // namespace vga_field

int read_field(const std::uint8_t* crtc, const SplitField& field);
// Writes the field's bits and leaves every other bit of its registers alone.
void write_field(std::uint8_t* crtc, const SplitField& field, int value);

} // namespace duo::sim
