#include "sim/driver_dispatch.h"

#include <cstring>

#include "lib/hw/driver_protocol.h"
#include "sim/family.h"

namespace duo::sim {
namespace {

template <typename T>
bool take(const void* in, std::uint32_t in_size, T& value) {
    if (!in || in_size < sizeof(T)) return false;
    std::memcpy(&value, in, sizeof(T));
    return true;
}

template <typename T>
bool give(void* out, std::uint32_t out_size, const T& value) {
    if (!out || out_size < sizeof(T)) return false;
    std::memcpy(out, &value, sizeof(T));
    return true;
}

bool block_in_range(const driver::BlockRequest& r) {
    return r.buffer != 0 && r.first_index <= 0xFF && r.count <= 0x100 - r.first_index;
}

} // namespace

bool dispatch(AdapterState& s, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
              std::uint32_t out_size) {
    using namespace driver;
    switch (code) {
    case kReadPort: {
        PortRequest r;
        if (!take(in, in_size, r) || !out || out_size < sizeof(ReadReply)) return false;
        return give(out, out_size, ReadReply{port_read(s, r.port)});
    }
    case kWritePort: {
        PortWriteRequest r;
        if (!take(in, in_size, r)) return false;
        port_write(s, r.port, static_cast<std::uint8_t>(r.value));
        return true;
    }
    case kReadIndexReg: {
        IndexRequest r;
        if (!take(in, in_size, r) || !out || out_size < sizeof(ReadReply)) return false;
        return give(out, out_size, ReadReply{index_read(s, r.index_port, static_cast<std::uint8_t>(r.index))});
    }
    case kWriteIndexReg: {
        IndexWriteRequest r;
        if (!take(in, in_size, r)) return false;
        index_write(s, r.index_port, static_cast<std::uint8_t>(r.index), static_cast<std::uint8_t>(r.value));
        return true;
    }
    case kReadRegBlock: {
        BlockRequest r;
        if (!take(in, in_size, r) || !block_in_range(r)) return false;
        auto* buffer = reinterpret_cast<std::uint8_t*>(r.buffer);
        for (std::uint32_t i = 0; i < r.count; ++i)
            buffer[i] = index_read(s, r.index_port, static_cast<std::uint8_t>(r.first_index + i));
        return true;
    }
    case kWriteRegBlock: {
        BlockRequest r;
        if (!take(in, in_size, r) || !block_in_range(r)) return false;
        const auto* buffer = reinterpret_cast<const std::uint8_t*>(r.buffer);
        for (std::uint32_t i = 0; i < r.count; ++i)
            index_write(s, r.index_port, static_cast<std::uint8_t>(r.first_index + i), buffer[i]);
        return true;
    }
    default:
        // Clock codes belong to the chip families; a chip without the
        // synthesizer does not answer them.
        return hooks_of(s).driver_clock(s, code, in, in_size, out, out_size);
    }
}

} // namespace duo::sim
