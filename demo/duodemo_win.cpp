// A small client of the library: loads it, asks every query and prints the
// answers with the error code each leaves behind.
#include <windows.h>

#include <cstdio>

namespace {

using QueryFn = int(WINAPI*)(int, int);

struct QueryCase {
    int code, index;
    const char* meaning;
};

constexpr QueryCase kQueries[] = {
    {100, 0, "chip code"},
    {101, 0, "current frequency index (16: line-double)"},
    {102, 0, "library version in hundredths"},
    {103, 0, "last error code"},
    {104, 0, "status of frequency index 0"},
    {104, 9, "status of frequency index 9"},
    {104, 20, "status index out of range"},
    {105, 0, "default frequency index"},
    {999, 0, "unknown query"},
    {103, 0, "last error code"},
};

} // namespace

int main() {
    HMODULE library = LoadLibraryA("duoscope.dll");
    if (!library) {
        std::printf("duoscope.dll could not be loaded (error %lu)\n", GetLastError());
        return 1;
    }
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(5))));
    if (!query) {
        std::printf("duoscope.dll has no export with ordinal 5\n");
        return 1;
    }
    std::printf("Query_VR_System (ordinal 5)\n");
    for (const QueryCase& q : kQueries) {
        int value = query(q.code, q.index);
        int error = query(103, 0);
        std::printf("  %4d %3d -> %6d   error %3d   %s\n", q.code, q.index, value, error, q.meaning);
    }
    FreeLibrary(library);
    return 0;
}
