// The built-in tables: the tuned data byte for byte as it was taken down,
// the synthesizer readings against the calibration, and every clock slot's
// field rate on the records that use it, as the simulated monitor sees it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "lib/core/state.h"
#include "lib/hw/detect.h"
#include "lib/hw/family.h"
#include "lib/timing/defaults.h"
#include "lib/timing/defaults_data.h"
#include "lib/timing/synthesizers.h"
#include "lib/timing/timing_decode.h"
#include "sim/monitor.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_registry.h"

namespace duo {
namespace {

std::vector<std::uint8_t> parse_hex(const std::string& text) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ' || text[i] == ';') {
            ++i;
            continue;
        }
        out.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return out;
}

int bits_of(DepthClass d) { return d == kDepth8 ? 8 : d == kDepth16 ? 16 : 24; }

TimingBlock block_of(std::int32_t chip, const TimingRecord& r) {
    TimingBlock b{};
    copy_record(chip, r, b);
    return b;
}

const ClockTable& table_named(Family f, const std::string& name) {
    for (const ClockTable& t : clock_tables(f))
        if (name == t.name) return t;
    ADD_FAILURE() << "no table " << name;
    static const ClockTable kNone{};
    return kNone;
}

// The records and rows as the tuned tables give them.
TEST(TimingDefaultsTest, QuotedRecordsMatchTheirTextByteForByte) {
    struct {
        std::int32_t chip;
        int width, height;
        DepthClass depth;
        const char* crtc;
        const char* ext; // bytes 25-26, or 60-62 for S3
    } quoted[] = {
        {0x101, 640, 480, kDepth8, "5F 4F 50 82 54 80 40 15 00 40 00 00 00 00 00 14 07 0C EF 00 40 F3 3E A3 FF",
         "9C 4A"},
        {0x102, 640, 480, kDepth8, "66 4F 50 86 58 9F 3F 15 00 40 00 00 00 00 00 00 09 03 EF A0 40 F3 FB A3 FF",
         "8C 4A"},
        {0x105, 640, 480, kDepth16, "66 4F 50 86 58 9F 41 15 00 40 00 00 00 00 00 00 0A 03 EF 40 40 F3 FB A3 FF",
         "9C 4A"},
        {0x102, 640, 480, kDepth24, "66 4F 50 86 58 9F 41 15 00 40 00 00 00 00 00 00 0A 03 EF 00 40 F3 FB A3 FF",
         "AC 4A"},
        {0x204, 640, 480, kDepth8, "5F 4F 50 82 54 80 40 15 00 40 00 00 00 00 FF 00 07 0C EF 50 40 F3 3E A3 FF",
         "4A 00 00"},
        {0x202, 1024, 768, kDepth16, "49 FF 00 08 03 1D 95 1F 00 60 00 00 00 00 FF 00 84 86 7F 00 00 83 95 EB FF",
         "A4 10 5D"},
        {0x203, 1024, 768, kDepth16, "37 FF 00 98 03 8F 97 1F 00 40 00 00 00 00 FF 00 80 84 7F 00 00 80 00 9B FF",
         "9E 10 75"},
        {0x205, 1024, 768, kDepth16, "37 FF 00 98 03 8F 97 1F 00 40 00 00 00 00 FF 00 80 84 7F 00 00 80 00 9B FF",
         "9E 10 75"},
        {0x304, 640, 480, kDepth8, "5E 4F 50 82 55 9B 3A 1F 00 40 00 00 00 00 00 00 0A 03 09 A0 00 3F F9 E3 FF",
         "22 2F"},
        {0x401, 640, 480, kDepth8, "66 4F 51 82 55 8F 70 B2 00 40 00 00 00 00 00 14 15 0C DF 50 40 0F 1F A3 FF", "00"},
        {0x501, 800, 600, kDepth24, "7F 63 63 83 6B 1B D6 F0 00 60 00 00 00 00 02 40 7B 89 57 2C 60 5D D5 AB FF",
         "80 80"},
    };
    for (const auto& q : quoted) {
        SCOPED_TRACE(::testing::Message()
                     << std::hex << q.chip << std::dec << " " << q.width << " " << bits_of(q.depth));
        const TimingRecord* r = default_record(q.chip, q.width, q.height, q.depth);
        ASSERT_NE(r, nullptr);
        const TimingBlock b = block_of(q.chip, *r);
        const auto crtc = parse_hex(q.crtc), ext = parse_hex(q.ext);
        for (int i = 0; i < 25; ++i) EXPECT_EQ(b.bytes[i], crtc[i]) << "byte " << i;
        const int ext_at = family_of(q.chip) == kS3 ? 60 : 25;
        for (std::size_t i = 0; i < ext.size(); ++i) EXPECT_EQ(b.bytes[ext_at + i], ext[i]) << "byte " << ext_at + i;
    }
}

