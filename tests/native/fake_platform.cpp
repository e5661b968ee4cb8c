#include "tests/native/fake_platform.h"

#include "lib/core/clients.h"
#include "lib/core/platform.h"
#include "lib/core/state.h"
#include "sim/driver_dispatch.h"

namespace duo {
namespace testing {

namespace {
constexpr DriverHandle kFakeHandle = 0x5150;
}

FakePlatform& fake() {
    static FakePlatform platform;
    return platform;
}

void reset_world(std::string_view adapter, sim::DesktopMode mode) {
    FakePlatform& f = fake();
    f.driver_present = true;
    f.opens = f.closes = 0;
    f.driver_calls.clear();
    f.posted.clear();
    sim::power_on(*f.adapter, *sim::find_adapter(adapter), mode);
    g_shared = SharedState{};
    g_process = ProcessState{};
    attach_process();
    g_process.driver = kFakeHandle;
}

} // namespace testing

namespace platform {

DriverHandle open_driver() {
    auto& f = testing::fake();
    ++f.opens;
    return f.driver_present ? testing::kFakeHandle : 0;
}

void close_driver(DriverHandle) { ++testing::fake().closes; }

bool device_io_control(DriverHandle handle, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                       std::uint32_t out_size) {
    auto& f = testing::fake();
    f.driver_calls.push_back(code);
    if (handle != testing::kFakeHandle || !f.driver_present) return false;
    return sim::dispatch(*f.adapter, code, in, in_size, out, out_size);
}

bool post_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    testing::fake().posted.push_back({window, message, wparam, lparam});
    return true;
}

} // namespace platform
} // namespace duo
