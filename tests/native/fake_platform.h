// A platform for native tests: the port driver is the simulated adapter,
// posted messages are recorded.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <memory>
#include <string_view>
#include <vector>

#include "lib/core/types.h"
#include "sim/adapter.h"

namespace duo::testing {

struct PostedMessage {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
    bool operator==(const PostedMessage&) const = default;
};

struct FakePlatform {
    std::unique_ptr<sim::AdapterState> adapter = std::make_unique<sim::AdapterState>();
    bool driver_present = true;
    // The way Init takes: the driver's handle, or (a Windows 95 PC without
    // the driver) the library's own port access to the adapter's ports.
    // Kept by reset_world.
    bool own_ports = false;
    sim::DesktopMode desktop{800, 600, 16}; // what the screen reports
    std::uintptr_t cursor = 0x77;            // the cursor shown; 0 while hidden
    int cursor_hides = 0;
    int opens = 0;
    int closes = 0;
    std::vector<std::uint32_t> driver_calls; // control codes, in order
    std::vector<std::uint8_t> last_request;  // the input bytes of the last call
    std::vector<PostedMessage> posted;
    // Processes: the calling one, those ended from outside, and the owners
    // of windows (a window not listed has owner 0).
    std::uint32_t process_id = 1;
    std::set<std::uint32_t> ended_processes;
    std::map<WindowHandle, std::uint32_t> window_owners;

    // Files by name, as the settings file calls see them; no search path.
    std::map<std::string, std::vector<std::uint8_t>> files;
    bool files_writable = true;     // false: opening for writing fails
    int bad_closes = 0;             // closes of a handle that is not open
    int short_write_after = -1;     // >= 0: writes stop after this many bytes
};

FakePlatform& fake();

// The first simulated adapter that detection must find as `chip`, or nullptr.
const char* adapter_for_chip(std::int32_t chip);

// Fresh library state (as at first load) and a freshly powered adapter on a
// desktop drawn from `seed`; the calling test process holds client slot 0
// with its driver open.
void reset_world(std::string_view adapter = "vga", sim::DesktopMode mode = {800, 600, 16},
                 std::uint32_t seed = sim::run_seed());

} // namespace duo::testing
