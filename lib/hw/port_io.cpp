#include "lib/hw/port_io.h"

#include "lib/hw/adapter_state.h"
#include "lib/hw/driver_channel.h"
#include "lib/hw/driver_protocol.h"
#include "lib/hw/own_ports.h"

namespace duo {
namespace {

// The way Init chose for this process: the driver's handle, or the library's
// own port access.
bool ports_chosen() { return g_adapter_process.driver == platform::kOwnPorts; }

template <typename In>
void call(std::uint32_t code, const In& in) {
    platform::device_io_control(g_adapter_process.driver, code, &in, sizeof in, nullptr, 0);
}

template <typename In, typename Out>
bool call(std::uint32_t code, const In& in, Out& out) {
    return platform::device_io_control(g_adapter_process.driver, code, &in, sizeof in, &out, sizeof out);
}

std::uint8_t low_byte_or_zero(bool ok, std::uint32_t value) { return ok ? static_cast<std::uint8_t>(value) : 0; }

} // namespace

std::uint8_t Read_Port(std::uint32_t port) {
    if (ports_chosen()) return own_ports::read_port(port);
    driver::ReadReply out{};
    bool ok = call(driver::kReadPort, driver::PortRequest{port}, out);
    return low_byte_or_zero(ok, out.value);
}

void Write_Port(std::uint32_t port, std::uint8_t value) {
    if (ports_chosen()) return own_ports::write_port(port, value);
    call(driver::kWritePort, driver::PortWriteRequest{port, value});
}

std::uint8_t Read_Index_Reg(std::uint32_t index_port, std::uint8_t index) {
    if (ports_chosen()) return own_ports::read_index(index_port, index);
    driver::ReadReply out{};
    bool ok = call(driver::kReadIndexReg, driver::IndexRequest{index_port, index}, out);
    return low_byte_or_zero(ok, out.value);
}

void Write_Index_Reg(std::uint32_t index_port, std::uint8_t index, std::uint8_t value) {
    if (ports_chosen()) return own_ports::write_index(index_port, index, value);
    call(driver::kWriteIndexReg, driver::IndexWriteRequest{index_port, index, value});
}

void Read_Reg_Block(std::uint32_t index_port, std::uint8_t first_index, std::uint8_t count, std::uint8_t* buffer) {
    if (ports_chosen()) return own_ports::read_block(index_port, first_index, count, buffer);
    call(driver::kReadRegBlock,
         driver::BlockRequest{index_port, first_index, count, reinterpret_cast<std::uintptr_t>(buffer)});
}

void Write_Reg_Block(std::uint32_t index_port, std::uint8_t first_index, std::uint8_t count, const std::uint8_t* buffer) {
    if (ports_chosen()) return own_ports::write_block(index_port, first_index, count, buffer);
    call(driver::kWriteRegBlock,
         driver::BlockRequest{index_port, first_index, count, reinterpret_cast<std::uintptr_t>(buffer)});
}

void Set_Trident_Clock(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    if (ports_chosen()) return own_ports::trident_clock(b0, b1, b2);
    call(driver::kTridentClock, driver::ClockRequest{b0, b1, b2});
}

void Set_S3_Clock(std::uint8_t b0, std::uint8_t b1) {
    if (ports_chosen()) return own_ports::s3_clock(b0, b1);
    call(driver::kS3Clock, driver::ClockRequest{b0, b1, 0});
}

void Set_S3_Dac_Clock(std::uint8_t b0, std::uint8_t b1) {
    if (ports_chosen()) return own_ports::s3_dac_clock(b0, b1);
    call(driver::kS3DacClock, driver::ClockRequest{b0, b1, 0});
}

void Get_S3_Dac_Clock(std::uint8_t& b0, std::uint8_t& b1) {
    if (ports_chosen()) return own_ports::s3_dac_clock_read(b0, b1);
    struct {
        std::uint32_t b0, b1;
    } out{};
    bool ok =
        platform::device_io_control(g_adapter_process.driver, driver::kS3DacClockRead, nullptr, 0, &out, sizeof out);
    b0 = low_byte_or_zero(ok, out.b0);
    b1 = low_byte_or_zero(ok, out.b1);
}

void Set_Cirrus_Clock(std::uint8_t b0, std::uint8_t b1) {
    if (ports_chosen()) return own_ports::cirrus_clock(b0, b1);
    call(driver::kCirrusClock, driver::ClockRequest{b0, b1, 0});
}

void Get_Et6000_Clock(std::uint32_t base_port, std::uint8_t& b0, std::uint8_t& b1) {
    if (ports_chosen()) return own_ports::et6000_clock_read(base_port, b0, b1);
    struct {
        std::uint32_t base_port, unset;
    } in{base_port, 0};
    driver::ClockReply out{};
    bool ok = call(driver::kEt6000ClockRead, in, out);
    b0 = low_byte_or_zero(ok, out.b0);
    b1 = low_byte_or_zero(ok, out.b1);
}

void Set_Et6000_Clock(std::uint32_t base_port, std::uint8_t b0, std::uint8_t b1) {
    if (ports_chosen()) return own_ports::et6000_clock_write(base_port, b0, b1);
    call(driver::kEt6000ClockWrite, driver::Et6000ClockRequest{base_port, b0, b1, 0});
}

} // namespace duo
