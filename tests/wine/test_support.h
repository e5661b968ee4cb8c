// What the Wine tests of the library share: where the binaries are, a clean
// working directory for client processes, and the simulated adapters.
#pragma once
#include <string>
#include <vector>

namespace duo::testing {

// The folder of this test program, where the library and its helpers are.
std::string program_dir();

// An empty working directory for clients (settings files are created in the
// working directory); a settings file next to the program, which OpenFile
// would find first, is removed.
std::string fresh_directory(const char* name);

struct ListedAdapter {
    std::string name;
    int chip; // the chip code detection must give, 0 for none
};

// The simulated adapters, as duogate-sim.exe --list names them.
std::vector<ListedAdapter> simulated_adapters();

} // namespace duo::testing
