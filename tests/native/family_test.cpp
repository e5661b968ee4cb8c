// Family register operations at the register level, on the plain VGA model
// (every register holds what is written), so each byte the family code
// moves can be checked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "lib/core/state.h"
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"
#include "tests/native/fake_platform.h"

namespace duo {
namespace {

class FamilyTest : public ::testing::Test {
protected:
    void SetUp() override { testing::reset_world("vga", {800, 600, 16}); }
    sim::AdapterState& adapter() { return *testing::fake().adapter; }
    TimingBlock block_with_offset(std::uint8_t offset, std::uint8_t ext1 = 0, std::uint8_t ext2 = 0) {
        TimingBlock b{};
        for (int i = 0; i < 25; ++i) b.bytes[i] = adapter().crtc[i];
        b.bytes[0x11] &= 0x7F;
        b.bytes[kBlockOffset] = offset;
        b.bytes[kBlockExt1] = ext1;
        b.bytes[kBlockExt2] = ext2;
        return b;
    }
    int eye_shift_after_write(std::int32_t chip, int depth, int width, const TimingBlock& b) {
        g_shared.chip_code = chip;
        g_shared.colour_depth = depth;
        g_shared.display_width = width;
        family_ops(chip)->open_step();
        family_ops(chip)->timing_write(b);
        return g_shared.eye_shift;
    }
};

TEST_F(FamilyTest, TridentEyeShiftIsHalvedExceptAt15BitsAndOnThe9440At1024In16Bits) {
    TimingBlock b = block_with_offset(0x80, 0x10); // offset 0x180
    EXPECT_EQ(eye_shift_after_write(0x101, 16, 1024, b), 0x180);
    EXPECT_EQ(eye_shift_after_write(0x101, 16, 800, b), 0xC0);
    EXPECT_EQ(eye_shift_after_write(0x103, 16, 1024, b), 0xC0);
    EXPECT_EQ(eye_shift_after_write(0x103, 15, 800, b), 0x180);
    EXPECT_EQ(eye_shift_after_write(0x103, 8, 800, b), 0xC0);
    EXPECT_EQ(eye_shift_after_write(0x103, 24, 640, b), 0xC0);
    // CRTC 0x29 bit 5 is offset bit 9 on the 96xx only; on the 9440 it is a
    // DDC line, neither read into the offset nor written.
    b = block_with_offset(0x80, 0x30);
    EXPECT_EQ(eye_shift_after_write(0x103, 8, 800, b), 0x1C0);
    adapter().crtc[0x29] = 0x00;
    EXPECT_EQ(eye_shift_after_write(0x101, 8, 800, b), 0xC0);
    EXPECT_EQ(adapter().crtc[0x29], 0x10);
}

TEST_F(FamilyTest, Mach64EyeShiftFollowsTheDepth) {
    TimingBlock b = block_with_offset(0x50, 0);
    EXPECT_EQ(eye_shift_after_write(0x401, 24, 800, b), 120);
    EXPECT_EQ(eye_shift_after_write(0x401, 8, 800, b), 0x28);
    EXPECT_EQ(eye_shift_after_write(0x401, 16, 800, b), 0x50);
    b.bytes[kBlockExt1] = 0x02;
    EXPECT_EQ(eye_shift_after_write(0x401, 15, 800, b), 0x250);
}

// The mach64 keeps the desktop's PLL reference divider M (the memory clock
// shares it): a table clock, worked out for M = 0x2D, keeps its frequency
// 2 R N / (M P) to within the feedback divider's rounding, with N where the
// PLL runs cleanly (128-255) unless the post-divider is at an end.
TEST(Mach64Clock, TableClocksKeepTheirFrequencyOnTheDesktopsReferenceDivider) {
    for (int m = 0x18; m <= 0x5A; ++m)
        for (int post = 1; post <= 3; ++post)
            for (int n = 128; n <= 255; ++n) {
                const ClockSetting table{{static_cast<std::uint8_t>(post), static_cast<std::uint8_t>(n), 0}};
                const ClockSetting out = family::mach64_for_reference_divider(table, m);
                SCOPED_TRACE(std::to_string(m) + " " + std::to_string(post) + " " + std::to_string(n));
                ASSERT_LE(out.b[0], 3);
                ASSERT_GE(out.b[1], 1);
                EXPECT_EQ(out.b[2], 0);
                if (out.b[0] != 0 && out.b[0] != 3) {
                    EXPECT_GE(out.b[1], 128);
                }
                const double wanted = static_cast<double>(n) / (0x2D << post);
                const double got = static_cast<double>(out.b[1]) / (m << out.b[0]);
                EXPECT_LE(std::abs(got / wanted - 1.0), 0.5 / (out.b[1] - 0.5) + 1e-9) << "half a feedback step";
                if (m == 0x2D) {
                    EXPECT_EQ(std::memcmp(out.b, table.b, 3), 0) << "the tables' own divider";
                }
            }
}

TEST_F(FamilyTest, OtherFamiliesTakeTheirOffsetHighBits) {
    TimingBlock b = block_with_offset(0x40);
    b.bytes[kBlockS3ExtMode] = 0x30;
    EXPECT_EQ(eye_shift_after_write(0x203, 8, 800, b), 0x340);
    b = block_with_offset(0x40, 0x10);
    EXPECT_EQ(eye_shift_after_write(0x301, 8, 800, b), 0x140);
    // ET6000 CRTC 0x3F: bit 7 is offset bit 8, bit 6 offset bit 9; the tuned
    // 800x600 24-bit record is 300 units (800 pixels of 3 bytes).
    b = block_with_offset(0x2C, 0x00, 0x80);
    EXPECT_EQ(eye_shift_after_write(0x501, 24, 800, b), 300);
    b.bytes[kBlockExt2] = 0x40;
    EXPECT_EQ(eye_shift_after_write(0x501, 8, 800, b), 0x22C);
    b.bytes[kBlockExt2] = 0xC0;
    EXPECT_EQ(eye_shift_after_write(0x501, 8, 800, b), 0x32C);
}

TEST_F(FamilyTest, CirrusClockSettingBytesDependOnTheChip) {
    adapter().misc_output = 0x08 | 0x03; // VCLK2
    adapter().seq[0x0B] = 0x11, adapter().seq[0x0D] = 0x22;
    adapter().seq[0x1B] = 0x33, adapter().seq[0x1D] = 0x44;
    ClockSetting s{};
    g_shared.chip_code = 0x304;
    family_ops(0x304)->clock_read(s);
    EXPECT_EQ(s.b[0], 0x44) << "denominator of the clock in use first";
    EXPECT_EQ(s.b[1], 0x22);
    EXPECT_EQ(s.b[2], 0x0B);
    // The others keep the desktop's clock, the one misc selects, numerator
    // first (not VCLK0, which display drivers leave alone).
    g_shared.chip_code = 0x302;
    family_ops(0x302)->clock_read(s);
    EXPECT_EQ(s.b[0], 0x22);
    EXPECT_EQ(s.b[1], 0x44);
    EXPECT_EQ(s.b[2], 0x0B);

    // The 0x304 writes the clock registers of the clock its misc byte selects.
    g_shared.chip_code = 0x304;
    family_ops(0x304)->clock_write(ClockSetting{{0x5A, 0x6B, 0x0F}});
    EXPECT_EQ(adapter().misc_output, 0x0F);
    EXPECT_EQ(adapter().seq[0x0E], 0x6B);
    EXPECT_EQ(adapter().seq[0x1E], 0x5A);
    EXPECT_EQ(adapter().seq[0x0B], 0x11) << "other clocks untouched";
}

TEST_F(FamilyTest, BlankAndUnblankComeInPairsAndLeaveTheSequencerAsItWas) {
    for (std::int32_t chip : {0x101, 0x203, 0x301, 0x401, 0x501}) {
        g_shared.chip_code = chip;
        const std::uint8_t seq0 = adapter().seq[0x00], seq1 = adapter().seq[0x01];
        screen_blank_step();
        if (chip != 0x401) {
            EXPECT_TRUE(adapter().seq[0x01] & 0x20) << std::hex << chip;
        }
        screen_unblank_step();
        EXPECT_EQ(adapter().seq[0x00], seq0 | 0x03) << std::hex << chip;
        EXPECT_EQ(adapter().seq[0x01], seq1) << std::hex << chip;
    }
}

TEST_F(FamilyTest, ClockSelectRestoreTouchesOnlyBits2And3) {
    adapter().misc_output = 0xE7;
    clock_select_save();
    adapter().misc_output = 0x2B;
    clock_select_restore();
    EXPECT_EQ(adapter().misc_output, 0x27);
}

TEST_F(FamilyTest, EnterThenLeaveRestoresEveryTimingRegister) {
    for (std::int32_t chip : {0x101, 0x203, 0x301, 0x401, 0x501}) {
        testing::reset_world("vga", {800, 600, 16});
        g_shared.chip_code = chip;
        const FamilyOps& ops = *family_ops(chip);
        ops.open_step();
        const sim::AdapterState before = adapter();
        TimingBlock saved{};
        ops.save_step(saved);
        // Extension bytes within the bits every family writes back in full.
        TimingBlock stereo = block_with_offset(0x33, 0x10, 0xC0);
        for (int i = 0; i < 25; ++i) stereo.bytes[i] ^= 0x5A;
        stereo.bytes[0x11] &= 0x7F;
        ops.enter_step(stereo);
        g_shared.stereo = 1;
        ops.enter_step(stereo); // a resume while on
        ops.leave_step(saved);
        for (int i = 0; i < 256; ++i) EXPECT_EQ(adapter().crtc[i], before.crtc[i]) << std::hex << chip << " CR" << i;
        for (int i = 0; i < 0x10000; ++i) {
            if (adapter().ports[i] != before.ports[i]) ADD_FAILURE() << std::hex << chip << " port " << i;
        }
    }
}

} // namespace
} // namespace duo
