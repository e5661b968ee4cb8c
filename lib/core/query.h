#pragma once
#include <cstdint>

#include "duo_version.h"

namespace duo {

inline constexpr std::int32_t kLibraryVersion = DUO_VERSION_NUMBER; // hundredths: 100 is 1.00

// Query 101's answer while the line-double mode is on.
inline constexpr std::int32_t kLineDoubleAnswer = 16;

enum QueryCode : std::int32_t {
    kQueryChip = 100,
    kQueryFrequency = 101,
    kQueryVersion = 102,
    kQueryLastError = 103,
    kQueryStatus = 104,
    kQueryDefaultFrequency = 105,
    kQueryPortAccess = 106,
};

// Query 106's answers: how this process reaches the adapter.
enum PortAccess : std::int32_t { kAccessNone = 0, kAccessDriver = 1, kAccessOwnPorts = 2 };

// Answers for Query_VR_System; -1 for an unknown code or an index outside
// the status table (error 400 either way).
std::int32_t query(std::int32_t code, std::int32_t index);

} // namespace duo