TEST(TimingDefaultsTest, QuotedClockRowsMatchTheirTextAndRepeatSlot9Beyond) {
    struct {
        Family family;
        const char* name;
        const char* slots;
    } quoted[] = {
        {kTrident, "0x102/0x105 640x480",
         "00 00 00; 00 00 00; 00 00 00; 3C 48 01; 41 48 01; 44 48 01; 47 48 01; 4C 48 01; 4F 48 01; 53 48 01"},
        {kTrident, "0x103 640x480 8/16-bit",
         "47 19 11; 30 14 01; 35 14 01; BD 14 01; 3B 14 01; C2 19 00; 33 13 01; 47 19 00; A1 11 01; A3 11 01"},
        {kS3, "0x201-0x207 640x480", "61 1E; 61 20; 61 22; 61 24; 61 26; 61 28; 61 2A; 61 2C; 61 2E; 61 30"},
        {kCirrus, "0x301-0x303 640x480",
         "54 3B 00; 56 3B 00; 58 3B 00; 5C 3B 00; 63 3B 00; 67 3B 00; 6C 3B 00; 72 3B 00; 75 3B 00; 7A 3B 00"},
        {kCirrus, "0x304 640x480",
         "00 00 00; 00 00 00; 00 00 00; 4E 33 EF; 52 33 EF; 56 33 EF; 5A 33 EF; 5F 33 EF; 63 33 EF; 67 33 EF"},
        {kMach64, "0x401 640x480", "02 82; 02 88; 02 8D; 02 92; 02 9A; 02 A2; 02 AA; 02 B2; 02 B8; 02 C0"},
        {kEt6000, "0x501 640x480", "00 00; 00 00; 00 00; 75 67; 7C 67; 64 65; 69 65; 6E 65; 73 65; 78 65"},
    };
    for (const auto& q : quoted) {
        SCOPED_TRACE(q.name);
        const ClockTable& t = table_named(q.family, q.name);
        EXPECT_TRUE(t.quoted);
        const auto bytes = parse_hex(q.slots);
        const std::size_t size = bytes.size() / 10;
        for (int slot = 0; slot < kClockSlots; ++slot) {
            const int from = slot < 10 ? slot : 9;
            for (std::size_t k = 0; k < 3; ++k) {
                const std::uint8_t expected = k < size ? bytes[from * size + k] : 0;
                EXPECT_EQ(t.slots[slot].b[k], expected) << "slot " << slot << " byte " << k;
            }
        }
    }
}

