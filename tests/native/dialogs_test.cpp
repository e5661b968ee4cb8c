// The dialogs' portable work on the simulated adapter: glyph lookup, the
// screen adjustment register arithmetic and the frequency test bookkeeping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "lib/dialogs/adjust.h"
#include "lib/dialogs/diagnosis.h"
#include "lib/dialogs/glyphs.h"
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"
#include "lib/timing/defaults.h"
#include "lib/timing/timing_load.h"
#include "sim/monitor.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_registry.h"

namespace duo {
namespace {

constexpr WindowHandle kHost = 0x100;

sim::AdapterState& adapter() { return *testing::fake().adapter; }

// The library up in this process on the named adapter, as Init leaves it;
// false when Init refuses the desktop mode on it.
bool bring_up(const char* name) {
    testing::reset_world(name, {800, 600, 16});
    testing::reset_registry();
    testing::list_adapter(*sim::find_adapter(name));
    g_process.driver = 0;
    if (init_library(kHost) == 1) return true;
    EXPECT_EQ(g_shared.last_error, kErrModeRefused) << name;
    return false;
}

std::vector<const sim::AdapterModel*> supported_adapters() {
    std::vector<const sim::AdapterModel*> out;
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (int i = 0; i < count; ++i)
        if (family_of(models[i].expected_chip) != kNoFamily) out.push_back(&models[i]);
    return out;
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

// Every register a display depends on and every clock synthesizer, bit for
// bit. Index registers and the mach64 PLL index and data window (CLOCK_CNTL
// bytes 1 and 2) only show the last selection and are left out.
bool same_display(const sim::AdapterState& a, const sim::AdapterState& b, std::string& where) {
    const std::uint32_t pll_index = a.family == sim::ChipFamily::kMach64 ? sim::mach64_register_port(a, 18, 1) : 0x10000;
    for (unsigned i = 0; i < 256; ++i) {
        if (a.seq[i] != b.seq[i]) return where = "SR" + hex(i), false;
        if (a.crtc[i] != b.crtc[i]) return where = "CR" + hex(i), false;
        if (a.graphics[i] != b.graphics[i]) return where = "GR" + hex(i), false;
    }
    if (a.misc_output != b.misc_output) return where = "misc", false;
    for (std::uint32_t i = 0; i < 0x10000; ++i)
        if (i != pll_index && i != pll_index + 1 && a.ports[i] != b.ports[i]) return where = "port " + hex(i), false;
    if (std::memcmp(a.clock_hz, b.clock_hz, sizeof a.clock_hz) != 0) return where = "clock", false;
    if (std::memcmp(a.s3_dac_clock, b.s3_dac_clock, sizeof a.s3_dac_clock) != 0) return where = "DAC clock", false;
    if (std::memcmp(a.mach64_pll, b.mach64_pll, sizeof a.mach64_pll) != 0) return where = "PLL", false;
    if (std::memcmp(a.et6000_clock, b.et6000_clock, sizeof a.et6000_clock) != 0) return where = "ET6000 clock", false;
    if (std::memcmp(a.trident_old_mode_regs, b.trident_old_mode_regs, 2) != 0) return where = "old-mode SR0D/E", false;
    const sim::MonitorView va = sim::observe(a), vb = sim::observe(b);
    if (va.pixel_clock_hz != vb.pixel_clock_hz) return where = "pixel clock", false;
    return true;
}

TEST(Glyphs, EveryCodeOfTheTableStaysOnTheSheetAndOthersHaveNone) {
    for (int code = 0; code < 256; ++code) {
        const Glyph* g = glyph_of(static_cast<unsigned char>(code));
        if (code < 32 || code > 127) {
            EXPECT_EQ(g, nullptr) << code;
            continue;
        }
        ASSERT_NE(g, nullptr) << code;
        EXPECT_GE(g->x, 0);
        EXPECT_LE(g->x + g->width, 246) << code;
        EXPECT_LE(g->y + kGlyphHeight, 46) << code;
    }
}

TEST(Glyphs, RowsBlankCellsAndTheCornerCell) {
    // Letters out of alphabetical order on the sheet keep their own cells.
    EXPECT_EQ(glyph_of('N')->x, 130);
    EXPECT_EQ(glyph_of('O')->x, 119);
    EXPECT_EQ(glyph_of('k')->x, 79);
    EXPECT_EQ(glyph_of('l')->x, 74);
    for (char c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(glyph_of(c)->y, 0) << c;
    for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(glyph_of(c)->y, 15) << c;
    for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(glyph_of(c)->y, 30) << c;
    EXPECT_EQ(glyph_of('\\')->x, glyph_of('/')->x);
    const Glyph space = *glyph_of(' ');
    EXPECT_EQ(space.y, 32);
    for (char c : {'\'', '(', ')', '?', '_'}) {
        EXPECT_EQ(glyph_of(c)->x, 125) << c;
        EXPECT_EQ(glyph_of(c)->y, 30) << c;
        EXPECT_EQ(glyph_of(c)->width, 7) << c;
    }
    for (char c : {',', '-', '!', '@', '~', '\x7F'}) {
        EXPECT_EQ(glyph_of(c)->x, 0) << c;
        EXPECT_EQ(glyph_of(c)->width, 14) << c;
    }
    // "?(" prints as two 7-pixel gaps; a code without a glyph adds nothing.
    EXPECT_EQ(text_width("?(", 2), 14);
    EXPECT_EQ(text_width("A\x01" "B", 3), 16);
    EXPECT_EQ(text_width("Hz\xC0", 3), 8 + 7);
}

TEST(Glyphs, CaptionsOfTheButtons) {
    ASSERT_NE(caption_of(1007), nullptr);
    EXPECT_STREQ(caption_of(1007)->text, "Set default");
    EXPECT_EQ(caption_of(1007)->x, 6);
    EXPECT_STREQ(caption_of(1011)->text, caption_of(1008)->text);
    EXPECT_EQ(caption_of(1014)->x, 15);
    EXPECT_EQ(caption_of(1001), nullptr);
    EXPECT_EQ(caption_of(1015), nullptr);
    EXPECT_EQ(caption_of(-1), nullptr);
}

// ---------------------------------------------------------------------------

AdjustRegisters regs(std::uint8_t cr02, std::uint8_t cr03, std::uint8_t cr04, std::uint8_t cr05, std::uint8_t cr07,
                     std::uint8_t cr09, std::uint8_t cr10, std::uint8_t cr11, std::uint8_t cr15, std::uint8_t cr16,
                     std::uint8_t cr5d = 0) {
    return {{cr02, cr03, cr04, cr05}, cr07, cr09, {cr10, cr11}, {cr15, cr16}, cr5d};
}

TEST(RetraceValues, PlainVgaEndsUnfoldAgainstTheirStarts) {
    // HBE low bits 0x32 above HBS's 0x10: same 64-block. HRE 0x03 below
    // HRS's 0x1E: next 32-block.
    RetraceValues v =
        retrace_values(nullptr, regs(0x50, 0x12, 0x5E, 0x83, 0x00, 0, 0x80, 0x05, 0x70, 0x20));
    EXPECT_EQ(v.hbs, 0x50u);
    EXPECT_EQ(v.hbe, 0x72u);
    EXPECT_EQ(v.hrs, 0x5Eu);
    EXPECT_EQ(v.hre, 0x63u);
    // VRS 0x80 low nibble 0 <= VRE's 5; VBE 0x20 below VBS 0x70 wraps.
    EXPECT_EQ(v.vrs, 0x80u);
    EXPECT_EQ(v.vre, 0x85u);
    EXPECT_EQ(v.vbs, 0x70u);
    EXPECT_EQ(v.vbe, 0x120u);
    // Bits 8 and 9 from the overflow and maximum scan line registers.
    v = retrace_values(nullptr, regs(0x7C, 0x02, 0, 0, 0x84 | 0x08, 0x20, 0x5A, 0x03, 0x60, 0x10));
    EXPECT_EQ(v.hbe, 0x82u);
    EXPECT_EQ(v.vrs, 0x35Au);
    EXPECT_EQ(v.vre, 0x363u);
    EXPECT_EQ(v.vbs, 0x360u);
    EXPECT_EQ(v.vbe, 0x410u);
    const RetraceWindow w = retrace_window(v);
    EXPECT_EQ(w.vmin, 0x360u);
    EXPECT_EQ(w.vmax, 0x35Au - 0x363u + 0x410u);
}

TEST(RetraceValues, S3TakesTheExtendedHorizontalBits) {
    // CR5D: HBS bit 8 (0x04), blanking 64 longer (0x08), HRS bit 8 (0x10), retrace 32 longer (0x20).
    RetraceValues v =
        retrace_values(family::kS3Ops.sync_extension, regs(0x10, 0x05, 0x20, 0x04, 0, 0, 0, 0, 0, 0, 0x04 | 0x08 | 0x10 | 0x20));
    EXPECT_EQ(v.hbs, 0x110u);
    EXPECT_EQ(v.hbe, 0x145u + 0x40u); // end 0x05 below the start's 0x10: next 64 block
    EXPECT_EQ(v.hrs, 0x120u);
    EXPECT_EQ(v.hre, 0x124u + 0x20u);
    // The start's upper bits count once.
    v = retrace_values(family::kS3Ops.sync_extension, regs(0xF0, 0x05, 0xF8, 0x02, 0, 0, 0, 0, 0, 0, 0x08));
    EXPECT_EQ(v.hbe, 0x105u + 0x40u);
    EXPECT_EQ(v.hre, 0x102u);
    // A plain 640x480 timing: retrace 0x54..0x60 inside blanking 0x50..0x62,
    // so the pulse may move two clocks later.
    v = retrace_values(family::kS3Ops.sync_extension, regs(0x50, 0x02, 0x54, 0x80, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(v.hre, 0x60u);
    EXPECT_EQ(v.hbe, 0x62u);
    EXPECT_EQ(retrace_window(v).hmax, 0x56u);
}


// Every built-in S3 record puts its horizontal retrace inside its blanking,
// so the dialog opens with room to move the picture both ways.
TEST(RetraceValues, BuiltInS3RecordsLeaveHorizontalRoomBothWays) {
    for (const RecordEntry& entry : default_records(kS3)) {
        const std::uint8_t* c = entry.record.crtc;
        const RetraceValues v = retrace_values(
            family::kS3Ops.sync_extension,
            regs(c[0x02], c[0x03], c[0x04], c[0x05], c[0x07], c[0x09], c[0x10], c[0x11], c[0x15], c[0x16],
                 entry.record.ext[2]));
        const RetraceWindow w = retrace_window(v);
        EXPECT_LT(w.hmin, v.hrs) << entry.width << "x" << entry.height;
        EXPECT_LT(v.hrs, w.hmax) << entry.width << "x" << entry.height;
    }
}

class AdjustTest : public ::testing::Test {
protected:
    // The adapter as the dialog finds it in stereo: opened by the family's
    // open step, CRTC 0x00-0x07 writable.
    void open_on(const char* adapter, std::int32_t chip) {
        testing::reset_world(adapter, {800, 600, 16});
        g_shared.chip_code = chip;
        g_shared.colour_depth = 16;
        g_shared.display_width = 800;
        g_shared.display_height = 600;
        if (const FamilyOps* ops = family_ops(chip)) ops->open_step();
        g_shared.initialised = 1;
        a().crtc[0x11] &= 0x7F;
        if (family_of(chip) == kS3) {
            // Blanking 0x126..0x150 and retrace 0x129..0x12E: starts with
            // bit 8 set, so the extended bits move too.
            a().crtc[0x02] = 0x26;
            a().crtc[0x03] = static_cast<std::uint8_t>((a().crtc[0x03] & 0xE0) | 0x10);
            a().crtc[0x04] = 0x29;
            a().crtc[0x05] = static_cast<std::uint8_t>((a().crtc[0x05] & 0x60) | 0x0E);
            a().crtc[0x5D] = 0x14;
        }
        adjust_open(s, chip);
    }
    sim::AdapterState& a() { return *testing::fake().adapter; }
    ReleaseResult click(int x, int y) {
        adjust_press(s, x, y);
        ReleaseResult r = adjust_release(s);
        for (int i = 0; i < r.command_count; ++i) {
            if (r.commands[i] == kCmdApplyHorizontal) adjust_apply_horizontal(s);
            if (r.commands[i] == kCmdApplyVertical) adjust_apply_vertical(s);
        }
        return r;
    }
    std::uint32_t chip_vrs() {
        return a().crtc[0x10] | ((a().crtc[0x07] & 0x04) << 6) | ((a().crtc[0x07] & 0x80) << 2);
    }
    AdjustState s;
};

TEST_F(AdjustTest, ArrowsMoveTheSyncPulsesOnTheChipOneStepPerClick) {
    open_on("s3-765", 0x203);
    const std::uint32_t vrs = s.retrace.vrs, hrs = s.retrace.hrs;
    ASSERT_EQ(vrs, chip_vrs());
    ASSERT_EQ(hrs, a().crtc[0x04] | ((a().crtc[0x5D] & 0x10) << 4));
    // Up moves the vertical retrace later; the far right of the up zone counts.
    ReleaseResult r = click(170, 40);
    ASSERT_EQ(r.command_count, 1);
    EXPECT_EQ(r.commands[0], kCmdApplyVertical);
    EXPECT_EQ(chip_vrs(), vrs + 1);
    EXPECT_EQ(a().crtc[0x11] & 0x0F, (s.retrace.vre) & 0x0F);
    click(120, 120); // down
    click(120, 120);
    EXPECT_EQ(chip_vrs(), vrs - 1);
    click(70, 80); // left
    EXPECT_EQ(a().crtc[0x04], (hrs + 1) & 0xFF);
    EXPECT_EQ(a().crtc[0x05] & 0x1F, s.retrace.hre & 0x1F);
    click(190, 80); // right, its last column
    click(190, 80);
    EXPECT_EQ(a().crtc[0x04], (hrs - 1) & 0xFF);
    // Just outside the zones: nothing.
    EXPECT_EQ(click(171, 40).released, 0);
    EXPECT_EQ(click(191, 80).released, 0);
    EXPECT_EQ(click(137, 120).released, 0);
}

// The S3 desktop modes count horizontal bytes at 16 and 24 bits per pixel;
// the dialog still finds each retrace inside its blanking.
TEST_F(AdjustTest, S3DesktopModesAtEveryDepthLeaveHorizontalRoomBothWays) {
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (int i = 0; i < count; ++i) {
        if (family_of(models[i].expected_chip) != kS3) continue;
        for (const sim::DesktopMode mode : {sim::DesktopMode{640, 480, 8}, sim::DesktopMode{800, 600, 16},
                                            sim::DesktopMode{800, 600, 24}, sim::DesktopMode{1024, 768, 24}}) {
            SCOPED_TRACE(std::string(models[i].name) + " " + std::to_string(mode.width) + "x" +
                         std::to_string(mode.bits_per_pixel));
            testing::reset_world(models[i].name, mode);
            g_shared.chip_code = models[i].expected_chip;
            g_shared.initialised = 1;
            family_ops(models[i].expected_chip)->open_step();
            adjust_open(s, models[i].expected_chip);
            EXPECT_LT(s.window.hmin, s.retrace.hrs);
            EXPECT_LT(s.retrace.hrs, s.window.hmax);
            EXPECT_LT(s.retrace.hre - s.retrace.hrs, 64u);
        }
    }
}

TEST_F(AdjustTest, ARetraceStartNeverLeavesItsWindowAndAHeldArrowWaitsForTheRelease) {
    open_on("cirrus-542x", 0x301);
    s.retrace.vrs = s.window.vmax;
    EXPECT_TRUE(adjust_press(s, 120, 40));
    const std::uint64_t io = a().io_operations;
    ReleaseResult r = adjust_release(s);
    EXPECT_EQ(r.released, 1);
    EXPECT_EQ(r.command_count, 0);
    EXPECT_EQ(a().io_operations, io);
    s.retrace.hrs = s.window.hmin;
    adjust_press(s, 180, 80);
    EXPECT_EQ(adjust_release(s).command_count, 0);
    // A second release finds nothing pressed.
    EXPECT_EQ(adjust_release(s).released, 0);
    // Pressed arrows are applied in the order up, down, left, right.
    s.pressed[kArrowRight] = s.pressed[kArrowUp] = true;
    s.retrace.hrs = s.window.hmin + 1;
    s.retrace.vrs = s.window.vmin;
    r = adjust_release(s);
    ASSERT_EQ(r.command_count, 2);
    EXPECT_EQ(r.commands[0], kCmdApplyVertical);
    EXPECT_EQ(r.commands[1], kCmdApplyHorizontal);
}

TEST_F(AdjustTest, OkStoresOnlyTheRetraceFieldsOfTheCurrentBlock) {
    open_on("s3-765", 0x203);
    click(120, 40);
    click(70, 80);
    TimingBlock block{};
    for (int i = 0; i < kTimingBlockSize; ++i) block.bytes[i] = static_cast<std::uint8_t>(0xA5 ^ i);
    const TimingBlock before = block;
    std::uint8_t chip_before[256];
    std::memcpy(chip_before, a().crtc, 256);
    adjust_ok(s, &block);
    EXPECT_EQ(std::memcmp(chip_before, a().crtc, 256), 0) << "OK writes nothing to the chip";
    EXPECT_EQ(block.bytes[4], s.retrace.hrs & 0xFF);
    EXPECT_EQ(block.bytes[5], (before.bytes[5] & 0xE0) | (s.retrace.hre & 0x1F));
    EXPECT_EQ(block.bytes[16], s.retrace.vrs & 0xFF);
    EXPECT_EQ(block.bytes[17], (before.bytes[17] & 0xF0) | (s.retrace.vre & 0x0F));
    EXPECT_EQ(block.bytes[7], (before.bytes[7] & 0x7B) | ((s.retrace.vrs >> 6) & 0x04) | ((s.retrace.vrs >> 2) & 0x80));
    EXPECT_EQ(block.bytes[62], (before.bytes[62] & ~0x10) | ((s.retrace.hrs >> 4) & 0x10));
    for (int i = 0; i < kTimingBlockSize; ++i)
        if (i != 4 && i != 5 && i != 7 && i != 16 && i != 17 && i != 62) {
            EXPECT_EQ(block.bytes[i], before.bytes[i]) << i;
        }
}

TEST_F(AdjustTest, CancelPutsTheEntryValuesIntoChipAndBlock) {
    open_on("s3-765", 0x203);
    std::uint8_t entry[256];
    std::memcpy(entry, a().crtc, 256);
    click(120, 40);
    click(70, 80);
    ASSERT_NE(a().crtc[0x10], entry[0x10]);
    TimingBlock block{};
    adjust_cancel(s, &block);
    for (int r : {0x02, 0x03, 0x04, 0x05, 0x07, 0x09, 0x10, 0x11, 0x15, 0x16, 0x5D})
        EXPECT_EQ(a().crtc[r], entry[r]) << r;
    for (int b : {2, 3, 4, 5, 7, 9, 16, 17, 21, 22}) EXPECT_EQ(block.bytes[b], entry[b]) << b;
    EXPECT_EQ(block.bytes[62], entry[0x5D]);
    EXPECT_EQ(block.bytes[6], 0);
}

// OK and Cancel store into the stereo block only while the chip runs it.
// With stereo off, or in line-double mode (whose registers leaving it
// replaces with the block again), the registers read are another timing's:
// stored, they would reach the next Enable and the settings file.
TEST_F(AdjustTest, OkAndCancelStoreOnlyWhileStereoRunsTheCurrentBlock) {
    ASSERT_TRUE(bring_up("s3-765"));
    const std::int32_t f = 9;
    g_shared.current_frequency = f;
    const TimingBlock& block = g_shared.current_table.blocks[f];
    const TimingBlock stored = block;
    auto adjust = [&](bool ok) {
        adjust_open(s, 0x203);
        const AdjustRegisters entry = s.live;
        click(125, 45); // up
        if (ok) {
            adjust_ok(s, adjust_stored_block());
        } else {
            adjust_cancel(s, adjust_stored_block());
            EXPECT_EQ(a().crtc[0x10], entry.vr[0]) << "Cancel puts the entry values back into the chip";
        }
    };
    for (bool ok : {true, false}) adjust(ok);
    EXPECT_EQ(std::memcmp(&block, &stored, sizeof block), 0) << "stereo off";

    ASSERT_EQ(enable_stereo(kHost, f), f);
    const sim::MonitorView stereo = sim::observe(a());
    ASSERT_EQ(line_double_command(kLineDoubleOn), 1);
    ASSERT_EQ(g_shared.line_double, 1);
    for (bool ok : {true, false}) adjust(ok);
    EXPECT_EQ(std::memcmp(&block, &stored, sizeof block), 0) << "line-double mode";
    line_double_command(kLineDoubleOff);
    disable_stereo(kHost);
    ASSERT_EQ(enable_stereo(kHost, f), f);
    const sim::MonitorView again = sim::observe(a());
    EXPECT_EQ(again.line_rate_hz, stereo.line_rate_hz);
    EXPECT_EQ(again.field_rate_hz, stereo.field_rate_hz);
    EXPECT_EQ(again.displayed_lines, stereo.displayed_lines);

    adjust_open(s, 0x203);
    ASSERT_EQ(adjust_stored_block(), &block);
    adjust(true);
    EXPECT_EQ(block.bytes[0x10], a().crtc[0x10]) << "stereo on its own block: OK keeps the step";
    EXPECT_NE(block.bytes[0x10], stored.bytes[0x10]);
}

TEST_F(AdjustTest, DefaultLoadsTheBuiltInSyncAndBlankingIntoTheChipOnly) {
    open_on("s3-765", 0x203);
    const TimingRecord* record = default_record(0x203, 800, 600, kDepth16);
    ASSERT_NE(record, nullptr);
    TimingBlock current{};
    for (int i = 0; i < kTimingBlockSize; ++i) current.bytes[i] = 0xFF;
    current.bytes[0x11] = 0x70; // the blocks keep CRTC 0x00-0x07 writable
    const TimingBlock before = current;
    ASSERT_TRUE(adjust_default(s, 0x203, 800, 16, current));
    EXPECT_EQ(std::memcmp(&current, &before, sizeof current), 0);
    for (int r : {0x02, 0x03, 0x04, 0x05, 0x10, 0x15, 0x16}) EXPECT_EQ(a().crtc[r], record->crtc[r]) << r;
    EXPECT_EQ(a().crtc[0x11], 0x70 | (record->crtc[0x11] & 0x0F));
    EXPECT_EQ(a().crtc[0x07], 0x73 | (record->crtc[0x07] & 0x8C));
    EXPECT_EQ(a().crtc[0x09], (0xFF & ~0x20) | (record->crtc[0x09] & 0x20));
    EXPECT_EQ(a().crtc[0x5D], (0xFF & ~0x10) | (record->ext[2] & 0x10));
    EXPECT_EQ(s.retrace.hrs, record->crtc[4] | ((record->ext[2] & 0x10) << 4));
    // Default then OK stores only the retrace fields, now the default's.
    TimingBlock ok_block = current;
    adjust_ok(s, &ok_block);
    EXPECT_EQ(ok_block.bytes[4], record->crtc[4]);
    EXPECT_EQ(ok_block.bytes[16], record->crtc[0x10]);
    for (int i = 0; i < kTimingBlockSize; ++i) {
        if (i != 4 && i != 5 && i != 7 && i != 16 && i != 17 && i != 62) {
            EXPECT_EQ(ok_block.bytes[i], current.bytes[i]) << i;
        }
    }
    // Default then Cancel restores the entry values.
    open_on("s3-765", 0x203);
    ASSERT_TRUE(adjust_default(s, 0x203, 800, 16, current));
    ASSERT_NE(a().crtc[0x04], s.entry.h[2]);
    TimingBlock block{};
    adjust_cancel(s, &block);
    EXPECT_EQ(a().crtc[0x04], s.entry.h[2]);
    EXPECT_EQ(a().crtc[0x16], s.entry.vb[1]);
}

TEST_F(AdjustTest, WithoutARecordDefaultPutsTheLiveCopyBackAndWithoutAFamilyNothingMoves) {
    open_on("s3-765", 0x203);
    const AdjustRegisters opened = s.live;
    const RetraceValues at_open = s.retrace;
    click(120, 40);
    click(70, 80);
    ASSERT_NE(a().crtc[0x10], opened.vr[0]);
    TimingBlock current{};
    EXPECT_FALSE(adjust_default(s, 0x203, 1024, 24, current)); // no 24-bit record at 1024
    EXPECT_EQ(a().crtc[0x10], opened.vr[0]);
    EXPECT_EQ(a().crtc[0x04], opened.h[2]);
    EXPECT_EQ(a().crtc[0x5D], opened.ext);
    EXPECT_EQ(s.retrace.vrs, at_open.vrs);
    EXPECT_EQ(s.retrace.hrs, at_open.hrs);
    EXPECT_FALSE(adjust_default(s, 0x203, 720, 16, current));
    EXPECT_FALSE(adjust_default(s, 0x203, 800, 32, current));
    EXPECT_EQ(std::memcmp(&s.live, &opened, sizeof opened), 0);

    open_on("vga", 0);
    EXPECT_EQ(a().io_operations, 0u) << "an unknown chip is not read";
    click(120, 40);
    TimingBlock block{};
    block.bytes[4] = 0x33;
    adjust_ok(s, &block);
    adjust_cancel(s, &block);
    EXPECT_FALSE(adjust_default(s, 0, 800, 16, block));
    EXPECT_EQ(block.bytes[4], 0x33);
    EXPECT_EQ(a().io_operations, 0u);
}

// ---------------------------------------------------------------------------

// Answer dialogs that answer from a script, as the real ones do: Yes and No
// mark the status entry. kNoDialog stands for a dialog that cannot be shown.
struct Script {
    std::vector<int> pass_fail;
    std::vector<int> fail_confirm;
    std::vector<std::int32_t> tested; // test frequency index at each PASSFAIL
    std::size_t next_pass = 0, next_confirm = 0;
    bool confirmed_on_stereo = false;  // a FAILCONFIRM came up over the test timing
};

int scripted_pass_fail(void* context) {
    auto& s = *static_cast<Script*>(context);
    s.tested.push_back(g_shared.test_frequency);
    const int r = s.next_pass < s.pass_fail.size() ? s.pass_fail[s.next_pass++] : kPassNo;
    if (r == kPassYes || r == kPassNo) record_answer(r == kPassYes ? 1 : 0);
    return r;
}

int scripted_fail_confirm(void* context) {
    auto& s = *static_cast<Script*>(context);
    s.confirmed_on_stereo |= sim::observe(adapter()).interlaced;
    const int r = s.next_confirm < s.fail_confirm.size() ? s.fail_confirm[s.next_confirm++] : kConfirmNo;
    if (r == kConfirmYes || r == kConfirmNo) record_answer(r == kConfirmYes ? 1 : 0);
    return r;
}

class DiagnosisTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::reset_world("s3-765", {800, 600, 16});
        g_shared.chip_code = 0x203;
        g_shared.colour_depth = 16;
        g_shared.display_width = 800;
        g_shared.display_height = 600;
        family_ops(0x203)->open_step(); // as Init leaves the chip
        g_shared.initialised = 1;
        load_timing_tables();
        g_shared.current_frequency = g_shared.current_table.default_frequency;
        for (std::int32_t& st : g_shared.current_table.status) st = 0;
    }
    AnswerDialogs dialogs() { return {scripted_pass_fail, scripted_fail_confirm, &script}; }
    sim::AdapterState& a() { return *testing::fake().adapter; }
    Script script;
    DiagnosisState state;
};

TEST_F(DiagnosisTest, ClicksSelectListEntriesAndTheRightColumnWinsWhereTheyOverlap) {
    g_shared.current_table.default_frequency = 5;
    diagnosis_open(state);
    EXPECT_EQ(g_shared.test_frequency, 5);
    EXPECT_EQ(state.pending_default, 5);
    struct Case { int x, y; bool hit; std::int32_t frequency; };
    const Case cases[] = {
        {40, 30, true, 3}, {119, 49, true, 3}, {40, 150, true, 7}, {130, 35, true, 8}, {219, 79, true, 9},
        {130, 95, true, 5}, {40, 50, false, 5}, {39, 30, false, 5}, {220, 30, false, 5}, {200, 100, false, 5},
        {-5, -5, false, 5}, {100000, 30, false, 5},
    };
    for (const Case& c : cases) {
        g_shared.test_frequency = 5;
        EXPECT_EQ(diagnosis_select_at(c.x, c.y), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(g_shared.test_frequency, c.frequency) << c.x << "," << c.y;
    }
}

TEST_F(DiagnosisTest, MarkerPositions) {
    int x = 0, y = 0;
    const struct { std::int32_t f; int x, y; } cases[] = {{3, 20, 28}, {7, 20, 148}, {8, 100, 28}, {9, 100, 58},
                                                         {2, 20, -2}, {0, 20, -62}};
    for (const auto& c : cases) {
        ASSERT_TRUE(marker_position(c.f, x, y)) << c.f;
        EXPECT_EQ(x, c.x) << c.f;
        EXPECT_EQ(y, c.y) << c.f;
    }
    EXPECT_FALSE(marker_position(-1, x, y));
    EXPECT_FALSE(marker_position(10, x, y));
    EXPECT_FALSE(marker_position(0x7FFFFFFF, x, y));
}

TEST_F(DiagnosisTest, TestSwitchPutsStereoTimingAndTheTestedClockOnAndRestoreTakesThemOff) {
    std::uint8_t crtc[256], seq[256];
    std::memcpy(crtc, a().crtc, 256);
    std::memcpy(seq, a().seq, 256);
    const std::uint8_t misc = a().misc_output;
    const ClockSetting desktop_clock{{a().seq[0x12], a().seq[0x13], 0}};
    const std::uint8_t interlace = a().crtc[0x42];
    auto& calls = testing::fake().driver_calls;
    calls.clear();
    test_switch(9);
    EXPECT_NE(std::memcmp(crtc, a().crtc, 0x19), 0) << "stereo timing of the current frequency";
    EXPECT_NE(a().crtc[0x42], interlace) << "interlace on";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), 8u), 1) << "the tested clock is written";
    EXPECT_EQ(g_shared.test.saved_clock.b[0], desktop_clock.b[0]);
    EXPECT_EQ(g_shared.test.saved_clock.b[1], desktop_clock.b[1]);
    EXPECT_EQ(g_shared.stereo, 0);
    EXPECT_EQ(g_shared.test.clock_select, misc);
    a().misc_output = static_cast<std::uint8_t>(misc ^ 0x0C); // a clock select changed meanwhile
    test_restore();
    for (int r = 0; r < 0x19; ++r)
        EXPECT_EQ(a().crtc[r] & (r == 0x11 ? 0x7F : 0xFF), crtc[r] & (r == 0x11 ? 0x7F : 0xFF)) << r;
    EXPECT_EQ(a().crtc[0x42], interlace);
    EXPECT_EQ(a().misc_output, misc) << "clock select bits put back";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), 8u), 2) << "the saved clock is written back";
    EXPECT_EQ(a().seq[1], seq[1]) << "the screen is on again";
}

