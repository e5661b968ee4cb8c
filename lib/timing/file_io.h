// The platform's file calls as the settings file uses them (OpenFile with
// its search path, _lread, _lwrite, _lclose).
#pragma once
#include <cstdint>

namespace duo::platform {

using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class FileOpen {
    kRead,      // an existing file along the search path
    kReadWrite, // an existing file along the search path
    kCreate,    // a new (or truncated) file in the current directory
};

FileHandle open_file(const char* name, FileOpen mode);
// Byte counts transferred; -1 on failure.
std::int32_t read_file(FileHandle file, void* buffer, std::uint32_t size);
std::int32_t write_file(FileHandle file, const void* buffer, std::uint32_t size);
void close_file(FileHandle file);

} // namespace duo::platform
