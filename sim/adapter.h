// The simulated display adapter: register state behind the port driver's
// control codes. The state is plain data so the simulated driver can keep
// one copy for every process, as the hardware would be one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace duo::sim {

inline constexpr std::uint32_t kStateMagic = 0x44534D33; // "DSM3"

struct DesktopMode {
    int width, height, bits_per_pixel;
};

// Register models, one per chip family (sim/family_*.cpp); mach32 and mach64
// share the ATI file.
enum class ChipFamily : std::int32_t { kVga, kTrident, kS3, kCirrus, kMach64, kMach32, kEt6000 };

struct AdapterState {
    std::uint32_t magic;
    char adapter_name[32];
    DesktopMode mode; // the desktop mode the adapter was set up for
    ChipFamily family;
    // The desktop this adapter powered on with: the seed of the bits a
    // display driver leaves set around the registers the library touches
    // (0: none), and how many of them were drawn.
    std::uint32_t desktop_seed;
    std::uint32_t desktop_draws;

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

    // The family's I/O base: mach64 sparse registers, ET6000 PCI I/O space.
    std::uint32_t io_base;
    // mach64: PCI BAR1 when the card decodes its registers only as block I/O
    // there (PCI configuration register 0x40 bit 2 set); 0 when it decodes
    // the sparse ports at io_base instead.
    std::uint32_t mach64_block_base;
    // Trident: which sequencer bank SR0D/SR0E reach (reading SR0B selects
    // the new mode, writing it the old one), and the old-mode SR0D/SR0E.
    std::uint8_t trident_new_mode;
    std::uint8_t trident_old_mode_regs[2];

    // Clock synthesizers outside the VGA register files: the S3 868's
    // external DAC (driver codes 9/10), the mach64 PLL registers behind
    // CLOCK_CNTL, and the ET6000 clock registers (M - 2, N) per index.
    std::uint8_t s3_dac_clock[2];
    std::uint8_t mach64_pll[16];
    // mach64: the selected pixel clock changed while the sequencer ran and
    // no sequencer reset has followed yet.
    std::uint8_t mach64_clock_unsettled;
    std::uint8_t et6000_clock[8][2];
    std::uint8_t et6000_clock_index, et6000_clock_byte;
    std::uint8_t et6000_key; // the Tseng key: 1 while the extended registers accept writes
    // S3: the DCLK the synthesizer runs (SR12, SR13 as they were at the last
    // load); the 868 DAC's clock write and read indexes, which byte of a
    // clock comes next, and a first byte waiting for its second.
    std::uint8_t s3_dclk[2];
    std::uint8_t s3_dac_write_index, s3_dac_read_index, s3_dac_byte, s3_dac_first;

    std::uint32_t retrace_phase; // advances on every status read
    std::uint32_t open_handles;
    std::uint64_t io_operations;
};

// What a chip answers to identification. Only the adapter's own family's
// part means anything.
struct TridentIdentity {
    std::uint8_t chip_id;  // SR0B
    std::uint8_t revision; // SR09
};
struct S3Identity {
    std::uint8_t chip_class;               // CR30
    std::uint8_t device_high, device_low;  // CR2D, CR2E
    std::uint8_t revision;                 // CR2F
};
struct CirrusIdentity {
    std::uint8_t chip_id; // CR27
};
struct PciIdentity {
    std::uint16_t vendor, device; // vendor 0: an ISA or VL-Bus card
    std::uint8_t revision;
    bool listed; // the configuration manager lists the card's HardWareKey
};

// One named simulated adapter: what it is, how it identifies itself and what
// detection must make of it.
struct AdapterModel {
    const char* name;
    std::int32_t expected_chip; // the chip code detection must give; 0 for none
    const char* description;
    ChipFamily family;
    PciIdentity pci{};
    TridentIdentity trident{};
    S3Identity s3{};
    CirrusIdentity cirrus{};
    std::uint16_t mach32_chip_id = 0; // ports 0xFAEE/0xFAEF
    std::uint16_t io_base = 0;        // mach64 sparse I/O base; ET6000 PCI I/O base
    std::uint16_t mach64_bar1 = 0;    // mach64 PCI BAR1 (256 ports); the desktop seed chooses its decoding
    // The base ports detection records besides the chip code.
    std::int32_t expected_mach64_base = 0x2EC;
    std::int32_t expected_et6000_base = 0;
};

const AdapterModel* find_adapter(std::string_view name);
const AdapterModel* adapter_models(int& count);
const AdapterModel* model_of(const AdapterState& state);

// The HardWareKey value the configuration manager lists for the card, as
// "PCI\VEN_vvvv&DEV_dddd&SUBSYS_...": its length, or 0 (and an empty
// string) when the card is not listed or the value does not fit.
std::size_t hardware_key(const AdapterModel& model, char* out, std::size_t size);

// The configuration manager's record of the I/O and memory the card was
// given (the "Allocation" value beside its HardWareKey): its length, or 0
// when the card is not listed or the record does not fit. Layout: a DWORD
// 0x400, then per resource a DWORD entry length (header included), a DWORD
// resource type (1 memory, 2 I/O) and the descriptor: I/O as WORDs count,
// type, first port, last port, flags and two alias/decode bytes; memory as
// DWORDs count, type, first address, last address and a WORD of flags and
// one reserved; a DWORD 0 ends it.
std::size_t allocation_record(const AdapterModel& model, std::uint8_t* out, std::size_t size);

// The port of byte `byte` (0-3) of mach64 register `reg` (its sparse
// number) as the card decodes it: base + 0x400 reg, or in block I/O its own
// place from BAR1 (CRTC registers at 4 reg, CLOCK_CNTL at 0x90,
// CONFIG_CHIP_ID at 0xE0).
std::uint32_t mach64_register_port(const AdapterState& state, std::uint32_t reg, std::uint32_t byte);

// The seed of this run, for the simulated desktops and the seeded tests:
// DUO_SEED when set (a decimal or 0x number), otherwise taken from the
// time; told once on stderr so that the run can be replayed, and put into
// this process's environment for what it loads or starts later.
std::uint32_t run_seed();

// Bits inside `mask` as a display driver may have left them, drawn from the
// adapter's desktop seed: the same seed, adapter and desktop mode give the
// same bits in the same order of calls; seed 0 gives none.
std::uint8_t desktop_bits(AdapterState& state, std::uint8_t mask);

// Resets the adapter to the state a display driver leaves it in: the VESA
// progressive mode of the desktop resolution, extended registers locked,
// neighbouring bits drawn from `seed`.
void power_on(AdapterState& state, const AdapterModel& model, const DesktopMode& mode,
              std::uint32_t seed = run_seed());

// One line for people: which extension locks are open.
std::string lock_state(const AdapterState& state);

std::uint8_t port_read(AdapterState& state, std::uint32_t port);
void port_write(AdapterState& state, std::uint32_t port, std::uint8_t value);

// Indexed register access as the driver does it: index to the port, data at
// the port + 1.
std::uint8_t index_read(AdapterState& state, std::uint32_t index_port, std::uint8_t index);
void index_write(AdapterState& state, std::uint32_t index_port, std::uint8_t index, std::uint8_t value);

} // namespace duo::sim
