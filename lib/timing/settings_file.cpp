#include "lib/timing/settings_file.h"

#include <cstring>

#include "lib/hw/adapter_state.h"
#include "lib/timing/file_io.h"
#include "lib/timing/timing_state.h"

namespace duo {

namespace {

constexpr int kTableBytes = 2084;
constexpr int kTablesBytes = kDepthClasses * kTableBytes;
static_assert(kSettingsHeaderSize + kTablesBytes == kSettingsFileSize);

// Header field offsets; bytes 10-137 are reserved and written as zero.
constexpr int kMagicAt = 0;
constexpr int kChipAt = 4;
constexpr int kWidthAt = 6;
constexpr int kHeightAt = 8;

using Bytes = std::uint8_t[kSettingsFileSize];

void put_u16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put_u32(std::uint8_t* at, std::uint32_t value) {
    put_u16(at, value);
    put_u16(at + 2, value >> 16);
}

std::uint32_t get_u16(const std::uint8_t* at) { return at[0] | static_cast<std::uint32_t>(at[1]) << 8; }

std::uint32_t get_u32(const std::uint8_t* at) { return get_u16(at) | get_u16(at + 2) << 16; }

// The file carries the classes in the order 8, 16, 24 whatever the depth at
// the time; the current class lives in the current table, the others in
// their stored tables.
TimingTable& table_of_class(int file_class, DepthClass current) {
    return file_class == current ? g_timing.current_table : g_timing.stored_tables[file_class];
}

void encode_table(const TimingTable& table, std::uint8_t* out) {
    put_u32(out, static_cast<std::uint32_t>(table.default_frequency));
    for (int i = 0; i < kStatusEntries; ++i) put_u32(out + 4 + 4 * i, static_cast<std::uint32_t>(table.status[i]));
    for (int i = 0; i < kStatusEntries; ++i)
        std::memcpy(out + 84 + kTimingBlockSize * i, table.blocks[i].bytes, kTimingBlockSize);
}

void decode_table(const std::uint8_t* in, TimingTable& table) {
    table.default_frequency = static_cast<std::int32_t>(get_u32(in));
    for (int i = 0; i < kStatusEntries; ++i) table.status[i] = static_cast<std::int32_t>(get_u32(in + 4 + 4 * i));
    for (int i = 0; i < kStatusEntries; ++i)
        std::memcpy(table.blocks[i].bytes, in + 84 + kTimingBlockSize * i, kTimingBlockSize);
}

bool header_matches(const std::uint8_t* header) {
    return get_u32(header + kMagicAt) == kSettingsMagic &&
           static_cast<std::int32_t>(get_u16(header + kChipAt)) == g_adapter.chip_code &&
           static_cast<std::int32_t>(get_u16(header + kWidthAt)) == g_adapter.display_width &&
           static_cast<std::int32_t>(get_u16(header + kHeightAt)) == g_adapter.display_height;
}

// Reads exactly size bytes or reports failure.
bool read_all(platform::FileHandle file, std::uint8_t* into, int size) {
    return platform::read_file(file, into, static_cast<std::uint32_t>(size)) == size;
}

bool write_all(platform::FileHandle file, const std::uint8_t* from, int size) {
    return platform::write_file(file, from, static_cast<std::uint32_t>(size)) == size;
}

} // namespace

bool read_settings_file() {
    platform::FileHandle file = platform::open_file(kSettingsFileName, platform::FileOpen::kRead);
    if (file == platform::kNoFile) return false;
    // Into scratch first: a file cut short after its header loads nothing,
    // rather than a mix of its tables and the previous ones.
    Bytes bytes = {};
    bool accepted = read_all(file, bytes, kSettingsHeaderSize) && header_matches(bytes) &&
                    read_all(file, bytes + kSettingsHeaderSize, kTablesBytes);
    platform::close_file(file);
    if (!accepted) return false;

    DepthClass current = depth_class_of(g_adapter.colour_depth);
    if (current != kNoDepthClass) {
        for (int c = 0; c < kDepthClasses; ++c)
            decode_table(bytes + kSettingsHeaderSize + c * kTableBytes, table_of_class(c, current));
    }
    return true;
}

int write_settings_file() {
    platform::FileHandle file = platform::open_file(kSettingsFileName, platform::FileOpen::kReadWrite);
    if (file == platform::kNoFile) file = platform::open_file(kSettingsFileName, platform::FileOpen::kCreate);
    if (file == platform::kNoFile) return 0;

    Bytes bytes = {};
    put_u32(bytes + kMagicAt, kSettingsMagic);
    put_u16(bytes + kChipAt, static_cast<std::uint32_t>(g_adapter.chip_code));
    put_u16(bytes + kWidthAt, static_cast<std::uint32_t>(g_adapter.display_width));
    put_u16(bytes + kHeightAt, static_cast<std::uint32_t>(g_adapter.display_height));
    int size = kSettingsHeaderSize;
    DepthClass current = depth_class_of(g_adapter.colour_depth);
    if (current != kNoDepthClass) {
        for (int c = 0; c < kDepthClasses; ++c)
            encode_table(table_of_class(c, current), bytes + kSettingsHeaderSize + c * kTableBytes);
        size = kSettingsFileSize;
    }
    // Written over the start of an existing file: a longer tail stays.
    bool complete = write_all(file, bytes, size);
    platform::close_file(file);
    return complete ? 1 : 0;
}

} // namespace duo
