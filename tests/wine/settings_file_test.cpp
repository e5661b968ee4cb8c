// The settings file through the real OpenFile calls, in this process: where
// the file is created and found, and its bytes on disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lib/core/state.h"
#include "lib/timing/settings_file.h"

namespace duo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void save(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TimingTable pattern(std::uint8_t seed) {
    TimingTable t{};
    t.default_frequency = seed;
    for (int i = 0; i < kStatusEntries; ++i) t.status[i] = seed + i;
    for (int i = 0; i < kStatusEntries; ++i)
        for (int j = 0; j < kTimingBlockSize; ++j) t.blocks[i].bytes[j] = static_cast<std::uint8_t>(seed + 3 * i + j);
    return t;
}

bool same(const TimingTable& a, const TimingTable& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Each test runs in a fresh, empty current directory. A settings file that
// another test left next to this program would be found first, so it is
// moved aside meanwhile.
class SettingsFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        char buffer[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, buffer);
        old_directory = buffer;
        GetModuleFileNameA(nullptr, buffer, MAX_PATH);
        program_directory = buffer;
        program_directory.resize(program_directory.find_last_of('\\'));
        next_to_program = program_directory + "\\" + kSettingsFileName;
        aside = next_to_program + ".aside";
        moved_aside = MoveFileA(next_to_program.c_str(), aside.c_str()) != 0;

        GetTempPathA(MAX_PATH, buffer);
        directory = std::string(buffer) + "duoscope-settings-" + std::to_string(GetCurrentProcessId()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(directory.c_str()));
        in_directory = directory + "\\" + kSettingsFileName;

        g_shared = SharedState{};
        g_process = ProcessState{};
        g_shared.chip_code = 0x203;
        g_shared.colour_depth = 16;
        g_shared.display_width = 800;
        g_shared.display_height = 600;
        g_shared.current_table = pattern(10);
        for (int c = 0; c < kDepthClasses; ++c) g_shared.stored_tables[c] = pattern(static_cast<std::uint8_t>(20 + c));
    }
    void TearDown() override {
        SetCurrentDirectoryA(old_directory.c_str());
        DeleteFileA(in_directory.c_str());
        RemoveDirectoryA(directory.c_str());
        DeleteFileA(next_to_program.c_str());
        if (moved_aside) MoveFileA(aside.c_str(), next_to_program.c_str());
    }
    std::string old_directory, program_directory, next_to_program, aside, directory, in_directory;
    bool moved_aside = false;
};

TEST_F(SettingsFileOnDisk, CreatedInTheCurrentDirectoryAndReadBack) {
    ASSERT_EQ(write_settings_file(), 1);
    EXPECT_FALSE(exists(next_to_program));
    Bytes disk = load(in_directory);
    ASSERT_EQ(disk.size(), 6390u);
    // Magic 78 56 34 12, chip 03 02, width 20 03, height 58 02.
    const std::uint8_t header[] = {0x78, 0x56, 0x34, 0x12, 0x03, 0x02, 0x20, 0x03, 0x58, 0x02};
    EXPECT_EQ(0, std::memcmp(disk.data(), header, sizeof header));
    // The 16-bit class is current: its default frequency index 10 opens the second table.
    const std::uint8_t ten[] = {0x0A, 0x00, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(&disk[2222], ten, 4));

    g_shared.current_table = TimingTable{};
    for (TimingTable& t : g_shared.stored_tables) t = TimingTable{};
    ASSERT_TRUE(read_settings_file());
    EXPECT_TRUE(same(g_shared.current_table, pattern(10)));
    EXPECT_TRUE(same(g_shared.stored_tables[kDepth8], pattern(20)));
    EXPECT_TRUE(same(g_shared.stored_tables[kDepth24], pattern(22)));
}

TEST_F(SettingsFileOnDisk, AnExistingLongerFileIsWrittenOverNotCut) {
    save(in_directory, Bytes(7000, 0xAB));
    ASSERT_EQ(write_settings_file(), 1);
    Bytes disk = load(in_directory);
    ASSERT_EQ(disk.size(), 7000u);
    EXPECT_EQ(disk[0], 0x78);
    EXPECT_EQ(Bytes(disk.begin() + 6390, disk.end()), Bytes(610, 0xAB));
}

TEST_F(SettingsFileOnDisk, AFileNextToTheProgramIsFoundAndUpdatedThere) {
    ASSERT_EQ(write_settings_file(), 1);
    Bytes written = load(in_directory);
    ASSERT_TRUE(MoveFileA(in_directory.c_str(), next_to_program.c_str()));

    g_shared.current_table = TimingTable{};
    ASSERT_TRUE(read_settings_file()) << "OF_READ looks in the program's directory";
    EXPECT_TRUE(same(g_shared.current_table, pattern(10)));

    g_shared.current_table = pattern(40);
    ASSERT_EQ(write_settings_file(), 1);
    EXPECT_FALSE(exists(in_directory)) << "the file found is updated, not a new one created";
    Bytes updated = load(next_to_program);
    ASSERT_EQ(updated.size(), 6390u);
    EXPECT_NE(updated, written);
    EXPECT_EQ(updated[2222], 40);
}

} // namespace
} // namespace duo
