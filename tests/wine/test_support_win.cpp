#include "tests/wine/test_support.h"

#include <windows.h>

#include <sstream>

#include "tests/wine/child_process.h"

namespace duo::testing {

std::string program_dir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/"));
}

std::string fresh_directory(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "duoscope-" + name + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    DeleteFileA((dir + "\\duoscope.ini").c_str());
    DeleteFileA((program_dir() + "\\duoscope.ini").c_str());
    return dir;
}

std::vector<ListedAdapter> simulated_adapters() {
    ChildProcess list("\"" + program_dir() + "\\duogate-sim.exe\" --list");
    std::vector<ListedAdapter> adapters;
    for (std::string line = list.read_line(); line != "<eof>" && line != "<timeout>"; line = list.read_line()) {
        std::istringstream in(line);
        ListedAdapter a;
        std::string code;
        if (in >> a.name >> code) {
            a.chip = static_cast<int>(std::stoul(code, nullptr, 16));
            adapters.push_back(a);
        }
    }
    list.wait();
    return adapters;
}

} // namespace duo::testing
