// The monitor model against the published VESA timings.
#include <gtest/gtest.h>

#include <memory>

#include "sim/adapter.h"
#include "sim/crtc_fields.h"
#include "sim/dmt.h"
#include "sim/monitor.h"

namespace duo::sim {
namespace {

constexpr double kTolerance = 0.001; // 0.1 %

void expect_close(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual / expected, 1.0, kTolerance) << what << ": " << actual << " vs " << expected;
}

// Programs a DMT mode into the standard CRTC by hand, the way a BIOS table
// would, independently of the simulator's own start-up code.
void program(AdapterState& s, const DmtMode& m) {
    using namespace vga_field;
    s.crtc[0x11] &= 0x7F;
    write_field(s.crtc, kHTotal, m.h_total / 8 - 5);
    write_field(s.crtc, kVTotal, m.v_total - 2);
    write_field(s.crtc, kVDisplayEnd, m.height - 1);
    s.clock_hz[3] = m.pixel_clock_hz;
    s.misc_output = 0x0F;
    s.seq[1] = 0x01;
    s.crtc[0x17] = 0xE3;
}

TEST(MonitorModel, ProgressiveDmtModesDecodeToThePublishedRates) {
    auto s = std::make_unique<AdapterState>();
    for (const DmtMode& m : kDmtModes) {
        if (m.interlaced) continue;
        power_on(*s, *find_adapter("vga"), {m.width, m.height, 8});
        program(*s, m);
        MonitorView v = observe(*s);
        SCOPED_TRACE(std::to_string(m.width) + "x" + std::to_string(m.height) + "@" + std::to_string(m.refresh_hz));
        EXPECT_FALSE(v.interlaced);
        EXPECT_EQ(v.h_total_px, m.h_total);
        EXPECT_EQ(v.v_total_lines, m.v_total);
        EXPECT_EQ(v.displayed_lines, m.height);
        expect_close(v.line_rate_hz, m.line_rate_hz, "line rate");
        expect_close(v.field_rate_hz, m.field_rate_hz, "frame rate");
        EXPECT_FALSE(v.out_of_range);
        // A sync start the counters never reach leaves the monitor without sync.
        write_field(s->crtc, vga_field::kVRetraceStart, m.v_total);
        EXPECT_TRUE(observe(*s).v_sync_missing && observe(*s).out_of_range);
        write_field(s->crtc, vga_field::kVRetraceStart, m.v_total - 8);
        write_field(s->crtc, vga_field::kHRetraceStart, m.h_total / 8);
        EXPECT_TRUE(observe(*s).h_sync_missing && !observe(*s).v_sync_missing);
    }
}

TEST(MonitorModel, StartModeIsTheSixtyHertzModeOfTheDesktop) {
    auto s = std::make_unique<AdapterState>();
    for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1024, 768}}) {
        power_on(*s, *find_adapter("vga"), {w, h, 16});
        MonitorView v = observe(*s);
        const DmtMode* m = dmt_start_mode(w, h);
        ASSERT_NE(m, nullptr);
        expect_close(v.line_rate_hz, m->line_rate_hz, "line rate");
        expect_close(v.field_rate_hz, m->field_rate_hz, "frame rate");
        EXPECT_EQ(v.displayed_lines, h);
        EXPECT_EQ(v.display_start, 0);
        EXPECT_FALSE(v.blanked);
        EXPECT_TRUE(s->crtc[0x11] & 0x80) << "CRTC 0x00-0x07 start protected";
    }
}

TEST(MonitorModel, ClockSelectDividerAndBlankingAreSeen) {
    auto s = std::make_unique<AdapterState>();
    power_on(*s, *find_adapter("vga"), {640, 480, 8});
    s->misc_output &= ~0x0C; // fixed 25.175 MHz
    EXPECT_NEAR(observe(*s).pixel_clock_hz, 25.175e6, 1);
    s->seq[1] |= 0x08; // dot clock / 2
    EXPECT_NEAR(observe(*s).pixel_clock_hz, 12.5875e6, 1);
    EXPECT_TRUE(observe(*s).out_of_range) << "15.7 kHz is below any multisync monitor";
    s->seq[1] |= 0x20;
    EXPECT_TRUE(observe(*s).blanked);
}

TEST(MonitorModel, VerticalCounterEverySecondLineHalvesTheFrameRate) {
    auto s = std::make_unique<AdapterState>();
    power_on(*s, *find_adapter("vga"), {640, 480, 8});
    double normal = observe(*s).field_rate_hz;
    s->crtc[0x17] |= 0x04;
    EXPECT_NEAR(observe(*s).field_rate_hz, normal / 2, 1e-9);
}

TEST(MonitorModel, DisplayStartIsReadFromBothRegisters) {
    auto s = std::make_unique<AdapterState>();
    power_on(*s, *find_adapter("vga"), {640, 480, 8});
    s->crtc[0x0C] = 0x01;
    s->crtc[0x0D] = 0x40;
    EXPECT_EQ(observe(*s).display_start, 0x140);
}

} // namespace
} // namespace duo::sim
