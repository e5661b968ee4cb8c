// Filling the timing tables from the defaults, the clock table selections,
// and the clock settings handed to the stereo operations.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>

#include "lib/core/mode_acceptance.h"
#include "lib/core/state.h"
#include "lib/timing/defaults_data.h"
#include "lib/timing/settings_file.h"
#include "lib/timing/timing_load.h"
#include "tests/native/fake_platform.h"

namespace duo {
namespace {

constexpr std::uint8_t kUntouched = 0xEE;

class TimingLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::reset_world();
        // Earlier contents that the load must leave where it does not write.
        for (TimingTable* t : all_tables()) std::memset(t, kUntouched, sizeof *t);
    }

    static std::vector<TimingTable*> all_tables() {
        return {&g_shared.current_table, &g_shared.stored_tables[0], &g_shared.stored_tables[1],
                &g_shared.stored_tables[2]};
    }

    static void load(std::int32_t chip, int width, int height, int bits) {
        g_shared.chip_code = chip;
        g_shared.colour_depth = bits;
        g_shared.display_width = width;
        g_shared.display_height = height;
        load_timing_tables();
    }

    // Every block of the table holds the record in bytes 0-26 (0-62 on S3)
    // and nothing else was written.
    static void expect_blocks_hold(const TimingTable& table, std::int32_t chip, const TimingRecord* record) {
        ASSERT_NE(record, nullptr);
        TimingBlock expected{};
        std::memset(&expected, kUntouched, sizeof expected);
        copy_record(chip, *record, expected);
        const int written = family_of(chip) == kS3 ? 63 : 27;
        for (int b = 0; b < kStatusEntries; ++b) {
            for (int i = 0; i < kTimingBlockSize; ++i) {
                const std::uint8_t want = i < written ? expected.bytes[i] : kUntouched;
                ASSERT_EQ(table.blocks[b].bytes[i], want) << "block " << b << " byte " << i;
            }
        }
    }

    static void expect_blocks_untouched(const TimingTable& table) {
        for (const TimingBlock& block : table.blocks)
            for (std::uint8_t byte : block.bytes) ASSERT_EQ(byte, kUntouched);
    }

    // Every status entry holds the value, except that the current table
    // never offers a frequency it cannot program.
    static void expect_status(std::int32_t value) {
        for (TimingTable* t : all_tables()) {
            for (int f = 0; f < kStatusEntries; ++f) {
                const bool offered = t != &g_shared.current_table || f >= kFrequencyCount || frequency_programmable(f);
                ASSERT_EQ(t->status[f], offered ? value : 0) << "entry " << f;
            }
        }
    }

    static void expect_default_frequency_5() {
        for (TimingTable* t : all_tables()) EXPECT_EQ(t->default_frequency, 5);
    }

    static std::int32_t untouched_word() {
        std::int32_t w;
        std::memset(&w, kUntouched, sizeof w);
        return w;
    }
};

TEST_F(TimingLoadTest, Chip105At640By480In16BitsFillsEachClassFromItsRecord) {
    load(0x105, 640, 480, 16);
    expect_blocks_hold(g_shared.current_table, 0x105, default_record(0x102, 640, 480, kDepth16));
    expect_blocks_hold(g_shared.stored_tables[kDepth8], 0x105, default_record(0x102, 640, 480, kDepth8));
    expect_blocks_hold(g_shared.stored_tables[kDepth24], 0x105, default_record(0x102, 640, 480, kDepth24));
    expect_blocks_untouched(g_shared.stored_tables[kDepth16]);
    expect_status(1);
    expect_default_frequency_5();
    EXPECT_EQ(g_shared.clock_table_selection[kTrident], defaults_data::trident::k102At640);
    // 75 Hz has no clock in that table: three zero bytes are handed on.
    const ClockSetting& slot0 = selected_clock_setting(0);
    EXPECT_EQ(slot0.b[0] | slot0.b[1] | slot0.b[2], 0);
    EXPECT_EQ(selected_clock_setting(3).b[0], 0x3C);
}

