// Standard VGA register indexes and ports, as the simulator models them.
#pragma once
#include <cstdint>

namespace duo::sim {

inline constexpr std::uint32_t kPortMiscWrite = 0x3C2;
inline constexpr std::uint32_t kPortSeqIndex = 0x3C4;
inline constexpr std::uint32_t kPortSeqData = 0x3C5;
inline constexpr std::uint32_t kPortMiscRead = 0x3CC;
inline constexpr std::uint32_t kPortGraphicsIndex = 0x3CE;
inline constexpr std::uint32_t kPortGraphicsData = 0x3CF;
inline constexpr std::uint32_t kPortCrtcIndex = 0x3D4;
inline constexpr std::uint32_t kPortCrtcData = 0x3D5;
inline constexpr std::uint32_t kPortInputStatus1 = 0x3DA;

inline constexpr std::uint8_t kSeqReset = 0x00;
inline constexpr std::uint8_t kSeqClockingMode = 0x01; // bit 0: 8-dot, bit 3: clock/2, bit 5: screen off

inline constexpr std::uint8_t kCrtcHTotal = 0x00;
inline constexpr std::uint8_t kCrtcHDisplayEnd = 0x01;
inline constexpr std::uint8_t kCrtcHBlankStart = 0x02;
inline constexpr std::uint8_t kCrtcHBlankEnd = 0x03;
inline constexpr std::uint8_t kCrtcHRetraceStart = 0x04;
inline constexpr std::uint8_t kCrtcHRetraceEnd = 0x05;
inline constexpr std::uint8_t kCrtcVTotal = 0x06;
inline constexpr std::uint8_t kCrtcOverflow = 0x07;
inline constexpr std::uint8_t kCrtcMaxScanLine = 0x09;
inline constexpr std::uint8_t kCrtcCursorStart = 0x0A;
inline constexpr std::uint8_t kCrtcCursorEnd = 0x0B;
inline constexpr std::uint8_t kCrtcStartHigh = 0x0C;
inline constexpr std::uint8_t kCrtcStartLow = 0x0D;
inline constexpr std::uint8_t kCrtcVRetraceStart = 0x10;
inline constexpr std::uint8_t kCrtcVRetraceEnd = 0x11; // bit 7: protect CRTC 0x00-0x07
inline constexpr std::uint8_t kCrtcVDisplayEnd = 0x12;
inline constexpr std::uint8_t kCrtcOffset = 0x13;
inline constexpr std::uint8_t kCrtcUnderline = 0x14;
inline constexpr std::uint8_t kCrtcVBlankStart = 0x15;
inline constexpr std::uint8_t kCrtcVBlankEnd = 0x16;
inline constexpr std::uint8_t kCrtcModeControl = 0x17; // bit 2: vertical counter every second line
inline constexpr std::uint8_t kCrtcLineCompare = 0x18;

inline constexpr std::uint8_t kCrtcProtectBit = 0x80;
inline constexpr std::uint8_t kOverflowLineCompare8 = 0x10; // writable while protected

} // namespace duo::sim
