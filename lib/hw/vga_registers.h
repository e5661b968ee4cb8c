// The library's names for the VGA ports, the standard CRTC and sequencer
// registers and their bits, and the S3 horizontal extension register the
// screen adjustment shares with the S3 family. Registers only one family
// uses are named in that family's file.
#pragma once
#include <cstdint>

namespace duo {

// Ports.
inline constexpr std::uint16_t kSeqIndex = 0x3C4;
inline constexpr std::uint16_t kGraphicsIndex = 0x3CE;
inline constexpr std::uint16_t kCrtcIndex = 0x3D4;
inline constexpr std::uint16_t kCrtcData = 0x3D5;
inline constexpr std::uint16_t kMiscOutputRead = 0x3CC;
inline constexpr std::uint16_t kMiscOutputWrite = 0x3C2;
inline constexpr std::uint8_t kMiscClockSelect = 0x0C; // bits 2-3

// CRT controller.
inline constexpr std::uint8_t kCrtcHTotal = 0x00;
inline constexpr std::uint8_t kCrtcHDisplayEnd = 0x01;
inline constexpr std::uint8_t kCrtcHBlankStart = 0x02;
inline constexpr std::uint8_t kCrtcHRetraceStart = 0x04;
inline constexpr std::uint8_t kCrtcHRetraceEnd = 0x05;
inline constexpr std::uint8_t kCrtcVTotal = 0x06;
inline constexpr std::uint8_t kCrtcOverflow = 0x07;
inline constexpr std::uint8_t kCrtcMaxScanLine = 0x09;
inline constexpr std::uint8_t kCrtcStartHigh = 0x0C;
inline constexpr std::uint8_t kCrtcStartLow = 0x0D;
inline constexpr std::uint8_t kCrtcVRetraceStart = 0x10;
inline constexpr std::uint8_t kCrtcVRetraceEnd = 0x11; // bit 7: protect CRTC 0x00-0x07
inline constexpr std::uint8_t kCrtcVDisplayEnd = 0x12;
inline constexpr std::uint8_t kCrtcVBlankStart = 0x15;
inline constexpr std::uint8_t kCrtcModeControl = 0x17;

inline constexpr std::uint8_t kCrtcProtect = 0x80;   // in CRTC 0x11
inline constexpr std::uint8_t kCountByTwo = 0x04;    // in CRTC 0x17: the vertical counter every second line
inline constexpr std::uint8_t kMaxScanField = 0x1F;  // in CRTC 0x09: scan lines per row - 1
inline constexpr std::uint8_t kMaxScanVbs9 = 0x20;   // in CRTC 0x09: vertical blanking start bit 9
inline constexpr std::uint8_t kOverflowVrs8 = 0x04;  // in CRTC 0x07: vertical retrace start bit 8
inline constexpr std::uint8_t kOverflowVbs8 = 0x08;  // vertical blanking start bit 8
inline constexpr std::uint8_t kOverflowVrs9 = 0x80;  // vertical retrace start bit 9

// Sequencer.
inline constexpr std::uint8_t kSeqReset = 0x00;
inline constexpr std::uint8_t kSeqSynchronousRun = 0x02; // in SR00: clear holds the sequencer in reset
inline constexpr std::uint8_t kSeqClockingMode = 0x01;
inline constexpr std::uint8_t kSeqScreenOff = 0x20; // in SR01

// S3 CRTC 0x5D: bit 8 of the horizontal starts, and the pulse lengtheners.
inline constexpr std::uint8_t kS3CrtcExtHoriz = 0x5D;
inline constexpr std::uint8_t kS3ExtHt8 = 0x01;
inline constexpr std::uint8_t kS3ExtHbs8 = 0x04;
inline constexpr std::uint8_t kS3ExtHBlankPlus64 = 0x08;
inline constexpr std::uint8_t kS3ExtHrs8 = 0x10;
inline constexpr std::uint8_t kS3ExtHRetracePlus32 = 0x20;

} // namespace duo