TEST(TimingDefaultsTest, SynthesizersMatchTheCalibration) {
    // S3 "61 1E": 19.09 MHz; with the S3 640x480 tuned record about 74.0 Hz,
    // and "61 30" about 115.6 Hz.
    EXPECT_NEAR(pixel_clock_hz(Synthesizer::kS3, {{0x61, 0x1E, 0}}), 19.09e6, 0.01e6);
    const TimingRecord* r = default_record(0x203, 640, 480, kDepth8);
    ASSERT_NE(r, nullptr);
    const DecodedTiming t = decode_timing(0x203, 8, block_of(0x203, *r));
    EXPECT_NEAR(scan_rates(t, pixel_clock_hz(Synthesizer::kS3, {{0x61, 0x1E, 0}})).field_rate_hz, 74.0, 0.1);
    EXPECT_NEAR(scan_rates(t, pixel_clock_hz(Synthesizer::kS3, {{0x61, 0x30, 0}})).field_rate_hz, 115.6, 0.1);

    // The tuned 0x102/0x105 640x480 row in the 9685's clock code: "3C 48 01"
    // is N 60, M 8, K 1, halved by SEQ 0x0D: 14.31818 x 68 / 10 / 4 = 24.34
    // MHz, 88.45 Hz on its 8-bit record (856 px, 321.5 lines per field);
    // "53 48 01" (N 83) 32.57 MHz, 118.36 Hz: 0-2 % below 90 and 120 Hz.
    const TimingRecord* r105 = default_record(0x105, 640, 480, kDepth8);
    ASSERT_NE(r105, nullptr);
    const DecodedTiming t105 = decode_timing(0x105, 8, block_of(0x105, *r105));
    EXPECT_NEAR(pixel_clock_hz(synthesizer_of(0x105), {{0x3C, 0x48, 0x01}}), 24.341e6, 0.001e6);
    EXPECT_NEAR(scan_rates(t105, pixel_clock_hz(synthesizer_of(0x105), {{0x3C, 0x48, 0x01}})).field_rate_hz, 88.45,
                0.01);
    EXPECT_NEAR(scan_rates(t105, pixel_clock_hz(synthesizer_of(0x105), {{0x53, 0x48, 0x01}})).field_rate_hz, 118.36,
                0.01);
    EXPECT_EQ(synthesizer_of(0x102), synthesizer_of(0x105)) << "they share the tables";
}

TEST(TimingDefaultsTest, EmptyAndDegenerateSettingsGiveNoClock) {
    for (Synthesizer s : {Synthesizer::kTrident, Synthesizer::kS3, Synthesizer::kCirrus, Synthesizer::kCirrus304,
                          Synthesizer::kMach64, Synthesizer::kEt6000, Synthesizer::kNone})
        EXPECT_EQ(pixel_clock_hz(s, {{0, 0, 0}}), 0);
    // A Cirrus denominator of divisor 0 must not divide by zero.
    EXPECT_EQ(pixel_clock_hz(Synthesizer::kCirrus, {{0x40, 0x01, 0}}), 0);
    EXPECT_EQ(pixel_clock_hz(Synthesizer::kCirrus304, {{0x40, 0x00, 0xEF}}), 0);
    EXPECT_EQ(pixel_clock_hz(Synthesizer::kNone, {{0x61, 0x1E, 0}}), 0);
}

TEST(TimingDefaultsTest, DecodingFollowsEachFamilysVerticalCounting) {
    // Per field on Trident, S3 and Cirrus (240 lines per field at 640x480),
    // per frame on mach64 (480) and ET6000 (600 lines, total 728).
    struct {
        std::int32_t chip;
        int width, height;
        DepthClass depth;
        int shown, v_total;
        double h_total_px;
    } cases[] = {{0x101, 640, 480, kDepth8, 480, 322, 800},
                 {0x203, 640, 480, kDepth8, 480, 322, 800},
                 {0x203, 1024, 768, kDepth16, 768, 409, 1264},
                 {0x401, 640, 480, kDepth8, 480, 626, 856},
                 {0x501, 800, 600, kDepth24, 600, 728, 1056}};
    for (const auto& c : cases) {
        const DecodedTiming t = decode_timing(c.chip, bits_of(c.depth),
                                              block_of(c.chip, *default_record(c.chip, c.width, c.height, c.depth)));
        EXPECT_EQ(t.shown_lines, c.shown) << std::hex << c.chip;
        EXPECT_EQ(t.v_total, c.v_total) << std::hex << c.chip;
        EXPECT_DOUBLE_EQ(t.h_total_px, c.h_total_px) << std::hex << c.chip;
    }
}

