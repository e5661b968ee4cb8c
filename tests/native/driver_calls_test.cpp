// Each export costs exactly the driver calls of its register sequence: no
// read or write more. A blank/unblank pair is 2 + 2 calls (3 + 3 on the
// mach64); the counts per family follow from the family operations.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "lib/hw/port_io.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_registry.h"

namespace duo {
namespace {

struct Expected {
    std::int32_t chip;
    std::size_t enable, disable, resume, frequency, switch_glasses;
};

constexpr Expected kExpected[] = {
    // Trident: clock read 3, clock write 1, save 3, enter 7 (6 when on), leave 5.
    {0x103, 19, 12, 11, 1, 4},
    // S3: unlock 6, clock read 3, clock write 2, save 11, enter 12, leave 11.
    {0x203, 33, 19, 18, 2, 4},
    // Cirrus: clock read 3, clock write 2, save 3, enter 8 (7), leave 6.
    {0x302, 21, 14, 13, 2, 4},
    // mach64 (its VGA CRTC): clock read 5, clock write 12 (with the sequencer
    // reset), save 4, enter 6, leave 5, restore 10; each step asks which CRTC
    // drives the display.
    {0x401, 34, 23, 26, 12, 5},
    // ET6000: clock read 1, clock write 1, save 3, enter 10 (9), leave 8.
    {0x501, 20, 15, 18, 1, 4},
};

std::size_t calls_of(void (*op)()) {
    testing::fake().driver_calls.clear();
    op();
    return testing::fake().driver_calls.size();
}

TEST(DriverCalls, EveryExportIssuesExactlyItsSequence) {
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(std::to_string(e.chip));
        const char* name = testing::adapter_for_chip(e.chip);
        ASSERT_NE(name, nullptr);
        // The mach64 desktop on its VGA CRTC: above 640x480x8 it runs on the
        // accelerator CRTC.
        testing::reset_world(name, family_of(e.chip) == kMach64 ? sim::DesktopMode{640, 480, 8}
                                                                 : sim::DesktopMode{800, 600, 16});
        // The registry lists a PCI mach64's block I/O range.
        testing::reset_registry();
        testing::list_adapter(*sim::find_adapter(name));
        g_process.driver = 0;
        ASSERT_EQ(init_library(0x100), 1);
        EXPECT_EQ(calls_of([] { enable_stereo(0, 5); }), e.enable);
        EXPECT_EQ(calls_of([] { switch_glasses(); }), e.switch_glasses);
        EXPECT_EQ(calls_of([] { switch_glasses(); }), e.switch_glasses);
        EXPECT_EQ(calls_of([] { resume_stereo(); }), e.resume);
        EXPECT_EQ(calls_of([] { set_frequency(7); }), e.frequency);
        EXPECT_EQ(calls_of([] { disable_stereo(0); }), e.disable);
        EXPECT_EQ(calls_of([] { disable_stereo(0); }), 0u) << "stereo off: no register is touched";
        EXPECT_EQ(calls_of([] { enable_stereo(0, 5); enable_stereo(0, 6); }), e.enable) << "second enable: nothing";
    }
}

// The bytes each driver call carries, against the driver's documented
// layout: 32-bit little-endian fields, byte values zero-extended, the block
// calls' buffer address pointer-sized at byte 12 with no padding before it.
std::vector<std::uint8_t> fields(std::initializer_list<std::uint32_t> values) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t v : values)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return out;
}

TEST(DriverCalls, RequestsCarryTheDocumentedBytes) {
    testing::reset_world("vga", {640, 480, 8});
    const auto& sent = testing::fake().last_request;
    const auto& codes = testing::fake().driver_calls;
    Read_Port(0x3CC);
    EXPECT_EQ(codes.back(), 1u);
    EXPECT_EQ(sent, fields({0x3CC}));
    Write_Port(0x3C2, 0xE7);
    EXPECT_EQ(codes.back(), 2u);
    EXPECT_EQ(sent, fields({0x3C2, 0xE7}));
    Read_Index_Reg(0x3D4, 0x13);
    EXPECT_EQ(codes.back(), 3u);
    EXPECT_EQ(sent, fields({0x3D4, 0x13}));
    Write_Index_Reg(0x3C4, 0x0E, 0x82);
    EXPECT_EQ(codes.back(), 4u);
    EXPECT_EQ(sent, fields({0x3C4, 0x0E, 0x82}));

    std::uint8_t buffer[25] = {};
    std::vector<std::uint8_t> block = fields({0x3D4, 0x02, 4});
    const auto address = reinterpret_cast<std::uintptr_t>(buffer);
    for (std::size_t i = 0; i < sizeof(void*); ++i) block.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
    Read_Reg_Block(0x3D4, 0x02, 4, buffer);
    EXPECT_EQ(codes.back(), 5u);
    EXPECT_EQ(sent, block);
    Write_Reg_Block(0x3D4, 0x02, 4, buffer);
    EXPECT_EQ(codes.back(), 6u);
    EXPECT_EQ(sent, block);

    Set_Trident_Clock(0x9B, 0x1C, 0x02);
    EXPECT_EQ(codes.back(), 7u);
    EXPECT_EQ(sent, fields({0x9B, 0x1C, 0x02}));
    Set_S3_Clock(0x61, 0x1E);
    EXPECT_EQ(codes.back(), 8u);
    EXPECT_EQ(sent, fields({0x61, 0x1E, 0}));
    Set_S3_Dac_Clock(0x42, 0x2A);
    EXPECT_EQ(codes.back(), 9u);
    EXPECT_EQ(sent, fields({0x42, 0x2A, 0}));
    std::uint8_t b0 = 0, b1 = 0;
    Get_S3_Dac_Clock(b0, b1);
    EXPECT_EQ(codes.back(), 10u);
    EXPECT_TRUE(sent.empty());
    Set_Cirrus_Clock(0x4A, 0x2B);
    EXPECT_EQ(codes.back(), 11u);
    EXPECT_EQ(sent, fields({0x4A, 0x2B, 0}));
    Get_Et6000_Clock(0xE800, b0, b1);
    EXPECT_EQ(codes.back(), 12u);
    EXPECT_EQ(sent, fields({0xE800, 0}));
    Set_Et6000_Clock(0xE800, 0x3C, 0x45);
    EXPECT_EQ(codes.back(), 13u);
    EXPECT_EQ(sent, fields({0xE800, 0x3C, 0x45, 0}));
}

} // namespace
} // namespace duo
