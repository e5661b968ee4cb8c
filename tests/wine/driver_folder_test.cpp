// The simulated driver comes from the library's own folder only: a client
// kept in another folder still initialises on the simulated adapter, and a
// DLL of the driver's name beside that client is never loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/child_process.h"
#include "tests/wine/test_support.h"

namespace {

using duo::testing::ChildProcess;
using duo::testing::program_dir;

TEST(DriverFolder, AClientElsewhereUsesTheLibrarysDriverAndNeverTheDecoyBesideIt) {
    const std::string bin = program_dir();
    const std::string dir = duo::testing::fresh_directory("driver-folder");
    const std::string client = dir + "\\duoclient.exe", decoy = dir + "\\duogate_sim.dll";
    const std::string mark = decoy + ".loaded";
    ASSERT_TRUE(CopyFileA((bin + "\\duoclient.exe").c_str(), client.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((bin + "\\decoy_sim.dll").c_str(), decoy.c_str(), FALSE));
    DeleteFileA(mark.c_str());
    // The client finds the library on its PATH, as one installed elsewhere.
    std::vector<char> path(32768);
    const DWORD len = GetEnvironmentVariableA("PATH", path.data(), static_cast<DWORD>(path.size()));
    const std::string old_path(path.data(), len < path.size() ? len : 0);
    SetEnvironmentVariableA("PATH", (bin + ";" + old_path).c_str());
    SetEnvironmentVariableA("DUOGATE_ADAPTER", "s3-765");
    {
        ChildProcess c("\"" + client + "\"", dir.c_str());
        ASSERT_TRUE(c.started());
        EXPECT_EQ(c.read_line(), "loaded");
        EXPECT_EQ(c.ask("init own"), "1 0");
        EXPECT_EQ(c.ask("query 100 0"), std::to_string(0x203));
        EXPECT_EQ(c.ask("close 0"), "1 0");
        c.send_line("exit");
        EXPECT_EQ(c.wait(), 0u);
    }
    SetEnvironmentVariableA("PATH", old_path.c_str());
    SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
    EXPECT_EQ(GetFileAttributesA(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "the decoy beside the client was loaded";
    DeleteFileA(mark.c_str());
    DeleteFileA(decoy.c_str());
    DeleteFileA(client.c_str());
}

} // namespace
