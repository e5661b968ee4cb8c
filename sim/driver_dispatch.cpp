#include "sim/driver_dispatch.h"

#include "sim/driver_requests.h"
#include "sim/family.h"

namespace duo::sim {
namespace {

struct Block {
    std::uint32_t index_port, first, count;
    std::uintptr_t buffer;
};

// A run of registers inside one register file, into a buffer the caller named.
bool take_block(const void* in, std::uint32_t in_size, Block& b) {
    std::uint32_t f[3];
    if (!gate::fields(in, in_size, 3, f) || !gate::buffer_address(in, in_size, b.buffer)) return false;
    b.index_port = f[0], b.first = f[1], b.count = f[2];
    return b.buffer != 0 && b.first <= 0xFF && b.count <= 0x100 - b.first;
}

bool reply_byte(void* out, std::uint32_t out_size, std::uint8_t value) {
    const std::uint32_t field = value;
    return gate::reply(out, out_size, 1, &field);
}

} // namespace

bool dispatch(AdapterState& s, std::uint32_t code, const void* in, std::uint32_t in_size, void* out,
              std::uint32_t out_size) {
    std::uint32_t f[3];
    switch (code) {
    case gate::kCodeReadPort:
        if (!gate::fields(in, in_size, 1, f) || !out || out_size < gate::kFieldSize) return false;
        return reply_byte(out, out_size, port_read(s, f[0]));
    case gate::kCodeWritePort:
        if (!gate::fields(in, in_size, 2, f)) return false;
        port_write(s, f[0], static_cast<std::uint8_t>(f[1]));
        return true;
    case gate::kCodeReadIndexed:
        if (!gate::fields(in, in_size, 2, f) || !out || out_size < gate::kFieldSize) return false;
        return reply_byte(out, out_size, index_read(s, f[0], static_cast<std::uint8_t>(f[1])));
    case gate::kCodeWriteIndexed:
        if (!gate::fields(in, in_size, 3, f)) return false;
        index_write(s, f[0], static_cast<std::uint8_t>(f[1]), static_cast<std::uint8_t>(f[2]));
        return true;
    case gate::kCodeReadBlock: {
        Block b;
        if (!take_block(in, in_size, b)) return false;
        auto* buffer = reinterpret_cast<std::uint8_t*>(b.buffer);
        for (std::uint32_t i = 0; i < b.count; ++i)
            buffer[i] = index_read(s, b.index_port, static_cast<std::uint8_t>(b.first + i));
        return true;
    }
    case gate::kCodeWriteBlock: {
        Block b;
        if (!take_block(in, in_size, b)) return false;
        const auto* buffer = reinterpret_cast<const std::uint8_t*>(b.buffer);
        for (std::uint32_t i = 0; i < b.count; ++i)
            index_write(s, b.index_port, static_cast<std::uint8_t>(b.first + i), buffer[i]);
        return true;
    }
    default:
        // Clock codes belong to the chip families; a chip without the
        // synthesizer does not answer them.
        return hooks_of(s).driver_clock(s, code, in, in_size, out, out_size);
    }
}

} // namespace duo::sim