TEST_F(TimingLoadTest, FifteenAndSixteenBitsAreOneClass) {
    load(0x105, 640, 480, 16);
    SharedState at16 = g_shared;
    SetUp();
    load(0x105, 640, 480, 15);
    EXPECT_EQ(0, std::memcmp(&at16.current_table, &g_shared.current_table, sizeof(TimingTable)));
    EXPECT_EQ(0, std::memcmp(at16.stored_tables, g_shared.stored_tables, sizeof g_shared.stored_tables));
    EXPECT_EQ(g_shared.clock_table_selection[kTrident], defaults_data::trident::k102At640);
}

TEST_F(TimingLoadTest, S3At1024By768GivesChip202ItsOwn16BitRecord) {
    for (std::int32_t chip : {0x202, 0x203}) {
        SetUp();
        load(chip, 1024, 768, 8);
        SCOPED_TRACE(chip);
        expect_blocks_hold(g_shared.current_table, chip, default_record(chip, 1024, 768, kDepth8));
        const TimingRecord* sixteen = default_record(chip, 1024, 768, kDepth16);
        expect_blocks_hold(g_shared.stored_tables[kDepth16], chip, sixteen);
        // The tuned records tell the chips apart by their horizontal total.
        EXPECT_EQ(g_shared.stored_tables[kDepth16].blocks[0].bytes[0], chip == 0x202 ? 0x49 : 0x37);
        EXPECT_EQ(g_shared.stored_tables[kDepth16].blocks[19].bytes[62], chip == 0x202 ? 0x5D : 0x75);
        expect_blocks_untouched(g_shared.stored_tables[kDepth24]);
        expect_status(1);
        EXPECT_EQ(g_shared.clock_table_selection[kS3], defaults_data::s3::k1024);
    }
}

TEST_F(TimingLoadTest, Et6000At1024By768In16BitsTakesEachClasssOwn1024By768Record) {
    load(0x501, 1024, 768, 16);
    for (DepthClass d : {kDepth8, kDepth16, kDepth24}) {
        const TimingTable& table = d == kDepth16 ? g_shared.current_table : g_shared.stored_tables[d];
        expect_blocks_hold(table, 0x501, default_record(0x501, 1024, 768, d));
    }
}

TEST_F(TimingLoadTest, ChipsWithoutRecordsOnlySetTheDefaultFrequency) {
    struct {
        std::int32_t chip;
        int width, height, bits;
    } cases[] = {{0x104, 800, 600, 16}, {0x104, 640, 480, 8}, {0x203, 1280, 1024, 8},
                 {0x203, 640, 480, 32}, {0x999, 640, 480, 8}, {0x203, 640, 480, 4}};
    for (const auto& c : cases) {
        SetUp();
        SCOPED_TRACE(::testing::Message() << std::hex << c.chip << std::dec << " " << c.width << " " << c.bits);
        std::int32_t selections[kFamilies];
        std::copy(std::begin(g_shared.clock_table_selection), std::end(g_shared.clock_table_selection), selections);
        load(c.chip, c.width, c.height, c.bits);
        for (TimingTable* t : all_tables()) expect_blocks_untouched(*t);
        expect_status(untouched_word());
        expect_default_frequency_5();
        for (int f = 0; f < kFamilies; ++f)
            EXPECT_EQ(g_shared.clock_table_selection[f], selections[f]);
    }
}

// Every desktop mode the rules accept has timing and a clock table: no
// accepted mode is turned away for lack of data.
TEST_F(TimingLoadTest, EveryAcceptedModeOfEveryChipHasTiming) {
    for (std::int32_t chip = 0x100; chip <= 0x502; ++chip)
        for (const auto& [width, height] : {std::pair{640, 480}, std::pair{800, 600}, std::pair{1024, 768}})
            for (int bits : {8, 15, 16, 24, 32})
                if (judge_mode(chip, bits, width, height) == ModeVerdict::kAccepted) {
                    EXPECT_TRUE(mode_has_timing(chip, bits, width, height))
                        << std::hex << chip << std::dec << " " << width << "x" << height << "x" << bits;
                }
}

