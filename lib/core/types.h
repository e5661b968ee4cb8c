// Integer and handle types shared by the portable core and the Win32 glue.
#pragma once
#include <cstdint>

namespace duo {

// A window handle as the platform hands it out; host windows are stored in the
// process-shared client table, so they are kept as plain integers.
using WindowHandle = std::uintptr_t;

inline constexpr int kClientSlots = 8;
inline constexpr int kDefaultFrequencyArg = 20; // "use the default frequency index"

// Posted to host windows: the platform's first user message (0x400) plus 100.
inline constexpr std::uint32_t kNotifyMessage = 0x400 + 100;

enum Notification : std::int32_t {
    kNotifyAvailable = 604,        // lParam: mask of available frequencies
    kNotifyStereoOn = 605,         // lParam: current frequency index
    kNotifyStereoOff = 606,        // lParam: 0
    kNotifyFrequency = 607,        // lParam: current frequency index
    kNotifyDefaultFrequency = 608, // lParam: default frequency index
};

enum ErrorCode : std::int32_t {
    kErrNone = 0,
    kErrModeRefused = 100,
    kErrNoDriver = 101,
    kErrUnknownChip = 102,
    kErrAlreadyInitialised = 103,
    kErrAdapterLeftInterlaced = 104,
    kErrNotInitialised = 201,
    kErrStereoOff = 300,
    kErrBadFrequency = 301,
    kErrUnknownQuery = 400,
};

} // namespace duo