// Every supported adapter: a test with stereo off puts back every register
// and the clock; a test while stereo is on leaves the stereo display as it
// was, and Disable afterwards still brings back the desktop bit for bit (the
// test keeps what it switched away from apart from what Disable restores).
TEST(TestSwitch, EveryAdapterGetsBackWhatTheTestChangedAndDisableStillFindsTheDesktop) {
    std::mt19937 random(20261208);
    std::string where;
    for (const sim::AdapterModel* model : supported_adapters()) {
        for (int round = 0; round < 3; ++round) {
            const std::int32_t on = 3 + static_cast<std::int32_t>(random() % 7);
            const std::int32_t tested = static_cast<std::int32_t>(random() % 10);
            SCOPED_TRACE(std::string(model->name) + ": stereo at " + std::to_string(on) + ", test of " +
                         std::to_string(tested));
            if (!bring_up(model->name)) continue; // a chip without timing records
            const auto desktop = std::make_unique<sim::AdapterState>(adapter());
            // A frequency without a clock is not put on the screen at all.
            const bool shown = test_switch(tested);
            EXPECT_EQ(shown, sim::observe(adapter()).interlaced) << "the test shows stereo timing";
            test_restore();
            EXPECT_TRUE(same_display(*desktop, adapter(), where)) << "stereo off, after the test: " << where;
            ASSERT_EQ(enable_stereo(kHost, on), on);
            const auto stereo = std::make_unique<sim::AdapterState>(adapter());
            test_switch(tested);
            test_restore();
            EXPECT_TRUE(same_display(*stereo, adapter(), where)) << "stereo on, after the test: " << where;
            EXPECT_EQ(g_shared.stereo, 1);
            EXPECT_EQ(g_shared.current_frequency, on);
            disable_stereo(kHost);
            EXPECT_TRUE(same_display(*desktop, adapter(), where)) << "after Disable: " << where;
        }
    }
    // A chip of no family: only the blank and unblank steps.
    testing::reset_world("vga", {800, 600, 16});
    const auto before = std::make_unique<sim::AdapterState>(adapter());
    test_switch(7);
    test_restore();
    EXPECT_TRUE(same_display(*before, adapter(), where)) << where;
}

