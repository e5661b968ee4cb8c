// Malformed control calls must be refused by the simulated driver, never
// read or write outside the caller's buffers or the register files.
#include <gtest/gtest.h>

#include <memory>

#include "lib/hw/driver_protocol.h"
#include "sim/driver_dispatch.h"

namespace duo::sim {
namespace {

class SimDispatchTest : public ::testing::Test {
protected:
    void SetUp() override { power_on(*state, *find_adapter("vga"), {640, 480, 8}); }
    std::unique_ptr<AdapterState> state = std::make_unique<AdapterState>();
};

TEST_F(SimDispatchTest, ShortOrMissingBuffersAreRefused) {
    driver::ReadReply out{};
    driver::PortRequest port{0x3CC};
    EXPECT_FALSE(dispatch(*state, driver::kReadPort, &port, 2, &out, sizeof out));
    EXPECT_FALSE(dispatch(*state, driver::kReadPort, nullptr, 4, &out, sizeof out));
    EXPECT_FALSE(dispatch(*state, driver::kReadPort, &port, sizeof port, &out, 3));
    EXPECT_FALSE(dispatch(*state, driver::kReadPort, &port, sizeof port, nullptr, 4));
    driver::IndexWriteRequest write{0x3D4, 0x13, 0x99};
    EXPECT_FALSE(dispatch(*state, driver::kWriteIndexReg, &write, 8, nullptr, 0));
    EXPECT_NE(state->crtc[0x13], 0x99);
    EXPECT_TRUE(dispatch(*state, driver::kWriteIndexReg, &write, sizeof write, nullptr, 0));
    EXPECT_EQ(state->crtc[0x13], 0x99);
}

TEST_F(SimDispatchTest, BlockRunsPastIndexFFOrWithoutBufferAreRefused) {
    std::uint8_t buffer[512] = {};
    driver::BlockRequest r{0x3D4, 0xF0, 0x11, reinterpret_cast<std::uintptr_t>(buffer)};
    EXPECT_FALSE(dispatch(*state, driver::kReadRegBlock, &r, sizeof r, nullptr, 0));
    r.count = 0x10;
    EXPECT_TRUE(dispatch(*state, driver::kReadRegBlock, &r, sizeof r, nullptr, 0));
    r.first_index = 0x100;
    r.count = 0;
    EXPECT_FALSE(dispatch(*state, driver::kWriteRegBlock, &r, sizeof r, nullptr, 0));
    r = {0x3D4, 0, 25, 0};
    EXPECT_FALSE(dispatch(*state, driver::kWriteRegBlock, &r, sizeof r, nullptr, 0));
    r.count = 0xFFFFFFFF;
    r.buffer = reinterpret_cast<std::uintptr_t>(buffer);
    EXPECT_FALSE(dispatch(*state, driver::kReadRegBlock, &r, sizeof r, nullptr, 0));
}

TEST_F(SimDispatchTest, UnknownCodesFail) {
    std::uint32_t in[4] = {};
    for (std::uint32_t code : {0u, 14u, 100u, 0xFFFFFFFFu})
        EXPECT_FALSE(dispatch(*state, code, in, sizeof in, in, sizeof in)) << code;
}

} // namespace
} // namespace duo::sim
