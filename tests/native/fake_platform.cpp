#include "tests/native/fake_platform.h"

#include <algorithm>

#include "lib/core/clients.h"
#include "lib/core/platform.h"
#include "lib/core/state.h"
#include "lib/timing/file_io.h"
#include "sim/driver_dispatch.h"

namespace duo {
namespace testing {

namespace {
constexpr DriverHandle kFakeHandle = 0x5150;
}

const char* adapter_for_chip(std::int32_t chip) {
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (int i = 0; i < count; ++i)
        if (models[i].expected_chip == chip) return models[i].name;
    return nullptr;
}

FakePlatform& fake() {
    static FakePlatform platform;
    return platform;
}

void reset_world(std::string_view adapter, sim::DesktopMode mode, std::uint32_t seed) {
    FakePlatform& f = fake();
    f.driver_present = true;
    f.desktop = mode;
    f.cursor = 0x77;
    f.cursor_hides = 0;
    f.opens = f.closes = 0;
    f.driver_calls.clear();
    f.posted.clear();
    f.process_id = 1;
    f.ended_processes.clear();
    f.window_owners.clear();
    f.files.clear();
    f.files_writable = true;
    f.short_write_after = -1;
    f.bad_closes = 0;
    sim::power_on(*f.adapter, *sim::find_adapter(adapter), mode, seed);
    g_shared = SharedState{};
    g_process = ProcessState{};
    attach_process();
    g_process.driver = f.own_ports ? platform::kOwnPorts : kFakeHandle;
}

} // namespace testing

namespace platform {

DriverHandle open_driver() {
    auto& f = testing::fake();
    ++f.opens;
    if (!f.driver_present) return 0;
    return f.own_ports ? kOwnPorts : testing::kFakeHandle;
}

std::uint8_t port_in(std::uint16_t port) { return sim::port_read(*testing::fake().adapter, port); }

void port_out(std::uint16_t port, std::uint8_t value) { sim::port_write(*testing::fake().adapter, port, value); }

void close_driver(DriverHandle) { ++testing::fake().closes; }

bool device_io_control(DriverHandle handle, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                       std::uint32_t out_size) {
    auto& f = testing::fake();
    f.driver_calls.push_back(code);
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    f.last_request.assign(bytes, bytes + (in ? in_size : 0));
    if (handle != testing::kFakeHandle || !f.driver_present) return false;
    return sim::dispatch(*f.adapter, code, in, in_size, out, out_size);
}

DesktopMode desktop_mode() {
    const auto& d = testing::fake().desktop;
    return {d.width, d.height, d.bits_per_pixel};
}

std::uintptr_t hide_cursor() {
    auto& f = testing::fake();
    ++f.cursor_hides;
    std::uintptr_t previous = f.cursor;
    f.cursor = 0;
    return previous;
}

void restore_cursor(std::uintptr_t previous) { testing::fake().cursor = previous; }

std::uint32_t process_id() { return testing::fake().process_id; }

bool process_running(std::uint32_t id) { return testing::fake().ended_processes.count(id) == 0; }

std::uint32_t window_owner(WindowHandle window) {
    const auto& owners = testing::fake().window_owners;
    const auto owner = owners.find(window);
    return owner == owners.end() ? 0 : owner->second;
}

bool post_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    testing::fake().posted.push_back({window, message, wparam, lparam});
    return true;
}

namespace {

// Open files of the fake: name and position; the handle is the index + 1.
struct OpenFile {
    std::string name;
    std::size_t position = 0;
    bool writable = false;
    bool open = false;
};
std::vector<OpenFile> g_open_files;

OpenFile* lookup(FileHandle file) {
    if (file <= 0 || static_cast<std::size_t>(file) > g_open_files.size()) return nullptr;
    OpenFile& f = g_open_files[file - 1];
    return f.open ? &f : nullptr;
}

} // namespace

FileHandle open_file(const char* name, FileOpen mode) {
    auto& f = testing::fake();
    bool exists = f.files.count(name) != 0;
    if (mode == FileOpen::kRead && !exists) return kNoFile;
    if (mode != FileOpen::kRead && !f.files_writable) return kNoFile;
    if (mode == FileOpen::kReadWrite && !exists) return kNoFile;
    if (mode == FileOpen::kCreate) f.files[name].clear();
    // Once every file is closed, handles count from 1 again: long fuzzing runs
    // open millions of files.
    if (std::none_of(g_open_files.begin(), g_open_files.end(), [](const OpenFile& o) { return o.open; }))
        g_open_files.clear();
    g_open_files.push_back({name, 0, mode != FileOpen::kRead, true});
    return static_cast<FileHandle>(g_open_files.size());
}

std::int32_t read_file(FileHandle file, void* buffer, std::uint32_t size) {
    OpenFile* open = lookup(file);
    if (!open) return -1;
    const auto& data = testing::fake().files[open->name];
    std::size_t n = open->position < data.size() ? std::min<std::size_t>(size, data.size() - open->position) : 0;
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(open->position), n, static_cast<std::uint8_t*>(buffer));
    open->position += n;
    return static_cast<std::int32_t>(n);
}

std::int32_t write_file(FileHandle file, const void* buffer, std::uint32_t size) {
    OpenFile* open = lookup(file);
    if (!open || !open->writable) return -1;
    auto& f = testing::fake();
    auto& data = f.files[open->name];
    std::size_t n = size;
    if (f.short_write_after >= 0) {
        std::size_t room = static_cast<std::size_t>(f.short_write_after);
        n = open->position < room ? std::min(n, room - open->position) : 0;
    }
    if (data.size() < open->position + n) data.resize(open->position + n);
    std::copy_n(static_cast<const std::uint8_t*>(buffer), n, data.begin() + static_cast<std::ptrdiff_t>(open->position));
    open->position += n;
    return static_cast<std::int32_t>(n);
}

void close_file(FileHandle file) {
    if (OpenFile* open = lookup(file)) open->open = false;
    else ++testing::fake().bad_closes;
}

} // namespace platform
} // namespace duo
