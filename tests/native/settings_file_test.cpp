// The settings file "duoscope.ini" through the fake file calls: byte layout,
// which table each class goes to, and what is and is not accepted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "lib/core/state.h"
#include "lib/timing/settings_file.h"
#include "tests/native/fake_platform.h"

namespace duo {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kTable1 = 138, kTable2 = 2222, kTable3 = 4306;

// Chip 0x203 at 800x600, written out by hand: magic 78 56 34 12, chip 03 02,
// width 20 03 (800), height 58 02 (600), then 128 reserved bytes.
Bytes header_203_800x600(std::uint8_t reserved = 0) {
    Bytes b = {0x78, 0x56, 0x34, 0x12, 0x03, 0x02, 0x20, 0x03, 0x58, 0x02};
    b.resize(138, reserved);
    return b;
}

// A table whose every field differs from the same field of other seeds.
TimingTable pattern(std::uint8_t seed) {
    TimingTable t{};
    t.default_frequency = 0x01020300 + seed;
    for (int i = 0; i < kStatusEntries; ++i) t.status[i] = -seed - i;
    for (int i = 0; i < kStatusEntries; ++i)
        for (int j = 0; j < kTimingBlockSize; ++j) t.blocks[i].bytes[j] = static_cast<std::uint8_t>(seed * 7 + i + j);
    return t;
}

bool same(const TimingTable& a, const TimingTable& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Where a table's fields land in the file, checked byte by byte rather than
// through the library's own encoder.
void expect_table_at(const Bytes& file, std::size_t at, const TimingTable& t) {
    ASSERT_GE(file.size(), at + 2084);
    auto u32 = [&](std::size_t o) {
        return static_cast<std::uint32_t>(file[o] | file[o + 1] << 8 | file[o + 2] << 16 | file[o + 3] << 24);
    };
    EXPECT_EQ(u32(at), static_cast<std::uint32_t>(t.default_frequency));
    for (int i = 0; i < kStatusEntries; ++i) EXPECT_EQ(u32(at + 4 + 4 * i), static_cast<std::uint32_t>(t.status[i]));
    EXPECT_EQ(0, std::memcmp(&file[at + 84], t.blocks, 2000));
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { use(0x203, 800, 600, 16); }
    // A file that did not open is never closed.
    void TearDown() override { EXPECT_EQ(testing::fake().bad_closes, 0); }
    static void use(std::int32_t chip, int width, int height, int depth) {
        testing::reset_world();
        g_shared.chip_code = chip;
        g_shared.colour_depth = depth;
        g_shared.display_width = width;
        g_shared.display_height = height;
    }
    static Bytes& file() { return testing::fake().files[kSettingsFileName]; }
    static bool file_exists() { return testing::fake().files.count(kSettingsFileName) != 0; }
    // Every table set to its own pattern, so misplaced tables show.
    static void fill_tables() {
        g_shared.current_table = pattern(10);
        for (int c = 0; c < kDepthClasses; ++c) g_shared.stored_tables[c] = pattern(static_cast<std::uint8_t>(20 + c));
    }
    static void expect_tables_untouched() {
        EXPECT_TRUE(same(g_shared.current_table, pattern(10)));
        for (int c = 0; c < kDepthClasses; ++c)
            EXPECT_TRUE(same(g_shared.stored_tables[c], pattern(static_cast<std::uint8_t>(20 + c)))) << c;
    }
    // A complete file for chip 0x203 at 800x600 with tables 31, 32, 33.
    static Bytes valid_file(std::uint8_t reserved = 0) {
        Bytes b = header_203_800x600(reserved);
        for (std::uint8_t seed : {31, 32, 33}) {
            TimingTable t = pattern(seed);
            Bytes table(2084);
            for (int k = 0; k < 4; ++k) table[k] = static_cast<std::uint8_t>(t.default_frequency >> (8 * k));
            for (int i = 0; i < kStatusEntries; ++i)
                for (int k = 0; k < 4; ++k) table[4 + 4 * i + k] = static_cast<std::uint8_t>(t.status[i] >> (8 * k));
            std::memcpy(&table[84], t.blocks, 2000);
            b.insert(b.end(), table.begin(), table.end());
        }
        return b;
    }
};

TEST_F(SettingsFile, WithoutAFileNothingIsReadAndCloseCreatesTheWholeFile) {
    fill_tables();
    EXPECT_FALSE(read_settings_file());
    expect_tables_untouched();
    EXPECT_FALSE(file_exists());

    EXPECT_EQ(write_settings_file(), 1);
    ASSERT_EQ(file().size(), 6390u);
    EXPECT_EQ(Bytes(file().begin(), file().begin() + 138), header_203_800x600());
    // At 16 bits per pixel the 16-bit class is the current table.
    expect_table_at(file(), kTable1, pattern(20));
    expect_table_at(file(), kTable2, pattern(10));
    expect_table_at(file(), kTable3, pattern(22));
}

TEST_F(SettingsFile, ClassesFollowTheDepthBothWays) {
    use(0x203, 800, 600, 8);
    fill_tables();
    ASSERT_EQ(write_settings_file(), 1);
    // At 8 bits per pixel: current table first, the 16- and 24-bit stored tables after it.
    expect_table_at(file(), kTable1, pattern(10));
    expect_table_at(file(), kTable2, pattern(21));
    expect_table_at(file(), kTable3, pattern(22));
    Bytes written = file();

    // Read back in another process's session at 16 bits per pixel.
    g_shared = SharedState{};
    g_shared.chip_code = 0x203;
    g_shared.colour_depth = 16;
    g_shared.display_width = 800;
    g_shared.display_height = 600;
    g_shared.stored_tables[kDepth16] = pattern(99);
    ASSERT_TRUE(read_settings_file());
    EXPECT_TRUE(same(g_shared.stored_tables[kDepth8], pattern(10)));
    EXPECT_TRUE(same(g_shared.current_table, pattern(21)));
    EXPECT_TRUE(same(g_shared.stored_tables[kDepth24], pattern(22)));
    EXPECT_TRUE(same(g_shared.stored_tables[kDepth16], pattern(99))) << "the idle stored table is not read into";

    ASSERT_EQ(write_settings_file(), 1);
    EXPECT_EQ(file(), written);

    // 15 bits per pixel is the same class as 16; 24 takes the third table.
    for (int depth : {15, 24}) {
        use(0x203, 800, 600, depth);
        file() = written;
        ASSERT_TRUE(read_settings_file()) << depth;
        const TimingTable& current = g_shared.current_table;
        EXPECT_TRUE(same(current, depth == 15 ? pattern(21) : pattern(22))) << depth;
    }
}

TEST_F(SettingsFile, AFileOfAnotherChipOrModeOrByteOrderIsRefusedAndLeftUntilClose) {
    struct Case {
        const char* what;
        std::size_t at;
        Bytes replaced;
    };
    const Case cases[] = {
        {"magic in the other byte order", 0, {0x12, 0x34, 0x56, 0x78}},
        {"chip 0x202", 4, {0x02, 0x02}},
        {"width 801", 6, {0x21, 0x03}},
        {"height 601", 8, {0x59, 0x02}},
    };
    for (const Case& c : cases) {
        SetUp();
        fill_tables();
        Bytes bad = valid_file();
        std::copy(c.replaced.begin(), c.replaced.end(), bad.begin() + static_cast<std::ptrdiff_t>(c.at));
        file() = bad;
        EXPECT_FALSE(read_settings_file()) << c.what;
        expect_tables_untouched();
        EXPECT_EQ(file(), bad) << c.what;
    }
}

TEST_F(SettingsFile, WrittenAt800x600ReadAt640x480IsRefusedThenOverwritten) {
    fill_tables();
    ASSERT_EQ(write_settings_file(), 1);
    use(0x203, 640, 480, 16);
    g_shared.current_table = pattern(40);
    EXPECT_FALSE(read_settings_file());
    EXPECT_TRUE(same(g_shared.current_table, pattern(40)));
    ASSERT_EQ(write_settings_file(), 1);
    ASSERT_EQ(file().size(), 6390u);
    const std::uint8_t size_640x480[] = {0x80, 0x02, 0xE0, 0x01};
    EXPECT_EQ(0, std::memcmp(&file()[6], size_640x480, 4));
    expect_table_at(file(), kTable2, pattern(40));
}

TEST_F(SettingsFile, AFileCutShortLoadsNothingAndIsRewrittenWhole) {
    const Bytes whole = valid_file();
    for (std::size_t size : {std::size_t{138}, std::size_t{139}, std::size_t{2222}, std::size_t{6389}}) {
        SetUp();
        fill_tables();
        file() = Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(read_settings_file()) << size;
        expect_tables_untouched();
        ASSERT_EQ(write_settings_file(), 1);
        EXPECT_EQ(file().size(), 6390u);
    }
}

TEST_F(SettingsFile, ReservedBytesAndATailBeyondTheTablesDoNotMatter) {
    for (std::uint8_t reserved : {0x00, 0x5A, 0xFF}) {
        SetUp();
        file() = valid_file(reserved);
        file().insert(file().end(), 50, 0xEE);
        ASSERT_TRUE(read_settings_file()) << int{reserved};
        EXPECT_TRUE(same(g_shared.stored_tables[kDepth8], pattern(31)));
        EXPECT_TRUE(same(g_shared.current_table, pattern(32)));
        EXPECT_TRUE(same(g_shared.stored_tables[kDepth24], pattern(33)));
    }
}

TEST_F(SettingsFile, ValuesOutOfRangeAreLoadedAsTheyAre) {
    Bytes b = valid_file();
    // Table 2's default frequency index 0x7FFFFFFF, its status entry 3 = -1.
    const std::uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0x7F};
    std::memcpy(&b[kTable2], huge, 4);
    std::memset(&b[kTable2 + 4 + 4 * 3], 0xFF, 4);
    file() = b;
    ASSERT_TRUE(read_settings_file());
    EXPECT_EQ(g_shared.current_table.default_frequency, 0x7FFFFFFF);
    EXPECT_EQ(g_shared.current_table.status[3], -1);
}

TEST_F(SettingsFile, AProcessThatNeverSetItsDisplaySizeWritesZerosThatTheNextReadRefuses) {
    g_shared.display_width = 0;
    g_shared.display_height = 0;
    ASSERT_EQ(write_settings_file(), 1);
    const std::uint8_t zero_size[] = {0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(&file()[6], zero_size, 4));
    g_shared.display_width = 800;
    g_shared.display_height = 600;
    EXPECT_FALSE(read_settings_file());
}

TEST_F(SettingsFile, WritingOverALongerFileKeepsItsTail) {
    Bytes old(7000, 0xAB);
    file() = old;
    fill_tables();
    ASSERT_EQ(write_settings_file(), 1);
    ASSERT_EQ(file().size(), 7000u);
    EXPECT_EQ(Bytes(file().begin(), file().begin() + 138), header_203_800x600());
    expect_table_at(file(), kTable3, pattern(22));
    EXPECT_EQ(Bytes(file().begin() + 6390, file().end()), Bytes(610, 0xAB));
}

TEST_F(SettingsFile, AWriteThatFailsReportsZero) {
    for (int room : {0, 138, 6389}) {
        SetUp();
        testing::fake().short_write_after = room;
        EXPECT_EQ(write_settings_file(), 0) << room;
    }

    SetUp();
    Bytes old = valid_file();
    file() = old;
    testing::fake().files_writable = false;
    EXPECT_EQ(write_settings_file(), 0);
    EXPECT_EQ(file(), old);
}

// data/duoscope_203_800x600.ini was laid out by hand from the format (a
// separate script, not this code): chip 0x203 at 800x600, tables 31, 32, 33
// with negative status entries. Both the 64-bit and the 32-bit runs read it
// and write it back byte for byte, so a file moves between word sizes.
TEST_F(SettingsFile, TheCommittedFileReadsAndWritesBackByteForByteAtThisWordSize) {
    std::ifstream in(DUO_TEST_DATA_DIR "/duoscope_203_800x600.ini", std::ios::binary);
    const Bytes golden{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(golden.size(), 6390u) << "test data missing";
    file() = golden;
    ASSERT_TRUE(read_settings_file());
    EXPECT_TRUE(same(g_shared.stored_tables[kDepth8], pattern(31)));
    EXPECT_TRUE(same(g_shared.current_table, pattern(32)));
    EXPECT_TRUE(same(g_shared.stored_tables[kDepth24], pattern(33)));

    file().clear();
    ASSERT_EQ(write_settings_file(), 1);
    EXPECT_EQ(file(), golden);
}

TEST_F(SettingsFile, AtADepthWithoutAClassNoTableIsWrittenOrLoaded) {
    use(0x203, 800, 600, 32);
    fill_tables();
    ASSERT_EQ(write_settings_file(), 1);
    EXPECT_EQ(file(), header_203_800x600());

    file() = valid_file();
    EXPECT_TRUE(read_settings_file());
    expect_tables_untouched();
}

} // namespace
} // namespace duo
