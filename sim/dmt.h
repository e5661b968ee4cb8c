// VESA DMT reference timings: the simulator's starting modes and the monitor
// model's reference.
#pragma once

namespace duo::sim {

struct DmtMode {
    int width, height;
    double refresh_hz;       // nominal frame (or field) rate
    double pixel_clock_hz;
    int h_total, h_sync_start, h_sync_end;
    int v_total, v_sync_start, v_sync_end; // frame lines
    bool interlaced;
    double line_rate_hz;     // as published
    double field_rate_hz;    // as published
};

inline constexpr DmtMode kDmtModes[] = {
    {640, 480, 60, 25.175e6, 800, 656, 752, 525, 490, 492, false, 31469, 59.94},
    {640, 480, 75, 31.500e6, 840, 656, 720, 500, 481, 484, false, 37500, 75.00},
    {800, 600, 60, 40.000e6, 1056, 840, 968, 628, 601, 605, false, 37879, 60.32},
    {800, 600, 75, 49.500e6, 1056, 816, 896, 625, 601, 604, false, 46875, 75.00},
    {1024, 768, 60, 65.000e6, 1344, 1048, 1184, 806, 771, 777, false, 48363, 60.00},
    {1024, 768, 75, 78.750e6, 1312, 1040, 1136, 800, 769, 772, false, 60023, 75.03},
    {1024, 768, 87, 44.900e6, 1264, 1032, 1208, 817, 768, 776, true, 35522, 86.96},
};

// The 60 Hz progressive mode of a resolution, or nullptr.
inline const DmtMode* dmt_start_mode(int width, int height) {
    for (const DmtMode& m : kDmtModes)
        if (m.width == width && m.height == height && !m.interlaced && m.refresh_hz == 60) return &m;
    return nullptr;
}

} // namespace duo::sim
