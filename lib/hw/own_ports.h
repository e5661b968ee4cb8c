// The port driver's thirteen operations done by the library itself, one
// byte in or out at a time (platform::port_in / port_out): the way to the
// adapter on the Windows 95 family when the driver is not installed.
//
// The ports are shared with the display driver and whatever else runs: an
// index write is followed at once by its data access, and the sequencer,
// CRTC and graphics index registers are given back as they were found.
#pragma once
#include <cstdint>

namespace duo::own_ports {

std::uint8_t read_port(std::uint32_t port);
void write_port(std::uint32_t port, std::uint8_t value);
std::uint8_t read_index(std::uint32_t index_port, std::uint8_t index);
void write_index(std::uint32_t index_port, std::uint8_t index, std::uint8_t value);
void read_block(std::uint32_t index_port, std::uint8_t first_index, std::uint8_t count, std::uint8_t* buffer);
void write_block(std::uint32_t index_port, std::uint8_t first_index, std::uint8_t count, const std::uint8_t* buffer);

// What the driver does behind its clock codes 7 to 13.
void trident_clock(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);
void s3_clock(std::uint8_t b0, std::uint8_t b1);
void s3_dac_clock(std::uint8_t b0, std::uint8_t b1);
void s3_dac_clock_read(std::uint8_t& b0, std::uint8_t& b1);
void cirrus_clock(std::uint8_t b0, std::uint8_t b1);
void et6000_clock_read(std::uint32_t base_port, std::uint8_t& b0, std::uint8_t& b1);
void et6000_clock_write(std::uint32_t base_port, std::uint8_t b0, std::uint8_t b1);

} // namespace duo::own_ports
