// The port driver's control codes and buffer layouts.
#pragma once
#include <cstddef>
#include <cstdint>

namespace duo::driver {

inline constexpr char kDevicePath[] = "\\\\.\\DUOGATE.VXD";

enum ControlCode : std::uint32_t {
    kReadPort = 1,
    kWritePort = 2,
    kReadIndexReg = 3,
    kWriteIndexReg = 4,
    kReadRegBlock = 5,
    kWriteRegBlock = 6,
    kTridentClock = 7,
    kS3Clock = 8,
    kS3DacClock = 9,
    kS3DacClockRead = 10,
    kCirrusClock = 11,
    kEt6000ClockRead = 12,
    kEt6000ClockWrite = 13,
};

// Every field is 32 bits wide, byte values zero-extended, except the buffer
// address of the block operations, which is as wide as a pointer.
struct PortRequest {
    std::uint32_t port;
};
struct PortWriteRequest {
    std::uint32_t port, value;
};
struct IndexRequest {
    std::uint32_t index_port, index;
};
struct IndexWriteRequest {
    std::uint32_t index_port, index, value;
};
// The buffer address follows the three fields at byte 12 with no padding,
// also where a pointer is 8 bytes wide.
#pragma pack(push, 4)
struct BlockRequest {
    std::uint32_t index_port, first_index, count;
    std::uintptr_t buffer;
};
#pragma pack(pop)
// Codes 7, 8, 9 and 11: clock bytes (the third is unset for 8, 9 and 11).
struct ClockRequest {
    std::uint32_t b0, b1, b2;
};
// Code 10 answers two fields, code 12 three (the third is ignored).
struct ClockReply {
    std::uint32_t b0, b1, b2;
};
// Code 12: base port, unset. Code 13: base port, b0, b1, unset.
struct Et6000ClockRequest {
    std::uint32_t base_port, b0, b1, unset;
};
struct ReadReply {
    std::uint32_t value;
};

static_assert(sizeof(PortRequest) == 4 && sizeof(IndexWriteRequest) == 12 && sizeof(ClockRequest) == 12);
static_assert(offsetof(BlockRequest, buffer) == 12 && sizeof(BlockRequest) == 12 + sizeof(void*));

// The driver reads these buffers at fixed offsets, the same at both word
// sizes except for the block requests' buffer address, which is a pointer
// at 12, 4 or 8 bytes wide.
static_assert(sizeof(PortWriteRequest) == 8 && offsetof(PortWriteRequest, value) == 4);
static_assert(sizeof(IndexRequest) == 8 && offsetof(IndexRequest, index) == 4);
static_assert(offsetof(IndexWriteRequest, index) == 4 && offsetof(IndexWriteRequest, value) == 8);
static_assert(offsetof(BlockRequest, first_index) == 4 && offsetof(BlockRequest, count) == 8);
static_assert(sizeof(BlockRequest::buffer) == sizeof(void*));
static_assert(offsetof(ClockRequest, b1) == 4 && offsetof(ClockRequest, b2) == 8);
static_assert(sizeof(ClockReply) == 12 && offsetof(ClockReply, b2) == 8 && sizeof(ReadReply) == 4);
static_assert(sizeof(Et6000ClockRequest) == 16 && offsetof(Et6000ClockRequest, b0) == 4 &&
              offsetof(Et6000ClockRequest, unset) == 12);

} // namespace duo::driver
