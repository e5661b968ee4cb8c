// Malformed control calls must be refused by the simulated driver, never
// read or write outside the caller's buffers or the register files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

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

// A request as the driver's layout gives it, byte by byte: 32-bit
// little-endian fields, then for the block codes the buffer address,
// pointer-sized, at byte 12.
struct Raw {
    std::vector<std::uint8_t> bytes;
    Raw(std::initializer_list<std::uint32_t> values) {
        for (std::uint32_t v : values)
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    Raw& address(const void* p) {
        const auto a = reinterpret_cast<std::uintptr_t>(p);
        for (std::size_t i = 0; i < sizeof p; ++i) bytes.push_back(static_cast<std::uint8_t>(a >> (8 * i)));
        return *this;
    }
    std::uint32_t size() const { return static_cast<std::uint32_t>(bytes.size()); }
};

TEST_F(SimDispatchTest, RawRequestsAreReadAtTheirDocumentedOffsets) {
    std::uint8_t out[16];
    auto call = [&](std::uint32_t code, const Raw& r, std::uint32_t out_size = 0) {
        std::fill(std::begin(out), std::end(out), 0xEE);
        return dispatch(*state, code, r.bytes.data(), r.size(), out_size ? out : nullptr, out_size);
    };
    // Write port 0x3C2 = 0xE7 (the upper bytes of the value are dropped), read it at 0x3CC.
    ASSERT_TRUE(call(2, Raw{0x3C2, 0x55AA00E7}));
    EXPECT_EQ(state->misc_output, 0xE7);
    ASSERT_TRUE(call(1, Raw{0x3CC}, 4));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 5), (std::vector<std::uint8_t>{0xE7, 0, 0, 0, 0xEE}));
    ASSERT_TRUE(call(4, Raw{0x3D4, 0x13, 0x5A}));
    EXPECT_EQ(state->crtc[0x13], 0x5A);
    ASSERT_TRUE(call(3, Raw{0x3D4, 0x13}, 4));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 4), (std::vector<std::uint8_t>{0x5A, 0, 0, 0}));

    std::uint8_t regs[4] = {0x11, 0x22, 0x33, 0x44};
    ASSERT_TRUE(call(6, Raw{0x3D4, 0x14, 4}.address(regs)));
    EXPECT_EQ(state->crtc[0x14], 0x11);
    EXPECT_EQ(state->crtc[0x17], 0x44);
    std::uint8_t back[4] = {};
    Raw read{0x3D4, 0x14, 4};
    read.address(back);
    ASSERT_TRUE(call(5, read));
    EXPECT_EQ(0, std::memcmp(back, regs, sizeof regs));
    read.bytes.pop_back();
    EXPECT_FALSE(call(5, read)) << "a block request without the whole address";

    // The clock codes, each on its chip.
    power_on(*state, *find_adapter("trident-9680"), {640, 480, 8}, 0);
    state->seq[0x0E] = 0x80; // extended registers writable
    ASSERT_TRUE(call(7, Raw{0x9B, 0x1C, 0x01}));
    EXPECT_EQ(state->ports[0x43C8], 0x9B);
    EXPECT_EQ(state->ports[0x43C9], 0x1C);
    EXPECT_EQ(state->seq[0x0D] & 0x06, 0x02);
    EXPECT_FALSE(call(7, Raw{0x9B, 0x1C})) << "three fields";

    power_on(*state, *find_adapter("s3-765"), {640, 480, 8}, 0);
    ASSERT_TRUE(call(8, Raw{0x61, 0x1E, 0}));
    EXPECT_EQ(state->seq[0x12], 0x61);
    EXPECT_EQ(state->seq[0x13], 0x1E);

    power_on(*state, *find_adapter("s3-868"), {640, 480, 8}, 0);
    ASSERT_TRUE(call(9, Raw{0x42, 0x2A, 0}));
    ASSERT_TRUE(call(10, Raw{}, 8));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 9), (std::vector<std::uint8_t>{0x42, 0, 0, 0, 0x2A, 0, 0, 0, 0xEE}));

    power_on(*state, *find_adapter("cirrus-543x"), {640, 480, 8}, 0);
    state->seq[0x06] = 0x12;
    ASSERT_TRUE(call(11, Raw{0x4A, 0x2B, 0}));
    EXPECT_EQ(state->seq[0x0B], 0x4A);
    EXPECT_EQ(state->seq[0x1B], 0x2B);

    power_on(*state, *find_adapter("et6000"), {640, 480, 8}, 0);
    const std::uint32_t base = state->io_base;
    ASSERT_TRUE(call(13, Raw{base, 0x3C, 0x45, 0}));
    ASSERT_TRUE(call(12, Raw{base, 0}, 12));
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 13),
              (std::vector<std::uint8_t>{0x3C, 0, 0, 0, 0x45, 0, 0, 0, 0, 0, 0, 0, 0xEE}));
    EXPECT_FALSE(call(12, Raw{base + 0x100, 0}, 12)) << "another base port";
}

TEST_F(SimDispatchTest, UnknownCodesFail) {
    std::uint32_t in[4] = {};
    for (std::uint32_t code : {0u, 14u, 100u, 0xFFFFFFFFu})
        EXPECT_FALSE(dispatch(*state, code, in, sizeof in, in, sizeof in)) << code;
}

} // namespace
} // namespace duo::sim
