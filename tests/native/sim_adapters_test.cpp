// The simulated adapters' catalog and the register locks of each chip family,
// seen through the port model as the driver reaches it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "lib/hw/hardware_key.h"
#include "sim/adapter.h"
#include "sim/monitor.h"

namespace duo::sim {
namespace {

constexpr std::uint32_t kSeq = 0x3C4, kCrtc = 0x3D4;

class SimAdapter : public ::testing::Test {
protected:
    AdapterState& power(const char* name) {
        const AdapterModel* model = find_adapter(name);
        EXPECT_NE(model, nullptr) << name;
        if (model) power_on(*state, *model, {800, 600, 16});
        return *state;
    }
    std::uint8_t seq(std::uint8_t i) { return index_read(*state, kSeq, i); }
    std::uint8_t crtc(std::uint8_t i) { return index_read(*state, kCrtc, i); }
    void set_seq(std::uint8_t i, std::uint8_t v) { index_write(*state, kSeq, i, v); }
    void set_crtc(std::uint8_t i, std::uint8_t v) { index_write(*state, kCrtc, i, v); }
    std::unique_ptr<AdapterState> state = std::make_unique<AdapterState>();
};

TEST(SimCatalog, EveryDetectableChipHasAnAdapterAndNamesAreUnique) {
    int count = 0;
    const AdapterModel* models = adapter_models(count);
    std::set<std::string> names;
    std::set<std::int32_t> chips;
    for (int i = 0; i < count; ++i) {
        EXPECT_LT(std::strlen(models[i].name), sizeof AdapterState{}.adapter_name) << models[i].name;
        EXPECT_TRUE(names.insert(models[i].name).second) << models[i].name;
        EXPECT_EQ(find_adapter(models[i].name), &models[i]);
        chips.insert(models[i].expected_chip);
    }
    const std::set<std::int32_t> detectable = {0,     0x101, 0x103, 0x105, 0x201, 0x202, 0x203, 0x204, 0x205, 0x206,
                                               0x207, 0x301, 0x302, 0x303, 0x304, 0x401, 0x402, 0x501};
    EXPECT_EQ(chips, detectable);
    EXPECT_EQ(find_adapter("vga")->expected_chip, 0);
    EXPECT_EQ(find_adapter("s3-765")->expected_chip, 0x203);
    EXPECT_EQ(find_adapter("no-such-card"), nullptr);
}

TEST(SimCatalog, HardwareKeysOfListedPciCardsOnly) {
    int count = 0;
    const AdapterModel* models = adapter_models(count);
    for (int i = 0; i < count; ++i) {
        const AdapterModel& m = models[i];
        char value[260];
        const std::size_t n = hardware_key(m, value, sizeof value);
        EXPECT_EQ(n, std::strlen(value)) << m.name;
        if (!m.pci.listed || m.pci.vendor == 0) {
            EXPECT_EQ(n, 0u) << m.name;
            continue;
        }
        char expected_start[32];
        std::snprintf(expected_start, sizeof expected_start, "PCI\\VEN_%04X&DEV_%04X&", m.pci.vendor, m.pci.device);
        EXPECT_EQ(std::string(value).rfind(expected_start, 0), 0u) << value;
        // What the registry alone makes of the card is never another chip.
        const std::int32_t chip = parse_hardware_key(value, n);
        EXPECT_TRUE(chip == 0 || chip == m.expected_chip) << m.name;
    }
    char small[16] = "x";
    EXPECT_EQ(hardware_key(*find_adapter("s3-868"), small, sizeof small), 0u);
    EXPECT_EQ(small[0], '\0');
}

TEST_F(SimAdapter, S3RegistersStayLockedUntilTheirKeys) {
    power("s3-765");
    // A desktop's driver may have left them open.
    set_crtc(0x38, 0x00);
    set_crtc(0x39, 0x00);
    const std::uint8_t half_line = state->crtc[0x3C], mode_control = state->crtc[0x42];
    EXPECT_EQ(crtc(0x2D), 0x00) << "locked reads give 0";
    EXPECT_EQ(crtc(0x30), 0x00);
    set_crtc(0x3C, static_cast<std::uint8_t>(half_line ^ 0x55));
    set_crtc(0x38, 0x48);
    EXPECT_EQ(crtc(0x2D), 0x88);
    EXPECT_EQ(crtc(0x2E), 0x11);
    EXPECT_EQ(crtc(0x30), 0xE1);
    EXPECT_EQ(crtc(0x3C), half_line) << "the write while locked was ignored";
    set_crtc(0x42, mode_control ^ 0x20);
    EXPECT_EQ(crtc(0x42), 0x00) << "CR40 and up need the second key";
    set_crtc(0x39, 0xA5);
    EXPECT_EQ(crtc(0x42), mode_control) << "the write while locked was ignored";
    set_crtc(0x42, 0x20);
    EXPECT_EQ(crtc(0x42), 0x20);
    set_crtc(0x2D, 0x12);
    EXPECT_EQ(crtc(0x2D), 0x88) << "identification is read-only";
    set_crtc(0x39, 0x00);
    EXPECT_EQ(crtc(0x42), 0x00);
    EXPECT_EQ(state->crtc[0x42], 0x20) << "relocking keeps the value";
}

TEST_F(SimAdapter, S3ExtendedSequencerOpensWithSr08) {
    power("s3-764");
    set_seq(0x08, 0x00); // a desktop's driver may have left it open
    set_seq(0x12, 0x61);
    EXPECT_EQ(seq(0x12), 0x00);
    EXPECT_EQ(seq(0x0B), 0x00) << "a Trident id read finds nothing";
    set_seq(0x08, 0x06);
    set_seq(0x12, 0x61);
    EXPECT_EQ(seq(0x12), 0x61);
    EXPECT_EQ(seq(0x08), 0x06);
    set_seq(0x08, 0x00);
    EXPECT_EQ(seq(0x12), 0x00);
    EXPECT_EQ(seq(0x01), state->seq[0x01]) << "standard registers are not locked";
}

TEST_F(SimAdapter, CirrusExtensionsUnlockWithSr06) {
    power("cirrus-543x");
    set_seq(0x06, 0x00); // display drivers leave it unlocked
    EXPECT_EQ(seq(0x06), 0x0F);
    EXPECT_EQ(crtc(0x27), 0xA8) << "the id answers while locked";
    const std::uint8_t vclk3 = seq(0x0E); // the desktop's clock
    const std::uint8_t misc_control = crtc(0x1A);
    set_seq(0x0E, 0x42);
    set_crtc(0x1A, misc_control ^ 0x01);
    EXPECT_EQ(seq(0x0E), vclk3);
    EXPECT_EQ(crtc(0x1A), misc_control);
    set_seq(0x06, 0x12);
    EXPECT_EQ(seq(0x06), 0x12);
    set_seq(0x0E, 0x42);
    set_crtc(0x1A, 0x01);
    EXPECT_EQ(seq(0x0E), 0x42);
    EXPECT_EQ(crtc(0x1A), 0x01);
    set_crtc(0x27, 0x00);
    EXPECT_EQ(crtc(0x27), 0xA8);
    set_seq(0x06, 0x13);
    EXPECT_EQ(seq(0x06), 0x0F);
    set_seq(0x0E, 0x00);
    EXPECT_EQ(seq(0x0E), 0x42) << "locked again: reads back, ignores writes";
}

TEST_F(SimAdapter, TridentSequencerBanksAndProtection) {
    power("trident-9685");
    EXPECT_EQ(lock_state(*state), "sequencer old mode, extended registers writable");
    set_crtc(0x29, 0x5A); // the lock holds only in new mode
    EXPECT_EQ(crtc(0x29), 0x5A);
    set_seq(0x0E, 0x80); // old-mode SR0E: stored as written
    EXPECT_EQ(seq(0x0B), 0xD3);
    EXPECT_EQ(seq(0x09), 0x21);
    EXPECT_EQ(seq(0x0E) & 0x80, 0x00) << "new mode has its own SR0E, locked at power-on";
    set_crtc(0x29, 0x00);
    EXPECT_EQ(crtc(0x29), 0x5A) << "CR29 is behind the lock";
    set_crtc(0x1E, 0x04);
    EXPECT_EQ(crtc(0x1E), 0x04) << "CR1E is not";
    port_write(*state, 0x43C8, 0x5A);
    EXPECT_EQ(port_read(*state, 0x43C8), 0x5A) << "nor the clock word";
    set_seq(0x0E, 0x80);
    EXPECT_EQ(seq(0x0E), 0x82) << "new-mode SR0E bit 1 is inverted on write";
    set_crtc(0x29, 0x00);
    EXPECT_EQ(crtc(0x29), 0x00);
    set_seq(0x0E, 0x82);
    EXPECT_EQ(seq(0x0E), 0x80);
    set_seq(0x0B, 0x00); // back to old mode
    EXPECT_EQ(seq(0x0E), 0x80) << "the old-mode value written earlier";
    EXPECT_EQ(state->seq[0x0B], 0xD3) << "the id is read-only";
    set_seq(0x09, 0x00);
    EXPECT_EQ(state->seq[0x09], 0x21);
}

TEST_F(SimAdapter, Mach64ChipIdSitsAtItsBaseAndIsReadOnly) {
    power_on(*state, *find_adapter("mach64-ct"), {800, 600, 16}, 0); // seed 0: sparse ports
    const std::uint32_t id = 0x1CC + 27 * 0x400;
    EXPECT_EQ(port_read(*state, id), 0x54);
    EXPECT_EQ(port_read(*state, id + 1), 0x43);
    EXPECT_EQ(port_read(*state, 0x2EC + 27 * 0x400), 0x00);
    port_write(*state, id, 0x00);
    EXPECT_EQ(port_read(*state, id), 0x54);
    port_write(*state, 0x1CC + 7 * 0x400, 0x02); // CRTC_GEN_CNTL stays writable
    EXPECT_EQ(port_read(*state, 0x1CC + 7 * 0x400), 0x02);

    power("mach32");
    port_write(*state, 0xFAEE, 0x00);
    EXPECT_EQ(port_read(*state, 0xFAEE) | port_read(*state, 0xFAEF) << 8, 0x17 | 0x12 << 5);
}

// mach64 desktops as display drivers leave them, over many desktop seeds:
// the registers decode at the sparse ports or only at BAR1 (register n at
// BAR1 + 4 n), and the other ports are plain bus bytes; above 640x480x8 (and
// at every 16- and 24-bit depth) the accelerator CRTC times the display, with
// its pitch, and the VGA CRTC is ignored; the desktop runs on a clock select
// other than 3 under the BIOS's reference divider; a pixel clock change
// settles with the next sequencer reset, and a sequencer held in reset shows
// no picture.
TEST_F(SimAdapter, Mach64DesktopsRunOnTheirOwnCrtcClockSelectAndReferenceDivider) {
    const AdapterModel& vt = *find_adapter("mach64-vt");
    int block_desktops = 0;
    for (std::uint32_t seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE(seed);
        std::uint32_t gen_cntl = 0, clock_cntl = 0;
        for (const DesktopMode mode : {DesktopMode{800, 600, 16}, DesktopMode{640, 480, 8}}) {
            power_on(*state, vt, mode, seed);
            gen_cntl = mach64_register_port(*state, 7, 0);
            clock_cntl = mach64_register_port(*state, 18, 0);
            const bool block = state->mach64_block_base != 0;
            block_desktops += block;
            EXPECT_EQ(gen_cntl, block ? 0xE000u + 7 * 4 : 0x2EC + 7 * 0x400);
            EXPECT_EQ(clock_cntl, block ? 0xE090u : 0x2EC + 18 * 0x400);
            EXPECT_EQ(port_read(*state, mach64_register_port(*state, 27, 0)), 0x54);
            const std::uint32_t other_id = block ? 0x2EC + 27 * 0x400 : 0xE0E0;
            EXPECT_EQ(port_read(*state, other_id), 0x00) << "an undecoded port";
            port_write(*state, block ? 0x2EC + 7 * 0x400 + 3 : 0xE000 + 7 * 4 + 3, 0x00);
            const MonitorView desktop = observe(*state);
            EXPECT_NEAR(desktop.line_rate_hz, mode.width == 800 ? 37879 : 31469, 120) << describe(desktop);
            EXPECT_EQ(desktop.displayed_lines, mode.height);
            EXPECT_FALSE(desktop.blanked);
            EXPECT_NE(port_read(*state, clock_cntl) & 3, 3) << "the stereo clock's select";
            port_write(*state, clock_cntl + 1, 2 << 2);
            EXPECT_NE(port_read(*state, clock_cntl + 2), 0x2D) << "the tables' reference divider";
            const bool accelerator = (port_read(*state, gen_cntl + 3) & 0x03) == 0x03;
            EXPECT_EQ(accelerator, mode.bits_per_pixel > 8);
            if (accelerator) {
                EXPECT_EQ(desktop.line_offset, mode.width / 8) << "OFF_PITCH pitch";
            }
            set_crtc(0x12, 0x10); // VGA display end
            EXPECT_EQ(observe(*state).displayed_lines == mode.height, accelerator);
        }
        // The interlace bit acts on the accelerator CRTC, whose vertical
        // counts cover the frame; OFF_PITCH bits 0-19 hold its start; a
        // horizontal sync that begins inside the picture is no sync.
        power_on(*state, vt, {800, 600, 16}, seed);
        gen_cntl = mach64_register_port(*state, 7, 0);
        clock_cntl = mach64_register_port(*state, 18, 0);
        port_write(*state, mach64_register_port(*state, 5, 0), 0x64);
        EXPECT_EQ(observe(*state).display_start, 0x64);
        EXPECT_FALSE(observe(*state).out_of_range);
        const std::uint32_t h_sync = mach64_register_port(*state, 1, 0);
        const std::uint8_t sync_start = port_read(*state, h_sync);
        port_write(*state, h_sync, 0x50);
        EXPECT_TRUE(observe(*state).out_of_range);
        port_write(*state, h_sync, sync_start);
        port_write(*state, gen_cntl, static_cast<std::uint8_t>(port_read(*state, gen_cntl) | 0x02));
        const MonitorView interlaced = observe(*state);
        EXPECT_TRUE(interlaced.interlaced);
        EXPECT_NEAR(interlaced.field_rate_hz, 2 * 60.32, 0.3);
        EXPECT_EQ(interlaced.displayed_lines, 300);
        set_crtc(0x12, 0x10);
        EXPECT_EQ(observe(*state).displayed_lines, 300);
        port_write(*state, gen_cntl + 3, static_cast<std::uint8_t>(port_read(*state, gen_cntl + 3) & 0xFE));
        EXPECT_NE(observe(*state).displayed_lines, 300) << "bit 24 off: the VGA CRTC runs";

        // A new feedback divider on the running clock, then a sequencer reset.
        const int select = port_read(*state, clock_cntl) & 3;
        port_write(*state, clock_cntl + 1, static_cast<std::uint8_t>(((7 + select) << 2) | 0x02));
        port_write(*state, clock_cntl + 2, static_cast<std::uint8_t>(port_read(*state, clock_cntl + 2) ^ 0x01));
        EXPECT_EQ(state->mach64_clock_unsettled, 1);
        set_seq(0x00, 0x01);
        EXPECT_TRUE(observe(*state).blanked) << "sequencer in reset";
        set_seq(0x00, 0x03);
        EXPECT_EQ(state->mach64_clock_unsettled, 0);
        EXPECT_FALSE(observe(*state).blanked);
    }
    EXPECT_GT(block_desktops, 0);
    EXPECT_LT(block_desktops, 48);
}

TEST_F(SimAdapter, Et6000PciIdentityBehindCr21) {
    power("et6000");
    EXPECT_EQ(crtc(0x21), 0xE8);
    set_crtc(0x21, 0x10);
    EXPECT_EQ(crtc(0x21), 0xE8) << "the BIOS-assigned base is read-only";
    const std::uint8_t identity[] = {0x0C, 0x10, 0x08, 0x32};
    for (std::uint32_t i = 0; i < 4; ++i) {
        port_write(*state, 0xE800 + i, 0xFF);
        EXPECT_EQ(port_read(*state, 0xE800 + i), identity[i]) << i;
    }
    port_write(*state, 0xE867, 0x03); // the clock index port is ordinary
    EXPECT_EQ(port_read(*state, 0xE867), 0x03);
}

// The key: port 0x3BF bit 1, then port 0x3D8 = 0xA0; without it the extended
// CRTC registers keep their value. CR3F bits 7/6 are offset bits 8/9.
TEST_F(SimAdapter, Et6000KeyGuardsTheExtendedRegisters) {
    power("et6000");
    port_write(*state, 0x3BF, 0x01);
    const std::uint8_t cr3f = crtc(0x3F);
    set_crtc(0x3F, static_cast<std::uint8_t>(cr3f ^ 0xC0));
    EXPECT_EQ(crtc(0x3F), cr3f) << lock_state(*state);
    set_crtc(0x33, 0x05);
    EXPECT_EQ(crtc(0x33), 0x05) << "CR33 answers the identification without the key";
    port_write(*state, 0x3D8, 0xA0);
    port_write(*state, 0x3BF, 0x03);
    set_crtc(0x35, 0x80);
    EXPECT_NE(crtc(0x35), 0x80) << "0xA0 before port 0x3BF is no key";
    port_write(*state, 0x3D8, 0xA0);
    EXPECT_EQ(lock_state(*state), "key set; PCI I/O base E800");
    set_crtc(0x13, 0x2C);
    for (const auto& [bits, offset] : {std::pair{0x80, 0x12C}, {0x40, 0x22C}, {0xC0, 0x32C}, {0x00, 0x2C}}) {
        set_crtc(0x3F, static_cast<std::uint8_t>(bits));
        EXPECT_EQ(observe(*state).line_offset, offset) << std::hex << bits;
    }
    port_write(*state, 0x3D8, 0x29);
    set_crtc(0x3F, 0x80);
    EXPECT_EQ(crtc(0x3F), 0x00) << "another mode value takes the key away";
}

TEST_F(SimAdapter, AFamilyOutsideTheTableFallsBackToPlainVga) {
    power("s3-765");
    state->family = static_cast<ChipFamily>(77);
    set_crtc(0x42, 0x20);
    EXPECT_EQ(crtc(0x42), 0x20);
    EXPECT_EQ(lock_state(*state), "no extended registers");
}

} // namespace
} // namespace duo::sim
