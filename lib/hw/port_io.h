// Register access the way Init chose for this process: through the port
// driver's handle, or the library's own port access (lib/hw/own_ports.h).
// Writes are not checked; a read that fails yields 0.
#pragma once
#include <cstdint>

#include "lib/hw/vga_registers.h"

namespace duo {


std::uint8_t Read_Port(std::uint32_t port);
void Write_Port(std::uint32_t port, std::uint8_t value);
std::uint8_t Read_Index_Reg(std::uint32_t index_port, std::uint8_t index);
void Write_Index_Reg(std::uint32_t index_port, std::uint8_t index, std::uint8_t value);
void Read_Reg_Block(std::uint32_t index_port, std::uint8_t first_index, std::uint8_t count, std::uint8_t* buffer);
void Write_Reg_Block(std::uint32_t index_port, std::uint8_t first_index, std::uint8_t count, const std::uint8_t* buffer);

// Pixel clock calls (codes 7 to 13).
void Set_Trident_Clock(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);
void Set_S3_Clock(std::uint8_t b0, std::uint8_t b1);
void Set_S3_Dac_Clock(std::uint8_t b0, std::uint8_t b1);
void Get_S3_Dac_Clock(std::uint8_t& b0, std::uint8_t& b1);
void Set_Cirrus_Clock(std::uint8_t b0, std::uint8_t b1);
void Get_Et6000_Clock(std::uint32_t base_port, std::uint8_t& b0, std::uint8_t& b1);
void Set_Et6000_Clock(std::uint32_t base_port, std::uint8_t b0, std::uint8_t b1);

// Register-file shorthands used by the family code.
inline std::uint8_t read_crtc(std::uint8_t index) { return Read_Index_Reg(kCrtcIndex, index); }
inline void write_crtc(std::uint8_t index, std::uint8_t value) { Write_Index_Reg(kCrtcIndex, index, value); }
inline std::uint8_t read_seq(std::uint8_t index) { return Read_Index_Reg(kSeqIndex, index); }
inline void write_seq(std::uint8_t index, std::uint8_t value) { Write_Index_Reg(kSeqIndex, index, value); }
inline void crtc_or(std::uint8_t index, std::uint8_t bits) { write_crtc(index, read_crtc(index) | bits); }
inline void crtc_and(std::uint8_t index, std::uint8_t mask) { write_crtc(index, read_crtc(index) & mask); }
inline void seq_or(std::uint8_t index, std::uint8_t bits) { write_seq(index, read_seq(index) | bits); }
inline void seq_and(std::uint8_t index, std::uint8_t mask) { write_seq(index, read_seq(index) & mask); }

} // namespace duo
