// Client slots and host window notifications.
#pragma once
#include <cstdint>

#include "lib/core/state.h"
#include "lib/core/types.h"

namespace duo {

// Process attach: takes the first free client slot. False when all eight are
// in use, and the load must be refused.
bool attach_process();
// Process detach: frees this process's slot and forgets its host window.
// True when it was the last process.
bool detach_process();

// Posts the notification to one window.
void notify_window(WindowHandle window, std::int32_t code, std::intptr_t lparam);
// Registers a client's host window (0: none) with the process it belongs to.
void register_host(ClientSlot& client, WindowHandle host);
// Posts the notification to a client's host window, if it has one that
// still belongs to the process it belonged to when registered.
void notify_client(const ClientSlot& client, std::int32_t code, std::intptr_t lparam);
// Posts the notification to every registered host window in slot order,
// leaving out `skip` (0 leaves out nobody).
void notify_hosts(std::int32_t code, std::intptr_t lparam, WindowHandle skip);

// Bit i set when frequency status entry i (0..9) is 1.
std::int32_t available_frequency_mask();

} // namespace duo