TEST_F(TimingLoadTest, TwentyFourBitsAt1024By768IsExcludedOnTheListedChips) {
    for (std::int32_t chip : {0x101, 0x102, 0x103, 0x105, 0x201, 0x202, 0x203, 0x204, 0x205, 0x301, 0x302, 0x303}) {
        SetUp();
        SCOPED_TRACE(chip);
        load(chip, 1024, 768, 24);
        for (TimingTable* t : all_tables()) expect_blocks_untouched(*t);
        expect_status(untouched_word());
        expect_default_frequency_5();
    }
    for (std::int32_t chip : {0x206, 0x207, 0x304, 0x401, 0x501}) {
        SetUp();
        SCOPED_TRACE(chip);
        load(chip, 1024, 768, 24);
        expect_blocks_hold(g_shared.current_table, chip, default_record(chip, 1024, 768, kDepth24));
        expect_blocks_untouched(g_shared.stored_tables[kDepth24]);
        expect_status(1);
    }
}

TEST_F(TimingLoadTest, Mach64RecordsLeaveByte26Zero) {
    load(0x401, 800, 600, 8);
    expect_blocks_hold(g_shared.current_table, 0x401, default_record(0x401, 800, 600, kDepth8));
    EXPECT_EQ(g_shared.current_table.blocks[7].bytes[26], 0);
}

// The selection is made alike whether the settings file was accepted.
TEST_F(TimingLoadTest, SelectionDoesNotDependOnTheSettingsFile) {
    struct {
        std::int32_t chip;
        int width, height, bits;
        Family family;
        int table;
    } cases[] = {{0x501, 800, 600, 8, kEt6000, defaults_data::three_resolutions::k800},
                 {0x401, 640, 480, 16, kMach64, defaults_data::mach64::k640Packed},
                 {0x304, 800, 600, 24, kCirrus, defaults_data::cirrus::k304At800}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chip);
        // A file written for this chip and mode, then found by the next load.
        SetUp();
        load(c.chip, c.width, c.height, c.bits);
        g_shared.current_table.default_frequency = 7;
        ASSERT_EQ(write_settings_file(), 1);
        const auto files = testing::fake().files;
        testing::fake().files.clear();

        g_process = ProcessState{};
        g_shared.clock_table_selection[c.family] = 2 - c.table % 2; // neither the initial nor the wanted one
        load(c.chip, c.width, c.height, c.bits);
        EXPECT_EQ(g_shared.current_table.default_frequency, 5) << "no file: defaults";
        EXPECT_EQ(g_shared.clock_table_selection[c.family], c.table);

        testing::fake().files = files;
        g_shared.clock_table_selection[c.family] = 2 - c.table % 2;
        load(c.chip, c.width, c.height, c.bits);
        EXPECT_EQ(g_shared.current_table.default_frequency, 7) << "the file was accepted";
        EXPECT_EQ(g_shared.clock_table_selection[c.family], c.table);
    }
}

TEST_F(TimingLoadTest, InitialSelectionsNeedNoLoad) {
    struct {
        std::int32_t chip;
        const char* table;
        std::uint8_t slot9_b0;
    } cases[] = {{0x103, "0x103 640x480 8/16-bit", 0xA3},
                 {0x206, "0x201-0x207 640x480", 0x61},
                 {0x301, "0x301-0x303 640x480", 0x7A},
                 {0x401, "0x401 640x480", 0x02},
                 {0x501, "0x501 640x480", 0x78}};
    for (const auto& c : cases) {
        const Family f = family_of(c.chip);
        EXPECT_STREQ(clock_tables(f)[static_cast<std::size_t>(g_shared.clock_table_selection[f])].name, c.table);
        g_shared.chip_code = c.chip;
        EXPECT_EQ(selected_clock_setting(9).b[0], c.slot9_b0) << c.table;
    }
}

