#include "lib/core/clients.h"

#include "lib/core/platform.h"
#include "lib/core/state.h"

namespace duo {

bool attach_process() {
    for (int slot = 0; slot < kClientSlots; ++slot) {
        if (g_shared.clients[slot].in_use == 0) {
            g_shared.clients[slot].in_use = 1;
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
    g_shared.clients[slot].in_use = 0;
    g_shared.clients[slot].host_window = 0;
    g_process.client_slot = -1;
    return --g_shared.attach_count == 0;
}

void notify_window(WindowHandle window, std::int32_t code, std::intptr_t lparam) {
    platform::post_message(window, kNotifyMessage, static_cast<std::uintptr_t>(code), lparam);
}

void notify_hosts(std::int32_t code, std::intptr_t lparam, WindowHandle skip) {
    for (const ClientSlot& client : g_shared.clients) {
        if (client.host_window != 0 && client.host_window != skip) notify_window(client.host_window, code, lparam);
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
