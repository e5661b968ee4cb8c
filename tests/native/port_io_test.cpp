// The driver operations as the library issues them, checked at the simulated
// adapter's registers.
#include <gtest/gtest.h>

#include "lib/core/platform.h"
#include "lib/core/state.h"
#include "lib/hw/driver_protocol.h"
#include "lib/hw/port_io.h"
#include "tests/native/fake_platform.h"

namespace duo {
namespace {

class PortIoTest : public ::testing::Test {
protected:
    void SetUp() override { testing::reset_world(); }
    sim::AdapterState& adapter() { return *testing::fake().adapter; }
};

TEST_F(PortIoTest, IndexedRegistersReachTheirRegisterFiles) {
    Write_Index_Reg(kSeqIndex, 0x07, 0x5A);
    Write_Index_Reg(kCrtcIndex, 0x13, 0xA5);
    EXPECT_EQ(adapter().seq[0x07], 0x5A);
    EXPECT_EQ(adapter().crtc[0x13], 0xA5);
    EXPECT_EQ(Read_Index_Reg(kSeqIndex, 0x07), 0x5A);
    EXPECT_EQ(read_crtc(0x13), 0xA5);
    // The index register holds the last index written, as on the hardware.
    EXPECT_EQ(Read_Port(kCrtcIndex), 0x13);
}

TEST_F(PortIoTest, PortWritesAndMiscOutputReadBack) {
    Write_Port(kMiscOutputWrite, 0xEF);
    EXPECT_EQ(Read_Port(kMiscOutputRead), 0xEF);
    Write_Port(0x43C8, 0x12);
    EXPECT_EQ(Read_Port(0x43C8), 0x12);
    // Only the low byte of a value counts.
    Write_Port(0x3D4, 0x11);
    EXPECT_EQ(Read_Port(0x3D4), 0x11);
}

TEST_F(PortIoTest, BlockOperationsMoveCrtc00To18) {
    std::uint8_t image[25];
    for (int i = 0; i < 25; ++i) image[i] = static_cast<std::uint8_t>(0x40 + i);
    crtc_and(0x11, 0x7F); // unprotect 0x00-0x07
    Write_Reg_Block(kCrtcIndex, 0, 25, image);
    for (int i = 0; i < 25; ++i) ASSERT_EQ(adapter().crtc[i], image[i]) << i;
    std::uint8_t back[27] = {};
    back[25] = back[26] = 0xEE; // guard bytes
    Read_Reg_Block(kCrtcIndex, 0, 25, back);
    for (int i = 0; i < 25; ++i) EXPECT_EQ(back[i], image[i]) << i;
    EXPECT_EQ(back[25], 0xEE);
    EXPECT_EQ(back[26], 0xEE);
}

TEST_F(PortIoTest, WriteProtectionGuardsCrtc00To07ExceptLineCompareBit) {
    ASSERT_TRUE(adapter().crtc[0x11] & 0x80) << "adapter starts protected";
    std::uint8_t before[8];
    for (int i = 0; i < 8; ++i) before[i] = adapter().crtc[i];
    for (int i = 0; i < 8; ++i) write_crtc(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(before[i] ^ 0xFF));
    for (int i = 0; i < 7; ++i) EXPECT_EQ(adapter().crtc[i], before[i]) << i;
    EXPECT_EQ(adapter().crtc[7], before[7] ^ 0x10);
    // The block write is subject to the same protection.
    std::uint8_t zeros[25] = {};
    Write_Reg_Block(kCrtcIndex, 0, 8, zeros);
    EXPECT_EQ(adapter().crtc[0], before[0]);
    // CRTC 0x08 and up are never protected.
    write_crtc(0x08, 0x1F);
    EXPECT_EQ(adapter().crtc[0x08], 0x1F);

    crtc_and(0x11, 0x7F);
    write_crtc(0x00, 0x42);
    EXPECT_EQ(adapter().crtc[0], 0x42);
}

TEST_F(PortIoTest, FailedReadsYieldZero) {
    adapter().seq[0x01] = 0x21;
    testing::fake().driver_present = false;
    EXPECT_EQ(read_seq(0x01), 0);
    EXPECT_EQ(Read_Port(kMiscOutputRead), 0);
    std::uint8_t b0 = 9, b1 = 9;
    Get_S3_Dac_Clock(b0, b1);
    EXPECT_EQ(b0, 0);
    EXPECT_EQ(b1, 0);
    Get_Et6000_Clock(0x1000, b0, b1);
    EXPECT_EQ(b0 | b1, 0);

    testing::fake().driver_present = true;
    g_process.driver = 0; // not open in this process
    EXPECT_EQ(read_seq(0x01), 0);
}

TEST_F(PortIoTest, EachOperationIsOneDriverCallWithItsCode) {
    auto& calls = testing::fake().driver_calls;
    calls.clear();
    std::uint8_t buf[4] = {};
    std::uint8_t b0, b1;
    Read_Port(0x3CC);
    Write_Port(0x3C2, 1);
    Read_Index_Reg(kSeqIndex, 1);
    Write_Index_Reg(kSeqIndex, 1, 1);
    Read_Reg_Block(kCrtcIndex, 2, 4, buf);
    Write_Reg_Block(kCrtcIndex, 2, 4, buf);
    Set_Trident_Clock(1, 2, 3);
    Set_S3_Clock(1, 2);
    Set_S3_Dac_Clock(1, 2);
    Get_S3_Dac_Clock(b0, b1);
    Set_Cirrus_Clock(1, 2);
    Get_Et6000_Clock(0x1000, b0, b1);
    Set_Et6000_Clock(0x1000, 1, 2);
    std::vector<std::uint32_t> expected{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    EXPECT_EQ(calls, expected);
}

// Only the Windows 95 family's answers let the library execute IN and OUT:
// GetVersion of Windows 95, 98, ME, NT 4, 2000, XP, and Win32s (bit 31 set,
// but platform id 0).
TEST(OwnPorts, OnlyAWindows95FamilyAnswerAllowsPortInstructions) {
    struct Answer {
        std::uint32_t version;
        std::int32_t platform_id;
        bool allowed;
    } answers[] = {{0xC3B60004, 1, true},  {0xC0000A04, 1, true},  {0xC0005A04, 1, true}, {0xC3B60004, -1, true},
                   {0x05650004, 2, false}, {0x08930005, 2, false}, {0x0A280105, 2, false}, {0x05650004, -1, false},
                   {0x80000B03, 0, false}};
    for (const Answer& a : answers)
        EXPECT_EQ(platform::windows95_family(a.version, a.platform_id), a.allowed) << std::hex << a.version;
}

// Through the library's own port access every operation leaves the
// sequencer, CRTC and graphics index registers as it found them, and no
// driver call is made.
TEST_F(PortIoTest, OwnPortsGiveTheIndexRegistersBackAndCallNoDriver) {
    for (const char* name : {"trident-9680", "s3-765", "s3-868", "cirrus-543x", "et6000"}) {
        SCOPED_TRACE(name);
        testing::reset_world(name);
        g_process.driver = platform::kOwnPorts;
        Write_Port(kSeqIndex, 0x1F);
        Write_Port(kCrtcIndex, 0x2C);
        Write_Port(0x3CE, 0x06);
        Write_Port(0x3C8, 0x40);
        std::uint8_t block[25], b0 = 0, b1 = 0;
        Read_Reg_Block(kCrtcIndex, 0, 25, block);
        Write_Reg_Block(kCrtcIndex, 0, 25, block);
        write_seq(0x07, read_seq(0x07));
        Write_Index_Reg(0x3CE, 0x05, Read_Index_Reg(0x3CE, 0x05));
        Set_Trident_Clock(0x44, 0x12, 1);
        Set_S3_Clock(0x42, 0x55);
        Set_S3_Dac_Clock(0x42, 0x55);
        Get_S3_Dac_Clock(b0, b1);
        Set_Cirrus_Clock(0x4A, 0x2B);
        Set_Et6000_Clock(0xE800, 0x21, 0x25);
        Get_Et6000_Clock(0xE800, b0, b1);
        EXPECT_EQ(Read_Port(kSeqIndex), 0x1F);
        EXPECT_EQ(Read_Port(kCrtcIndex), 0x2C);
        EXPECT_EQ(Read_Port(0x3CE), 0x06);
        EXPECT_EQ(Read_Port(0x3C8), 0x40) << "the palette write index";
        EXPECT_TRUE(testing::fake().driver_calls.empty());
    }
}

} // namespace
} // namespace duo