TEST_F(TimingLoadTest, FrequencyIndexesOutsideTheTableGiveNoClock) {
    load(0x203, 800, 600, 16);
    for (std::int32_t f : {-1, 20, 21, 1 << 30, -(1 << 30)}) {
        const ClockSetting& s = selected_clock_setting(f);
        EXPECT_EQ(s.b[0] | s.b[1] | s.b[2], 0) << f;
        EXPECT_EQ(resolution_clock_setting(f), nullptr) << f;
    }
    // Slots 10-19 exist and repeat slot 9.
    EXPECT_EQ(0, std::memcmp(&selected_clock_setting(19), &selected_clock_setting(9), sizeof(ClockSetting)));
    // A corrupt selection indexes nothing either, up to one past the last table.
    for (int selection : {99, -1, static_cast<int>(clock_tables(kS3).size())}) {
        g_shared.clock_table_selection[kS3] = selection;
        EXPECT_EQ(selected_clock_setting(5).b[0], 0) << selection;
        EXPECT_FALSE(frequency_programmable(5)) << selection;
    }
    g_shared.chip_code = 0x104;
    EXPECT_EQ(selected_clock_setting(5).b[0], 0);

    // A block holds timing when any of CRTC bytes 0-24 is set, the first and
    // the last included; the extension bytes after them do not count.
    for (int i : {0, 12, kCrtcBlockBytes - 1}) {
        TimingBlock block{};
        block.bytes[i] = 0x01;
        EXPECT_TRUE(block_has_timing(block)) << i;
    }
    TimingBlock extensions_only{};
    std::fill(std::begin(extensions_only.bytes) + kCrtcBlockBytes, std::end(extensions_only.bytes), 0xFF);
    EXPECT_FALSE(block_has_timing(extensions_only));
}

TEST_F(TimingLoadTest, ResolutionClockTableServesChips201To205Only) {
    // Frequency changes take the table of the mode's resolution and depth: at
    // 24 bits a Trio's DCLK runs at 1.5 times the pixel rate, so the 8/16-bit
    // table of the resolution would run 24-bit stereo at two thirds of its rate.
    load(0x204, 640, 480, 24);
    EXPECT_EQ(g_shared.clock_table_selection[kS3], defaults_data::s3::k640Depth24);
    ASSERT_NE(resolution_clock_setting(0), nullptr);
    EXPECT_EQ(resolution_clock_setting(0), &clock_tables(kS3)[defaults_data::s3::k640Depth24].slots[0]);

    g_shared.display_width = 800;
    g_shared.display_height = 600;
    EXPECT_EQ(resolution_clock_setting(4), &clock_tables(kS3)[defaults_data::s3::k800Depth24].slots[4]);
    g_shared.colour_depth = 16;
    EXPECT_EQ(resolution_clock_setting(4), &clock_tables(kS3)[defaults_data::s3::k800].slots[4]);
    g_shared.display_width = 1280;
    g_shared.display_height = 1024;
    EXPECT_EQ(resolution_clock_setting(4), nullptr);

    EXPECT_TRUE(uses_resolution_clock_table(0x201));
    EXPECT_TRUE(uses_resolution_clock_table(0x205));
    EXPECT_FALSE(uses_resolution_clock_table(0x206));
    g_shared.chip_code = 0x206;
    g_shared.display_width = 640;
    g_shared.display_height = 480;
    EXPECT_EQ(resolution_clock_setting(4), nullptr);
}

TEST_F(TimingLoadTest, CurrentDefaultRecordFollowsChipDepthAndResolution) {
    g_shared.chip_code = 0x304;
    g_shared.colour_depth = 8;
    g_shared.display_width = 640;
    g_shared.display_height = 480;
    ASSERT_NE(current_default_record(), nullptr);
    EXPECT_EQ(current_default_record()->crtc[0], 0x5E);
    g_shared.colour_depth = 32;
    EXPECT_EQ(current_default_record(), nullptr);
    g_shared.colour_depth = 16;
    g_shared.chip_code = 0x201;
    EXPECT_EQ(current_default_record(), default_record(0x203, 640, 480, kDepth16));
    g_shared.chip_code = 0x104;
    EXPECT_EQ(current_default_record(), nullptr);
}

} // namespace
} // namespace duo
