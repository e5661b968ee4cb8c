// Win32 side of the hardware layer's way to the ports: the port driver's
// device, the IN and OUT instructions, and in test builds the simulated driver.
#include <windows.h>

#include <cstring>

#include "lib/hw/driver_channel.h"
#include "lib/hw/driver_protocol.h"

namespace duo::platform {
namespace {

// What stands behind kOwnPorts in this process: nothing until open_driver
// has chosen it, then the IN and OUT instructions (only on a system of the
// Windows 95 family) or, in test builds, the simulated adapter's ports.
enum class PortPair { kNone, kInstructions, kSimulated };
PortPair g_port_pair = PortPair::kNone;

std::uint8_t in_instruction(std::uint16_t port) {
    std::uint8_t value;
    asm volatile("inb %w1, %b0" : "=a"(value) : "Nd"(port));
    return value;
}

void out_instruction(std::uint16_t port, std::uint8_t value) { asm volatile("outb %b0, %w1" : : "a"(value), "Nd"(port)); }

// GetVersionEx first came with Windows 95 and NT 3.5; where it fails, bit 31
// of GetVersion alone tells the family.
bool system_lets_programs_use_ports() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    const std::int32_t platform_id = GetVersionExA(&info) ? static_cast<std::int32_t>(info.dwPlatformId) : -1;
    return windows95_family(GetVersion(), platform_id);
}

#ifdef DUO_SIM_FALLBACK
// The simulated port driver, loaded only when the real device is missing and
// the user has named a simulated adapter; compiled into test builds only
// (CMake option DUO_SIM_FALLBACK), never into the released library. Its
// calls have the contract of the Win32 calls they stand in for.
struct SimulatedDriver {
    HMODULE module = nullptr;
    HANDLE(WINAPI* create_file)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = nullptr;
    BOOL(WINAPI* device_io_control)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) = nullptr;
    BOOL(WINAPI* close_handle)(HANDLE) = nullptr;
    // Its adapter's ports, one byte at a time, for the own-ports way.
    BOOL(WINAPI* open_ports)() = nullptr;
    BYTE(WINAPI* port_in)(WORD) = nullptr;
    void(WINAPI* port_out)(WORD, BYTE) = nullptr;
};

SimulatedDriver g_sim;
HANDLE g_sim_handle = nullptr; // the handle the simulated driver gave this process

template <typename F>
bool resolve(HMODULE module, const char* name, F& fn) {
    fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return fn != nullptr;
}

// The simulated driver is taken only from the folder of the image this code
// is linked into (the library), by full path: never from the search path,
// where any DLL of that name would do, and also for a client kept elsewhere.
// The image is the allocation that holds this function: VirtualQuery tells
// it on every system the library runs on, GetModuleHandleEx only from XP on.
HMODULE load_from_own_folder(const char* file) {
    MEMORY_BASIC_INFORMATION image{};
    if (VirtualQuery(reinterpret_cast<LPCVOID>(&load_from_own_folder), &image, sizeof image) == 0) return nullptr;
    HMODULE self = static_cast<HMODULE>(image.AllocationBase);
    char path[MAX_PATH];
    const DWORD len = GetModuleFileNameA(self, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return nullptr;
    char* slash = std::strrchr(path, '\\');
    if (slash == nullptr) return nullptr;
    const std::size_t folder = static_cast<std::size_t>(slash + 1 - path);
    const std::size_t name = std::strlen(file);
    if (folder + name >= MAX_PATH) return nullptr;
    std::memcpy(slash + 1, file, name + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool load_simulated_driver() {
    if (g_sim.module) return true;
    char name[64];
    DWORD len = GetEnvironmentVariableA("DUOGATE_ADAPTER", name, sizeof name);
    if (len == 0 || len >= sizeof name) return false;
    HMODULE module = load_from_own_folder("duogate_sim.dll");
    if (!module) return false;
    SimulatedDriver sim{module};
    if (!resolve(module, "DuoGate_CreateFile", sim.create_file) ||
        !resolve(module, "DuoGate_DeviceIoControl", sim.device_io_control) ||
        !resolve(module, "DuoGate_CloseHandle", sim.close_handle)) {
        FreeLibrary(module);
        return false;
    }
    g_sim = sim;
    return true;
}

// DUOGATE_ACCESS=ports: the tests' stand-in for a Windows 95 PC without the
// port driver, the library's own port access over the simulated adapter.
bool simulated_ports() {
    char way[8];
    const DWORD len = GetEnvironmentVariableA("DUOGATE_ACCESS", way, sizeof way);
    if (len == 0 || len >= sizeof way || lstrcmpiA(way, "ports") != 0) return false;
    if (!g_sim.port_in && (!resolve(g_sim.module, "DuoGate_OpenPorts", g_sim.open_ports) ||
                           !resolve(g_sim.module, "DuoGate_PortIn", g_sim.port_in) ||
                           !resolve(g_sim.module, "DuoGate_PortOut", g_sim.port_out))) {
        g_sim.port_in = nullptr;
        return false;
    }
    return g_sim.open_ports() != FALSE;
}
#endif

HANDLE open_device(decltype(&CreateFileA) create) {
    return create(driver::kDevicePath, 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

} // namespace

DriverHandle open_driver() {
    HANDLE handle = open_device(&CreateFileA);
    if (handle != INVALID_HANDLE_VALUE) return reinterpret_cast<DriverHandle>(handle);
    if (system_lets_programs_use_ports()) {
        g_port_pair = PortPair::kInstructions;
        return kOwnPorts;
    }
#ifdef DUO_SIM_FALLBACK
    if (!load_simulated_driver()) return 0;
    if (simulated_ports()) {
        g_port_pair = PortPair::kSimulated;
        return kOwnPorts;
    }
    handle = open_device(g_sim.create_file);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    g_sim_handle = handle;
    return reinterpret_cast<DriverHandle>(handle);
#else
    return 0;
#endif
}

void close_driver(DriverHandle handle) {
    if (handle == kOwnPorts) {
        g_port_pair = PortPair::kNone;
        return;
    }
    HANDLE h = reinterpret_cast<HANDLE>(handle);
#ifdef DUO_SIM_FALLBACK
    if (g_sim.module && h == g_sim_handle) {
        g_sim.close_handle(h);
        g_sim_handle = nullptr;
        return;
    }
#endif
    CloseHandle(h);
}

bool device_io_control(DriverHandle handle, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
                       std::uint32_t out_size) {
    HANDLE h = reinterpret_cast<HANDLE>(handle);
    DWORD returned = 0;
#ifdef DUO_SIM_FALLBACK
    auto call = (g_sim.module && h == g_sim_handle) ? g_sim.device_io_control : &DeviceIoControl;
#else
    auto call = &DeviceIoControl;
#endif
    return call(h, code, const_cast<void*>(in), in_size, out, out_size, &returned, nullptr) != FALSE;
}

std::uint8_t port_in(std::uint16_t port) {
    switch (g_port_pair) {
    case PortPair::kInstructions: return in_instruction(port);
#ifdef DUO_SIM_FALLBACK
    case PortPair::kSimulated: return g_sim.port_in(port);
#endif
    default: return 0xFF;
    }
}

void port_out(std::uint16_t port, std::uint8_t value) {
    switch (g_port_pair) {
    case PortPair::kInstructions: out_instruction(port, value); return;
#ifdef DUO_SIM_FALLBACK
    case PortPair::kSimulated: g_sim.port_out(port, value); return;
#endif
    default: return;
    }
}

} // namespace duo::platform
