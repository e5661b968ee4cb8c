#include "lib/core/clients.h"

#include "lib/core/platform.h"
#include "lib/core/state.h"

namespace duo {

bool attach_process() {
    for (int slot = 0; slot < kClientSlots; ++slot) {
        ClientSlot& client = g_shared.clients[slot];
        // A slot whose process was ended from outside never saw its detach.
        if (client.in_use != 0 && !platform::process_running(client.process_id)) {
            client = ClientSlot{};
            --g_shared.attach_count;
        }
        if (client.in_use == 0) {
            client = ClientSlot{1, 0, platform::process_id(), 0};
            g_process.client_slot = slot;
            ++g_shared.attach_count;
            return true;
        }
    }
    return false;
}

bool detach_process() {
    // A refused attach is followed by a detach too; it held no slot.
    int slot = g_process.client_slot;
    if (slot < 0 || slot >= kClientSlots) return false;
    // A process that ends without Close leaves no window behind to be told
    // of changes: its handle could be recycled by another program.
    g_shared.clients[slot] = ClientSlot{};
    g_process.client_slot = -1;
    return --g_shared.attach_count == 0;
}

void notify_window(WindowHandle window, std::int32_t code, std::intptr_t lparam) {
    platform::post_message(window, kNotifyMessage, static_cast<std::uintptr_t>(code), lparam);
}

void register_host(ClientSlot& client, WindowHandle host) {
    client.host_window = host;
    client.host_owner = host != 0 ? platform::window_owner(host) : 0;
}

void notify_client(const ClientSlot& client, std::int32_t code, std::intptr_t lparam) {
    // A handle whose window has gone, or now belongs to another program,
    // is not the host that was registered.
    if (client.host_window != 0 && platform::window_owner(client.host_window) == client.host_owner)
        notify_window(client.host_window, code, lparam);
}

void notify_hosts(std::int32_t code, std::intptr_t lparam, WindowHandle skip) {
    for (const ClientSlot& client : g_shared.clients) {
        if (client.host_window != skip) notify_client(client, code, lparam);
    }
}

std::int32_t available_frequency_mask() {
    std::int32_t mask = 0;
    for (int i = 0; i < kFrequencyCount; ++i) {
        if (g_shared.current_table.status[i] == 1) mask |= 1 << i;
    }
    return mask;
}

} // namespace duo