// Which records exist, by the chip groups' sets.
TEST(TimingDefaultsTest, RecordsExistExactlyForTheListedSets) {
    const std::int32_t chips[] = {0x101, 0x102, 0x103, 0x104, 0x105, 0x201, 0x202, 0x203, 0x204, 0x205,
                                  0x206, 0x207, 0x301, 0x302, 0x303, 0x304, 0x401, 0x402, 0x501, 0x000};
    const int resolutions[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {640, 400}};
    for (std::int32_t chip : chips)
        for (const auto& res : resolutions)
            for (DepthClass d : {kDepth8, kDepth16, kDepth24}) {
                const bool standard = res[1] * 4 == res[0] * 3 && res[0] <= 1024;
                bool expected = standard && chip != 0x104 && family_of(chip) != kNoFamily;
                if (chip >= 0x201 && chip <= 0x205 && res[0] == 1024 && d == kDepth24) expected = false;
                EXPECT_EQ(default_record(chip, res[0], res[1], d) != nullptr, expected)
                    << std::hex << chip << std::dec << " " << res[0] << "x" << res[1] << " " << bits_of(d);
            }
    EXPECT_NE(default_record(0x202, 1024, 768, kDepth16), default_record(0x203, 1024, 768, kDepth16));
    EXPECT_EQ(default_record(0x203, 1024, 768, kDepth16), default_record(0x205, 1024, 768, kDepth16));
    EXPECT_EQ(default_record(0x201, 800, 600, kDepth24), default_record(0x203, 800, 600, kDepth24));
    EXPECT_EQ(default_record(0x102, 800, 600, kDepth8), default_record(0x105, 800, 600, kDepth8));
}

// The chip table only points into data that exists: every clock table a row
// names is in its family's list, a row's group belongs to its family, and a
// chip of no family has neither.
TEST(TimingDefaultsTest, ChipRowsPointIntoTheirFamilysData) {
    std::int32_t previous = 0;
    for (const ChipRow& row : chip_rows()) {
        EXPECT_GT(row.code, previous) << "rows ascend, so a group's first row is its lowest chip";
        previous = row.code;
        SCOPED_TRACE(row.code);
        const int tables = static_cast<int>(clock_tables(row.family).size());
        for (const auto& by_depth : row.clock_table)
            for (int index : by_depth) EXPECT_TRUE(index == -1 || (index >= 0 && index < tables)) << index;
        if (row.group != ChipGroup::kNone) {
            EXPECT_EQ(family_of(first_chip_of(row.group)), row.family);
        }
        if (row.family == kNoFamily) {
            EXPECT_TRUE(row.group == ChipGroup::kNone && tables == 0 && row.synthesizer == Synthesizer::kNone);
        }
    }
}

