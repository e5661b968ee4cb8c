// Tests whose own process holds the simulated driver too, so the adapter
// stays between the client processes and can be read here. Clients run in a
// fresh working directory, where the settings file goes.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "sim/adapter.h"
#include "tests/wine/child_process.h"
#include "tests/wine/test_support.h"

namespace duo::testing {

class AdapterFixture : public ::testing::Test {
protected:
    explicit AdapterFixture(const char* directory) : directory_(directory) {}
    void SetUp() override {
        sim_ = LoadLibraryA("duogate_sim.dll");
        ASSERT_NE(sim_, nullptr);
        state_fn_ = reinterpret_cast<sim::AdapterState*(WINAPI*)(BOOL)>(
            reinterpret_cast<void*>(GetProcAddress(sim_, "DuoGateSim_State")));
        ASSERT_NE(state_fn_, nullptr);
        dir = fresh_directory(directory_);
    }
    void TearDown() override {
        SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
        DeleteFileA(settings_file().c_str());
        if (sim_) FreeLibrary(sim_);
    }
    // The named adapter powered on afresh; nullptr for none.
    sim::AdapterState* power_on(const char* adapter) {
        SetEnvironmentVariableA("DUOGATE_ADAPTER", adapter);
        return state_fn_(TRUE);
    }
    // A client; without an adapter name it finds no driver at all.
    std::unique_ptr<ChildProcess> client(bool with_adapter = true) {
        char name[64] = {};
        GetEnvironmentVariableA("DUOGATE_ADAPTER", name, sizeof name);
        if (!with_adapter) SetEnvironmentVariableA("DUOGATE_ADAPTER", nullptr);
        auto c = std::make_unique<ChildProcess>("\"" + program_dir() + "\\duoclient.exe\"", dir.c_str());
        if (!with_adapter) SetEnvironmentVariableA("DUOGATE_ADAPTER", name);
        EXPECT_EQ(c->read_line(), "loaded");
        return c;
    }
    std::string settings_file() const { return dir + "\\duoscope.ini"; }
    std::vector<char> settings_bytes() const {
        std::ifstream in(settings_file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string dir;

private:
    const char* directory_;
    HMODULE sim_ = nullptr;
    sim::AdapterState* (WINAPI* state_fn_)(BOOL) = nullptr;
};

} // namespace duo::testing
