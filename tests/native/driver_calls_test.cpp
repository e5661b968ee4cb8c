// Each export costs exactly the driver calls of its register sequence: no
// read or write more. A blank/unblank pair is 2 + 2 calls (3 + 3 on the
// mach64); the counts per family follow from the family operations.
#include <gtest/gtest.h>

#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "tests/native/fake_platform.h"

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
    // Cirrus: clock read 3, clock write 2, save 3, enter 7 (6), leave 5.
    {0x302, 20, 13, 12, 2, 4},
    // mach64: clock read 5, clock write 9, save 3, enter 5, leave 4, restore 7.
    {0x401, 29, 19, 22, 9, 4},
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
        testing::reset_world(name, {800, 600, 16});
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

} // namespace
} // namespace duo