// The ET6000 counts pixels at every depth: each 1024x768 record, written as
// stereo goes on with each clock of the table the load selects for the mode,
// shows the whole picture at the slot's field rate, and its line offset (in
// 8-byte units, as the eye shift reads it) spans one line of its depth.
TEST(TimingDefaultsTest, Et6000At1024x768EveryDepthShowsTheWholePictureAtItsRates) {
    const FamilyOps& ops = *family_ops(0x501);
    for (DepthClass d : {kDepth8, kDepth16, kDepth24}) {
        const int bits = bits_of(d);
        const TimingRecord* record = default_record(0x501, 1024, 768, d);
        const int table = clock_table_for(0x501, bits, 1024, 768);
        ASSERT_NE(record, nullptr) << bits;
        ASSERT_GE(table, 0) << bits;
        const ClockTable& clocks = clock_tables(kEt6000)[static_cast<std::size_t>(table)];
        int shown = 0;
        for (int i = 0; i < kFrequencyCount; ++i) {
            const ClockSetting& slot = clocks.slots[i];
            if ((slot.b[0] | slot.b[1] | slot.b[2]) == 0) continue;
            const std::string what = std::to_string(bits) + "-bit slot " + std::to_string(i);
            testing::reset_world("et6000", {1024, 768, bits});
            g_shared.chip_code = 0x501;
            g_shared.colour_depth = bits;
            g_shared.et6000_base_port = static_cast<std::int32_t>(testing::fake().adapter->io_base);
            ops.open_step();
            ops.clock_write(clocks.slots[i]);
            ops.enter_step(block_of(0x501, *record));
            const sim::MonitorView view = sim::observe(*testing::fake().adapter);
            const double nominal = 75 + 5 * i;
            EXPECT_TRUE(view.interlaced) << what;
            EXPECT_EQ(2 * view.displayed_lines, 768) << what;
            EXPECT_NEAR(view.field_rate_hz, nominal, nominal * 0.005) << what;
            EXPECT_GE(view.line_rate_hz, sim::kMinLineRate) << what;
            EXPECT_LE(view.line_rate_hz, sim::kMaxLineRate) << what;
            EXPECT_EQ(g_shared.eye_shift, 1024 * bits / 8 / 8) << what;
            ++shown;
        }
        EXPECT_EQ(shown, 7) << bits << ": slots 3-9 have a clock";
    }
}

// Slots 0-2 hold no clock in the tables that list 3-9; all others have one.
TEST(TimingDefaultsTest, ClockSlotsAreFilledAsListed) {
    int tables = 0;
    const std::set<std::string> from_slot_0 = {"0x103 640x480 8/16-bit", "0x103 800x600 8/16-bit",
                                               "0x103 1024x768 8/16-bit"};
    for (Family f : {kTrident, kS3, kCirrus, kMach64, kEt6000}) {
        for (const ClockTable& t : clock_tables(f)) {
            ++tables;
            const std::string name = t.name;
            const bool empty_low =
                (f == kTrident && !from_slot_0.count(name)) || name.rfind("0x304", 0) == 0 || f == kEt6000;
            // A GD542x at 24 bits would need a VCLK above its oscillator's
            // range from 105 Hz up at 800x600.
            const int first_empty_high = name == "0x301 800x600 24-bit" ? 6 : kClockSlots;
            for (int i = 0; i < kClockSlots; ++i) {
                const ClockSetting& s = t.slots[i];
                const bool zero = s.b[0] == 0 && s.b[1] == 0 && s.b[2] == 0;
                EXPECT_EQ(zero, (empty_low && i < 3) || i >= first_empty_high) << name << " slot " << i;
                if (f != kTrident && f != kCirrus) {
                    EXPECT_EQ(s.b[2], 0) << name << ": two-byte settings";
                }
                if (i >= 10) {
                    EXPECT_EQ(0, std::memcmp(&s, &t.slots[9], sizeof s)) << name << " slot " << i;
                }
            }
        }
    }
    EXPECT_EQ(tables, 35);
}

// Tuned on real monitors: such rows and records run 1-4 % below nominal and
// are kept as they are; records sharing a tuned table inherit it. The 1 %
// bound does not apply to them.
bool tuned(const RecordEntry& e, const ClockTable& t) { return e.quoted || t.quoted; }

// What the simulated monitor shows once the family has written `clock` and
// `record` as stereo goes on, on a card of `model` found by detection and
// showing the record's desktop mode.
sim::MonitorView shown_by(const sim::AdapterModel& model, const RecordEntry& e, const ClockSetting& clock) {
    const int bits = bits_of(e.depth);
    testing::reset_world(model.name, {e.width, e.height, bits});
    testing::reset_registry();
    testing::list_adapter(model);
    g_shared.chip_code = detect_chip();
    g_shared.colour_depth = bits;
    g_shared.display_width = e.width;
    g_shared.display_height = e.height;
    // The mach64 runs most of its desktops, and so the records, on its
    // accelerator CRTC.
    const FamilyOps& ops = *family_ops(g_shared.chip_code);
    ops.open_step();
    ops.clock_write(clock);
    TimingBlock desktop{};
    ops.save_step(desktop);
    ops.enter_step(block_of(g_shared.chip_code, e.record));
    return sim::observe(*testing::fake().adapter);
}