TEST_F(DiagnosisTest, TestAsksAgainOnlyAfterATimeOutAndRetry) {
    g_shared.test_frequency = 6;
    script.pass_fail = {kPassTimeout, kPassTimeout};
    script.fail_confirm = {kConfirmRetry, kConfirmNo};
    g_shared.current_table.status[6] = 1;
    run_test(dialogs());
    EXPECT_EQ(script.tested, (std::vector<std::int32_t>{6, 6}));
    EXPECT_EQ(g_shared.current_table.status[6], 0);

    script = Script{{kPassYes}, {}, {}};
    run_test(dialogs());
    EXPECT_EQ(script.tested.size(), 1u);
    EXPECT_EQ(g_shared.current_table.status[6], 1);
    // Abort outside "Test all" ends the test like any other answer.
    script = Script{{kPassAbort}, {}, {}};
    run_test(dialogs());
    EXPECT_EQ(script.tested.size(), 1u);
    EXPECT_EQ(g_shared.current_table.status[6], 1);
    // A PASSFAIL that cannot be shown ends the test.
    script = Script{{-1}, {}, {}};
    run_test(dialogs());
    EXPECT_EQ(script.next_confirm, 0u);
}

// Neither an index outside the table nor one without timing or clock is put
// on the screen.
TEST_F(DiagnosisTest, AFrequencyThatCannotBeProgrammedIsNotTested) {
    for (std::int32_t bad : {-1, 10, 20, 1000}) {
        g_shared.test_frequency = bad;
        script = Script{{kPassYes}, {}, {}};
        run_test(dialogs());
        EXPECT_TRUE(script.tested.empty()) << bad;
        record_answer(1); // nothing outside the table is written
    }
    EXPECT_FALSE(set_default(state));

    g_shared.current_table.blocks[7] = TimingBlock{};
    g_shared.test_frequency = 7;
    script = Script{{kPassYes}, {}, {}};
    run_test(dialogs());
    run_test_all(state, dialogs());
    EXPECT_EQ(script.tested, (std::vector<std::int32_t>{3, 4, 5, 6, 8, 9}));
    g_shared.current_frequency = 7; // and not over a block without timing
    script = Script{{}, {}, {}};
    run_test_all(state, dialogs());
    EXPECT_TRUE(script.tested.empty());

    // The ET6000 800x600 clock table has no 75-85 Hz.
    testing::reset_world("et6000", {800, 600, 16});
    g_shared.chip_code = 0x501;
    load_timing_tables();
    g_shared.current_frequency = 5;
    const auto desktop = std::make_unique<sim::AdapterState>(a());
    g_shared.test_frequency = 1;
    script = Script{{kPassYes}, {}, {}};
    run_test(dialogs());
    EXPECT_TRUE(script.tested.empty());
    std::string where;
    EXPECT_TRUE(same_display(*desktop, a(), where)) << where;
}

