// The simulated display adapter: register state behind the port driver's
// control codes. The state is plain data so the simulated driver can keep
// one copy for every process, as the hardware would be one.
#pragma once
#include <cstdint>
#include <string_view>

namespace duo::sim {

inline constexpr std::uint32_t kStateMagic = 0x44534D31; // "DSM1"

struct DesktopMode {
    int width, height, bits_per_pixel;
};

struct AdapterState {
    std::uint32_t magic;
    char adapter_name[32];
    DesktopMode mode; // the desktop mode the adapter was set up for

    std::uint8_t seq[256];
    std::uint8_t crtc[256];
    std::uint8_t graphics[256];
    std::uint8_t misc_output;
    std::uint8_t seq_index, crtc_index, graphics_index;

    // Frequencies behind clock selects 0-3 of the miscellaneous output
    // register; 2 and 3 are programmable and set by the family model.
    double clock_hz[4];

    // Ports without a register model: plain bytes.
    std::uint8_t ports[0x10000];

    std::uint32_t retrace_phase; // advances on every status read
    std::uint32_t open_handles;
    std::uint64_t io_operations;
};

// One named simulated adapter: what it is and how it identifies itself.
struct AdapterModel {
    const char* name;
    std::int32_t expected_chip; // the chip code detection must give; 0 for none
    const char* description;
};

const AdapterModel* find_adapter(std::string_view name);
const AdapterModel* adapter_models(int& count);
const AdapterModel* model_of(const AdapterState& state);

// Resets the adapter to the state a display driver leaves it in: the VESA
// progressive mode of the desktop resolution, extended registers locked.
void power_on(AdapterState& state, const AdapterModel& model, const DesktopMode& mode);

std::uint8_t port_read(AdapterState& state, std::uint32_t port);
void port_write(AdapterState& state, std::uint32_t port, std::uint8_t value);

// Indexed register access as the driver does it: index to the port, data at
// the port + 1.
std::uint8_t index_read(AdapterState& state, std::uint32_t index_port, std::uint8_t index);
void index_write(AdapterState& state, std::uint32_t index_port, std::uint8_t index, std::uint8_t value);

} // namespace duo::sim
