// The supported chips, one row per chip code: everything the library knows
// about a chip beyond its detection registers. The family, the mode rules,
// the default-data group, the synthesizer and the clock tables a mode uses
// are all read from here.
#pragma once
#include <cstdint>
#include <span>

namespace duo {

enum Family : int { kTrident = 0, kS3 = 1, kCirrus = 2, kMach64 = 3, kEt6000 = 4, kFamilies = 5, kNoFamily = -1 };

// 2 or 3 bytes selecting a pixel clock; unused bytes stay 0.
struct ClockSetting {
    std::uint8_t b[3];
};

// The colour depths the tables tell apart: 8, 15/16 and 24 bits per pixel.
enum DepthClass : int { kDepth8 = 0, kDepth16 = 1, kDepth24 = 2, kDepthClasses = 3, kNoDepthClass = -1 };

constexpr DepthClass depth_class_of(int bits_per_pixel) {
    switch (bits_per_pixel) {
    case 8: return kDepth8;
    case 15:
    case 16: return kDepth16;
    case 24: return kDepth24;
    default: return kNoDepthClass;
    }
}

// The resolutions stereo runs in: 0, 1, 2 for 640x480, 800x600, 1024x768;
// -1 for any other.
inline constexpr int kResolutions = 3;
constexpr int resolution_index(int width, int height) {
    if (width == 640 && height == 480) return 0;
    if (width == 800 && height == 600) return 1;
    if (width == 1024 && height == 768) return 2;
    return -1;
}

enum class Synthesizer : int {
    kTrident,    // chips 0x101, 0x103: b0/b1: word at 0x43C8/0x43C9, b2: (SEQ 0x0D >> 1) & 3
    kTridentNew, // chips 0x102, 0x105: b0 N, b1 M | K << 6, b2 as kTrident
    kS3,         // b0: SEQ 0x12 (N1 | R << 5), b1: SEQ 0x13 (M)
    kCirrus,     // chips 0x301-0x303: b0 numerator, b1 denominator, b2 misc
    kCirrus304,  // chip 0x304: (SEQ 0x1B+s, SEQ 0x0B+s, misc), numerator first
    kMach64,     // b0: post-divider code, b1: feedback divider N
    kEt6000,     // b0: M - 2, b1: (N1 - 2) | (N2 << 5)
    kNone,
};

// Chips that share their default timing records.
enum class ChipGroup : int {
    kTrident101,
    kTrident102And105,
    kTrident103,
    kS3201To205,
    kS3206And207,
    kCirrus301To303,
    kCirrus304,
    kMach64,
    kEt6000,
    kNone, // chips without records
};

// Clock table indexes within each family's list of built-in clock tables.
namespace clock_index {
namespace trident {
enum : int {
    k103At640, k103At640Depth24, k103At800, k103At800Depth24, k103At1024,
    k101At640, k101At640Depth24, k101At800Depth8, k101At800Depth16, k101At800Depth24,
    k101At1024Depth8, k101At1024Depth16,
    k102At640, k102At800, k102At1024,
    k101At640Depth16,
    kCount,
};
}
namespace s3 {
enum : int { k640, k800, k1024, k640Depth24, k800Depth24, kCount };
}
namespace cirrus {
enum : int {
    k301At640, k301At800, k301At1024, k304At640, k304At800, k304At1024,
    k301At640Depth24, k301At800Depth24, // the GD542x's VCLK at three times the pixel rate
    kCount,
};
}
namespace three_resolutions {
enum : int { k640, k800, k1024, kCount };
}
namespace mach64 {
enum : int { k640, k800, k1024, k640Packed, kCount }; // packed: 16 and 24 bits
}
} // namespace clock_index

// A mode the chip refuses beyond the common rule: a depth with a width.
struct Refusal {
    int bits_per_pixel;
    int width;
};

// The clock table index per resolution and depth class; -1: none.
using ClockTableMap = std::int8_t[kResolutions][kDepthClasses];

struct ChipRow {
    std::int32_t code;
    Family family;
    const char* name; // as the diagnosis shows it; "" where it shows none
    Synthesizer synthesizer;
    ChipGroup group;
    // 24 bits at 1024x768 has no defaults, so the mode rules refuse it too.
    bool no_deep_1024;
    Refusal refusals[2];
    int refusal_count;
    // Periods of the programmed clock per pixel, by depth class.
    double clocks_per_pixel[kDepthClasses];
    // Character clocks the horizontal registers count per 8 pixels.
    int horizontal_scale[kDepthClasses];
    ClockTableMap clock_table;
    // Frequency changes, resumes and tests take their clock from the table
    // of the mode rather than the selection.
    bool resolution_clock_table;
};

// The chip's row, or nullptr for a code without one.
const ChipRow* chip_row(std::int32_t chip);
// Every row, ascending by code.
std::span<const ChipRow> chip_rows();

Family family_of(std::int32_t chip);
// The chip's name for the diagnosis; "" for a chip that shows none.
const char* chip_name_of(std::int32_t chip);
Synthesizer synthesizer_of(std::int32_t chip);
ChipGroup chip_group_of(std::int32_t chip);
// The lowest chip code of a group (0 for kNone).
std::int32_t first_chip_of(ChipGroup group);

// Whether the chip's rules refuse a mode of the common set (8, 15, 16, 24
// bits at 640x480, 800x600, 1024x768).
bool chip_refuses(const ChipRow& row, int bits_per_pixel, int width);
// A 24-bit 1024x768 mode whose defaults the chip withholds.
bool deep_1024_withheld(std::int32_t chip, int bits_per_pixel, int width, int height);

// The clock table a chip uses at a colour depth and resolution (an index
// into its family's list), or -1 where it has none.
int clock_table_for(std::int32_t chip, int bits_per_pixel, int width, int height);
bool uses_resolution_clock_table(std::int32_t chip);

// Character clocks the chip's horizontal registers count per 8 pixels.
int horizontal_scale(std::int32_t chip, int bits_per_pixel);
// Periods of the programmed clock one pixel takes.
double clock_per_pixel(std::int32_t chip, int bits_per_pixel);

} // namespace duo