TEST_F(DiagnosisTest, TestAllRunsNinetyToOneHundredTwentyUntilAborted) {
    script.pass_fail = {kPassYes, kPassNo, kPassTimeout, kPassTimeout, kPassYes, kPassTimeout, kPassYes, kPassNo};
    script.fail_confirm = {kConfirmRetry, kConfirmYes};
    run_test_all(state, dialogs());
    EXPECT_EQ(script.tested, (std::vector<std::int32_t>{3, 4, 5, 5, 6, 7, 8, 9}));
    EXPECT_EQ(g_shared.test_frequency, 9);
    EXPECT_FALSE(state.test_all);
    EXPECT_FALSE(script.confirmed_on_stereo) << "FAILCONFIRM asks on the restored screen";
    const std::int32_t expected[10] = {0, 0, 0, 1, 0, 1, 1, 0, 1, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(g_shared.current_table.status[i], expected[i]) << i;

    script = Script{{kPassYes, kPassAbort}, {}, {}};
    run_test_all(state, dialogs());
    EXPECT_EQ(script.tested, (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(g_shared.test_frequency, 4);
}

// An answer dialog that cannot be shown: the display is restored all the
// same; without PASSFAIL the run stops, without FAILCONFIRM the frequency
// stays unanswered and is not tested again.
TEST_F(DiagnosisTest, AnAnswerDialogThatCannotBeShownStillGetsTheDisplayBackAndEndsItsTest) {
    const auto desktop = std::make_unique<sim::AdapterState>(a());
    std::string where;
    script.pass_fail = {kNoDialog, kPassYes};
    run_test_all(state, dialogs());
    EXPECT_EQ(script.tested, (std::vector<std::int32_t>{3}));
    EXPECT_TRUE(same_display(*desktop, a(), where)) << where;

    g_shared.test_frequency = 6;
    g_shared.current_table.status[6] = 1;
    script = Script{{kPassTimeout, kPassNo}, {kNoDialog}, {}};
    run_test(dialogs());
    EXPECT_EQ(script.tested, (std::vector<std::int32_t>{6}));
    EXPECT_EQ(script.next_confirm, 1u);
    EXPECT_EQ(g_shared.current_table.status[6], 1) << "no answer recorded";
    EXPECT_TRUE(same_display(*desktop, a(), where)) << where;

    script = Script{{kPassTimeout, kPassNo}, {kNoDialog}, {}};
    run_test_all(state, dialogs());
    EXPECT_EQ(script.tested, (std::vector<std::int32_t>{3, 4, 5, 6, 7, 8, 9})) << "Test all goes on";
    EXPECT_EQ(g_shared.current_table.status[3], 0) << "left as it was";
    EXPECT_EQ(g_shared.stereo, 0);
    EXPECT_TRUE(same_display(*desktop, a(), where)) << where;
}

TEST_F(DiagnosisTest, SetDefaultNeedsAnAvailableFrequencyAndCloseTellsEveryHost) {
    g_shared.current_table.default_frequency = 3;
    diagnosis_open(state);
    g_shared.test_frequency = 7;
    EXPECT_FALSE(set_default(state));
    EXPECT_EQ(state.pending_default, 3);
    g_shared.current_table.status[7] = 2; // any non-zero entry is accepted
    EXPECT_TRUE(set_default(state));
    EXPECT_EQ(state.pending_default, 7);
    EXPECT_EQ(g_shared.current_table.default_frequency, 3) << "only Close sets the default";

    g_shared.current_table.status[4] = 1;
    g_shared.current_table.status[9] = 1;
    g_shared.current_table.status[12] = 1; // beyond the ten frequencies
    g_shared.clients[0].host_window = 0;
    g_shared.clients[2].host_window = 0x200;
    g_shared.clients[5].host_window = 0x500;
    testing::fake().posted.clear();
    diagnosis_close(state);
    EXPECT_EQ(g_shared.current_table.default_frequency, 7);
    const std::vector<testing::PostedMessage> expected = {
        {0x200, kNotifyMessage, 604, 0x210}, {0x200, kNotifyMessage, 608, 7},
        {0x500, kNotifyMessage, 604, 0x210}, {0x500, kNotifyMessage, 608, 7}};
    EXPECT_EQ(testing::fake().posted, expected);
}

} // namespace
} // namespace duo
