// "duoscope.ini": the user's timing tables, frequency test results and
// default frequency, one chip and one resolution per file. Binary, 6390
// bytes, little-endian.
#pragma once
#include <cstdint>

namespace duo {

inline constexpr char kSettingsFileName[] = "duoscope.ini";
inline constexpr std::uint32_t kSettingsMagic = 0x12345678;
inline constexpr int kSettingsHeaderSize = 138;
inline constexpr int kSettingsFileSize = 6390;

// Reads the three timing tables into the current and stored tables when the
// file belongs to this chip and resolution. True when accepted.
bool read_settings_file();

// Writes the tables; 1 when the whole file was written, 0 otherwise.
int write_settings_file();

} // namespace duo
