// The simulated port driver as a DLL: the same calls and contract as
// CreateFileA / DeviceIoControl / CloseHandle on the real device, over one
// adapter state shared by every process that loads this DLL. It also plays
// the configuration manager's part for a PCI adapter: the card's HardWareKey
// is listed under HKEY_DYN_DATA while the adapter is in use.
#include <windows.h>

#include <cstring>

#include "sim/adapter.h"
#include "sim/driver_dispatch.h"
#include "sim/driver_requests.h"

namespace {

using duo::sim::AdapterState;

__attribute__((section(".shared"), shared)) AdapterState g_adapter{};

// Handles handed out to this process; the values mean nothing to Windows.
constexpr int kMaxHandles = 16;
HANDLE g_handles[kMaxHandles] = {};
std::uintptr_t g_next_handle = 0x4D550000;

duo::sim::DesktopMode desktop_mode() {
    duo::sim::DesktopMode mode{640, 480, 8};
    if (HDC dc = GetDC(nullptr)) {
        mode = {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, BITSPIXEL)};
        ReleaseDC(nullptr, dc);
    }
    return mode;
}

const duo::sim::AdapterModel* named_adapter() {
    char name[64];
    DWORD len = GetEnvironmentVariableA("DUOGATE_ADAPTER", name, sizeof name);
    if (len == 0 || len >= sizeof name) return nullptr;
    return duo::sim::find_adapter(name);
}

// The adapter is set up once, like a card at boot; it is set up again only
// when another adapter is named or the desktop mode has changed, as a display
// driver reprograms the card at a mode change.
void ensure_powered(const duo::sim::AdapterModel& model) {
    duo::sim::DesktopMode mode = desktop_mode();
    bool same = duo::sim::model_of(g_adapter) == &model && g_adapter.mode.width == mode.width &&
                g_adapter.mode.height == mode.height && g_adapter.mode.bits_per_pixel == mode.bits_per_pixel;
    if (!same) duo::sim::power_on(g_adapter, model, mode);
}

// The configuration manager lists each device under a key named after its
// device node; the simulated display adapter always has this one.
constexpr char kDeviceEnumPath[] = "Config Manager\\Enum";
constexpr char kAdapterDevnode[] = "C29A2F30";

// Lists the adapter's HardWareKey and its allocated resources as the
// configuration manager would at start-up, replacing what was listed for an
// earlier adapter; a card that is not on the PCI bus is not listed. Keys under HKEY_DYN_DATA live as long as
// the wineserver.
void publish_hardware_key(const duo::sim::AdapterModel& model) {
    HKEY devices = nullptr;
    if (RegCreateKeyExA(HKEY_DYN_DATA, kDeviceEnumPath, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &devices, nullptr) != ERROR_SUCCESS)
        return;
    char value[260];
    const std::size_t length = duo::sim::hardware_key(model, value, sizeof value);
    HKEY device = nullptr;
    if (length == 0) {
        RegDeleteKeyA(devices, kAdapterDevnode);
    } else if (RegCreateKeyExA(devices, kAdapterDevnode, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                               &device, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(device, "HardWareKey", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(length + 1));
        std::uint8_t allocation[256];
        const std::size_t allocated = duo::sim::allocation_record(model, allocation, sizeof allocation);
        if (allocated) RegSetValueExA(device, "Allocation", 0, REG_BINARY, allocation, static_cast<DWORD>(allocated));
        RegCloseKey(device);
    }
    RegCloseKey(devices);
}

// What the system's loader accepts when a program opens a dynamically
// loaded driver: the template handle must be null (the system refuses any
// other with ERROR_NOT_SUPPORTED), and the handle must ask for the driver to
// be unloaded with its last close (FILE_FLAG_DELETE_ON_CLOSE); without that
// flag the driver would stay loaded after every program has closed it, which
// the port driver does not allow. Access, share mode and the creation
// disposition mean nothing to a driver and are not checked.
DWORD open_refusal(DWORD flags, HANDLE template_file) {
    if (template_file) return ERROR_NOT_SUPPORTED;
    if (!(flags & FILE_FLAG_DELETE_ON_CLOSE)) return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

int find_handle(HANDLE h) {
    if (!h) return -1;
    for (int i = 0; i < kMaxHandles; ++i)
        if (g_handles[i] == h) return i;
    return -1;
}

} // namespace

extern "C" {

HANDLE WINAPI DuoGate_CreateFile(LPCSTR path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD flags,
                                 HANDLE template_file) {
    const duo::sim::AdapterModel* model = named_adapter();
    if (!path || lstrcmpiA(path, duo::sim::gate::kDevicePath) != 0 || !model) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (const DWORD refusal = open_refusal(flags, template_file)) {
        SetLastError(refusal);
        return INVALID_HANDLE_VALUE;
    }
    int slot = find_handle(nullptr);
    for (int i = 0; i < kMaxHandles && slot < 0; ++i)
        if (!g_handles[i]) slot = i;
    if (slot < 0) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    ensure_powered(*model);
    publish_hardware_key(*model);
    g_next_handle += 4;
    g_handles[slot] = reinterpret_cast<HANDLE>(g_next_handle);
    ++g_adapter.open_handles;
    return g_handles[slot];
}

BOOL WINAPI DuoGate_DeviceIoControl(HANDLE h, DWORD code, LPVOID in, DWORD in_size, LPVOID out, DWORD out_size,
                                    LPDWORD returned, LPOVERLAPPED) {
    if (find_handle(h) < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (returned) *returned = 0;
    if (!duo::sim::dispatch(g_adapter, code, in, in_size, out, out_size)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (returned) *returned = out ? out_size : 0;
    return TRUE;
}

BOOL WINAPI DuoGate_CloseHandle(HANDLE h) {
    int slot = find_handle(h);
    if (slot < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    g_handles[slot] = nullptr;
    if (g_adapter.open_handles) --g_adapter.open_handles;
    return TRUE;
}

// The adapter's ports one byte at a time, as a program of the Windows 95
// family reaches them with IN and OUT when no port driver is installed. Open
// sets the named adapter up (and lists its card) as opening the driver does;
// FALSE when no adapter is named.
BOOL WINAPI DuoGate_OpenPorts() {
    const duo::sim::AdapterModel* model = named_adapter();
    if (!model) return FALSE;
    ensure_powered(*model);
    publish_hardware_key(*model);
    return TRUE;
}

BYTE WINAPI DuoGate_PortIn(WORD port) { return duo::sim::port_read(g_adapter, port); }

void WINAPI DuoGate_PortOut(WORD port, BYTE value) { duo::sim::port_write(g_adapter, port, value); }

// For the inspector: the shared adapter state, powered on with the named
// adapter when nobody has opened the driver yet. Null when no adapter is named
// and none is set up.
AdapterState* WINAPI DuoGateSim_State(BOOL reset) {
    const duo::sim::AdapterModel* model = named_adapter();
    if (model && reset) duo::sim::power_on(g_adapter, *model, desktop_mode());
    else if (model) ensure_powered(*model);
    if (model) publish_hardware_key(*model);
    return duo::sim::model_of(g_adapter) ? &g_adapter : nullptr;
}

} // extern "C"
