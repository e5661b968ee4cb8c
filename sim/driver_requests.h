// The port driver's requests as the simulated driver reads them: its device
// name, its control code numbers, and the input and output fields at their
// byte offsets. Every field is a 32-bit little-endian number, byte values
// zero-extended; the register block requests carry the caller's buffer
// address at byte 12, as wide as a pointer of the calling process.
#pragma once
#include <cstdint>

namespace duo::sim::gate {

inline constexpr char kDevicePath[] = "\\\\.\\DUOGATE.VXD";

inline constexpr std::uint32_t kCodeReadPort = 1;         // port -> value
inline constexpr std::uint32_t kCodeWritePort = 2;        // port, value
inline constexpr std::uint32_t kCodeReadIndexed = 3;      // index port, index -> value
inline constexpr std::uint32_t kCodeWriteIndexed = 4;     // index port, index, value
inline constexpr std::uint32_t kCodeReadBlock = 5;        // index port, first index, count, buffer
inline constexpr std::uint32_t kCodeWriteBlock = 6;       // the same
inline constexpr std::uint32_t kCodeTridentClock = 7;     // b0, b1, b2
inline constexpr std::uint32_t kCodeS3Clock = 8;          // b0, b1, unset
inline constexpr std::uint32_t kCodeS3DacClock = 9;       // b0, b1, unset
inline constexpr std::uint32_t kCodeS3DacClockRead = 10;  // -> b0, b1
inline constexpr std::uint32_t kCodeCirrusClock = 11;     // b0, b1, unset
inline constexpr std::uint32_t kCodeEt6000ClockRead = 12; // base port, unset -> b0, b1, unset
inline constexpr std::uint32_t kCodeEt6000ClockWrite = 13; // base port, b0, b1, unset

inline constexpr std::uint32_t kFieldSize = 4;
inline constexpr std::uint32_t kBlockBufferOffset = 12;
inline constexpr std::uint32_t kBlockRequestSize = kBlockBufferOffset + sizeof(void*);

// The 32-bit field number `n` (at byte 4 n); false when the buffer ends
// before it.
inline bool field(const void* in, std::uint32_t in_size, std::uint32_t n, std::uint32_t& value) {
    if (!in || n >= in_size / kFieldSize) return false;
    const auto* b = static_cast<const unsigned char*>(in) + n * kFieldSize;
    value = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    return true;
}

// The first `count` fields of a request that must carry at least that many.
inline bool fields(const void* in, std::uint32_t in_size, std::uint32_t count, std::uint32_t* values) {
    for (std::uint32_t n = 0; n < count; ++n)
        if (!field(in, in_size, n, values[n])) return false;
    return true;
}

// The block requests' buffer address, little-endian, pointer-sized.
inline bool buffer_address(const void* in, std::uint32_t in_size, std::uintptr_t& address) {
    if (!in || in_size < kBlockRequestSize) return false;
    const auto* b = static_cast<const unsigned char*>(in) + kBlockBufferOffset;
    address = 0;
    for (std::uint32_t i = 0; i < sizeof(void*); ++i) address |= static_cast<std::uintptr_t>(b[i]) << (8 * i);
    return true;
}

// Writes the first `count` reply fields; false when the buffer is too small.
inline bool reply(void* out, std::uint32_t out_size, std::uint32_t count, const std::uint32_t* values) {
    if (!out || out_size / kFieldSize < count) return false;
    auto* b = static_cast<unsigned char*>(out);
    for (std::uint32_t n = 0; n < count; ++n)
        for (std::uint32_t i = 0; i < kFieldSize; ++i)
            b[n * kFieldSize + i] = static_cast<unsigned char>(values[n] >> (8 * i));
    return true;
}

} // namespace duo::sim::gate
