// A library client for tests: loads duoscope.dll and carries out one command
// per line of standard input, answering one line each.
//   query CODE INDEX   -> "VALUE"
//   exit               -> the process ends
// A refused load answers "refused" and exits with status 3.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

template <typename F>
F by_ordinal(HMODULE library, int ordinal) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal))));
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    HMODULE library = LoadLibraryA("duoscope.dll");
    if (!library) {
        std::printf("refused\n");
        return 3;
    }
    std::printf("loaded\n");
    auto query = by_ordinal<int(WINAPI*)(int, int)>(library, 5);
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        int a = 0, b = 0;
        if (std::sscanf(line, "query %d %d", &a, &b) == 2) {
            std::printf("%d\n", query(a, b));
        } else if (std::strncmp(line, "exit", 4) == 0) {
            break;
        } else {
            std::printf("unknown command\n");
        }
    }
    FreeLibrary(library);
    return 0;
}
