// The settings file calls over OpenFile: an existing file is looked for along
// its search path (the program's directory first, then the current
// directory, the system and Windows directories, PATH); OF_CREATE makes the
// file in the current directory.
#include <windows.h>

#include "lib/timing/file_io.h"

namespace duo::platform {

FileHandle open_file(const char* name, FileOpen mode) {
    UINT style = OF_READ;
    if (mode == FileOpen::kReadWrite) style = OF_READWRITE;
    if (mode == FileOpen::kCreate) style = OF_CREATE | OF_READWRITE;
    OFSTRUCT found{};
    HFILE file = OpenFile(name, &found, style);
    return file == HFILE_ERROR ? kNoFile : static_cast<FileHandle>(file);
}

std::int32_t read_file(FileHandle file, void* buffer, std::uint32_t size) {
    UINT n = _lread(static_cast<HFILE>(file), buffer, size);
    return n == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<std::int32_t>(n);
}

std::int32_t write_file(FileHandle file, const void* buffer, std::uint32_t size) {
    // A zero count would cut the file at the current position instead.
    if (size == 0) return 0;
    UINT n = _lwrite(static_cast<HFILE>(file), static_cast<const char*>(buffer), size);
    return n == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<std::int32_t>(n);
}

void close_file(FileHandle file) { _lclose(static_cast<HFILE>(file)); }

} // namespace duo::platform