// The simulated cards that run a record: every chip of its group, or its one chip.
std::vector<const sim::AdapterModel*> cards_of(const RecordEntry& e) {
    std::vector<const sim::AdapterModel*> out;
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (int i = 0; i < count; ++i) {
        const std::int32_t chip = models[i].expected_chip;
        if (chip != 0 && chip_group_of(chip) == e.group && (!e.only_chip || e.only_chip == chip))
            out.push_back(&models[i]);
    }
    return out;
}

TEST(TimingDefaultsTest, EveryComputedClockHitsItsNominalFieldRateWithinOnePercent) {
    int checked = 0;
    for (Family f : {kTrident, kS3, kCirrus, kMach64, kEt6000}) {
        for (const RecordEntry& e : default_records(f)) {
            const std::vector<const sim::AdapterModel*> cards = cards_of(e);
            EXPECT_FALSE(cards.empty()) << "a record without a simulated card, group " << static_cast<int>(e.group);
            for (const sim::AdapterModel* card : cards) {
                const std::int32_t chip = card->expected_chip;
                const int bits = bits_of(e.depth);
                const int index = clock_table_for(chip, bits, e.width, e.height);
                if (index < 0) continue; // 24-bit 1024x768 without a table
                const ClockTable& t = clock_tables(f)[static_cast<std::size_t>(index)];
                for (int i = 0; i < kFrequencyCount; ++i) {
                    const ClockSetting& clock = t.slots[i];
                    if ((clock.b[0] | clock.b[1] | clock.b[2]) == 0) continue;
                    const sim::MonitorView r = shown_by(*card, e, clock);
                    const double nominal = 75 + 5 * i;
                    const std::string what = std::string(card->name) + " " + t.name + " slot " + std::to_string(i) +
                                             " on " + std::to_string(e.width) + " " + std::to_string(bits) + "-bit";
                    ASSERT_EQ(g_shared.chip_code, chip) << what;
                    EXPECT_TRUE(r.interlaced) << what;
                    EXPECT_FALSE(r.h_sync_missing || r.v_sync_missing) << sim::describe(r) << " " << what;
                    // What the table tools print for the slot (the library's
                    // reading of the clock bytes and the record) is what the
                    // chip runs; the mach64 rescales to its desktop's
                    // reference divider, within half a percent.
                    const ScanRates printed = scan_rates(decode_timing(chip, bits, block_of(chip, e.record)),
                                                         pixel_clock_hz(synthesizer_of(chip), clock));
                    EXPECT_NEAR(printed.field_rate_hz / r.field_rate_hz, 1.0, f == kMach64 ? 5e-3 : 1e-6) << what;
                    if (tuned(e, t)) {
                        // Still a picture a monitor of the period could show.
                        EXPECT_GT(r.field_rate_hz, 50) << what;
                        EXPECT_LT(r.field_rate_hz, 150) << what;
                        continue;
                    }
                    EXPECT_NEAR(r.field_rate_hz, nominal, nominal * 0.01) << what;
                    // From 90 Hz up the line rate stays where multisync monitors sync.
                    // The 640x480 scans that follow a tuned record or row (322.5 line
                    // periods per field) reach 29.0 kHz at 90 Hz.
                    if (i >= 3) {
                        EXPECT_GE(r.line_rate_hz, r.v_total_lines < 330 ? 28.9e3 : 30e3) << what;
                        EXPECT_LE(r.line_rate_hz, 70e3) << what;
                    }
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 400);
}

} // namespace
} // namespace duo
