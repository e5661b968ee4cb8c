// The input is the content of duoscope.ini. It is read at each depth class
// for chip 0x203 at 800x600 and written back: the write always yields the
// whole file, an accepted file's tables come back byte for byte, and a
// refused one leaves the tables alone.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lib/core/state.h"
#include "lib/timing/settings_file.h"
#include "tests/native/fake_platform.h"

namespace {

constexpr std::size_t kMaxInput = 8192;
constexpr std::uint8_t kUntouched = 0x5A;

void check(bool ok) {
    if (!ok) std::abort();
}

bool tables_untouched() {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&duo::g_shared.current_table);
    if (std::any_of(bytes, bytes + sizeof(duo::TimingTable), [](std::uint8_t b) { return b != kUntouched; }))
        return false;
    bytes = reinterpret_cast<const std::uint8_t*>(duo::g_shared.stored_tables);
    return std::all_of(bytes, bytes + sizeof duo::g_shared.stored_tables,
                       [](std::uint8_t b) { return b == kUntouched; });
}

void round_trip(const std::uint8_t* data, std::size_t size, int depth) {
    using namespace duo;
    testing::reset_world("s3-765", {800, 600, depth});
    g_shared.chip_code = 0x203;
    g_shared.colour_depth = depth;
    g_shared.display_width = 800;
    g_shared.display_height = 600;
    std::memset(&g_shared.current_table, kUntouched, sizeof g_shared.current_table);
    std::memset(g_shared.stored_tables, kUntouched, sizeof g_shared.stored_tables);

    std::vector<std::uint8_t>& file = testing::fake().files[kSettingsFileName];
    file.assign(data, data + size);
    bool accepted = read_settings_file();
    check(accepted ? size >= static_cast<std::size_t>(kSettingsFileSize) : tables_untouched());

    check(write_settings_file() == 1);
    check(file.size() == std::max(size, static_cast<std::size_t>(kSettingsFileSize)));
    // Magic, chip 0x203, 800, 600.
    const std::uint8_t header[] = {0x78, 0x56, 0x34, 0x12, 0x03, 0x02, 0x20, 0x03, 0x58, 0x02};
    check(std::memcmp(file.data(), header, sizeof header) == 0);
    if (accepted) {
        check(std::memcmp(file.data() + kSettingsHeaderSize, data + kSettingsHeaderSize,
                          kSettingsFileSize - kSettingsHeaderSize) == 0);
    }
    if (size > static_cast<std::size_t>(kSettingsFileSize))
        check(std::memcmp(file.data() + kSettingsFileSize, data + kSettingsFileSize, size - kSettingsFileSize) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    for (int depth : {8, 16, 24}) round_trip(data, size, depth);
    return 0;
}
