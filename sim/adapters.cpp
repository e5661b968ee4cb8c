// The catalog of simulated adapters: one entry per chip that detection can
// tell apart, plus cards it must not recognise, each with what detection must
// make of it.
#include <cstdio>
#include <cstring>

#include "sim/adapter.h"

namespace duo::sim {
namespace {

using enum ChipFamily;

// mach32 chip id: letter codes X (0x17) in bits 0-4 and S (0x12) in bits 5-9.
constexpr std::uint16_t kMach32LettersXS = 0x17 | 0x12 << 5;

// Where the ATI probe leaves the mach64 base when it has tried all three.
constexpr std::int32_t kAllBasesTried = 0x1C8;

constexpr AdapterModel kModels[] = {
    {.name = "vga", .expected_chip = 0, .description = "plain VGA, no extended registers", .family = kVga,
     .expected_mach64_base = kAllBasesTried},

    {.name = "trident-9440", .expected_chip = 0x101,
     .description = "Trident TGUI9440AGi, PCI 1023:9440 (listed without a chip code): the probe decides",
     .family = kTrident, .pci = {0x1023, 0x9440, 0x00, true}, .trident = {0xE3, 0x00}},
    {.name = "trident-9680", .expected_chip = 0x103,
     .description = "Trident TGUI9680, PCI 1023:9660 (listed without a chip code), SR09 revision 01",
     .family = kTrident, .pci = {0x1023, 0x9660, 0x00, true}, .trident = {0xD3, 0x01}},
    {.name = "trident-9685", .expected_chip = 0x105,
     .description = "Trident ProVidia 9685, PCI 1023:9660 (listed without a chip code), SR09 revision 21",
     .family = kTrident, .pci = {0x1023, 0x9660, 0x00, true}, .trident = {0xD3, 0x21}},

    {.name = "s3-732", .expected_chip = 0x201,
     .description = "S3 Trio32 (732), PCI 5333:8810 (device not in the table): the probe decides", .family = kS3,
     .pci = {0x5333, 0x8810, 0x00, true}, .s3 = {0xE1, 0x88, 0x10, 0x00}},
    {.name = "s3-764", .expected_chip = 0x202,
     .description = "S3 Trio64 (764), PCI 5333:8811 (listed without a chip code), revision 01", .family = kS3,
     .pci = {0x5333, 0x8811, 0x01, true}, .s3 = {0xE1, 0x88, 0x11, 0x01}},
    {.name = "s3-765", .expected_chip = 0x203,
     .description = "S3 Trio64V+ (765), PCI 5333:8811 (listed without a chip code), revision 40", .family = kS3,
     .pci = {0x5333, 0x8811, 0x40, true}, .s3 = {0xE1, 0x88, 0x11, 0x40}},
    {.name = "s3-trio64v2", .expected_chip = 0x204,
     .description = "S3 Trio64V2, PCI 5333:8901 (listed without a chip code), device id 8901", .family = kS3,
     .pci = {0x5333, 0x8901, 0x16, true}, .s3 = {0xE1, 0x89, 0x01, 0x16}},
    {.name = "s3-868", .expected_chip = 0x205,
     .description = "S3 Vision868, PCI 5333:8880: the registry decides (the probe agrees)", .family = kS3,
     .pci = {0x5333, 0x8880, 0x00, true}, .s3 = {0xE1, 0x88, 0x90, 0x00}},
    {.name = "s3-virge", .expected_chip = 0x206,
     .description = "S3 ViRGE (325), PCI 5333:5631 (device not in the table): the probe finds 56 31",
     .family = kS3, .pci = {0x5333, 0x5631, 0x06, true}, .s3 = {0xE1, 0x56, 0x31, 0x06}},
    {.name = "s3-virge-dx", .expected_chip = 0x206,
     .description = "S3 ViRGE/DX, PCI 5333:8A01: the registry gives 0x206 (its registers alone give 0x207)",
     .family = kS3, .pci = {0x5333, 0x8A01, 0x01, true}, .s3 = {0xE1, 0x8A, 0x01, 0x01}},
    {.name = "s3-virge-dx-unlisted", .expected_chip = 0x207,
     .description = "the same ViRGE/DX without a configuration manager entry: the probe decides", .family = kS3,
     .pci = {0x5333, 0x8A01, 0x01, false}, .s3 = {0xE1, 0x8A, 0x01, 0x01}},
    {.name = "s3-vision964", .expected_chip = 0,
     .description = "S3 Vision964, PCI 5333:88D0: not recognised", .family = kS3,
     .pci = {0x5333, 0x88D0, 0x00, true}, .s3 = {0xE1, 0x88, 0xD0, 0x00}, .expected_mach64_base = kAllBasesTried},
    {.name = "s3-trio64-oddclass", .expected_chip = 0,
     .description = "Trio64-class card listed as PCI 5333:8811 whose CR30 reads C1: named, not recognised",
     .family = kS3, .pci = {0x5333, 0x8811, 0x01, true}, .s3 = {0xC1, 0x88, 0x11, 0x01},
     .expected_mach64_base = kAllBasesTried},

    {.name = "cirrus-542x", .expected_chip = 0x301,
     .description = "Cirrus Logic GD5428, VL-Bus (not listed), CR27 98", .family = kCirrus, .cirrus = {0x98}},
    {.name = "cirrus-543x", .expected_chip = 0x302,
     .description = "Cirrus Logic GD5434, PCI 1013:00A8 (device not in the table), CR27 A8", .family = kCirrus,
     .pci = {0x1013, 0x00A8, 0x00, true}, .cirrus = {0xA8}},
    {.name = "cirrus-544x", .expected_chip = 0x303,
     .description = "Cirrus Logic GD5446, PCI 1013:00B8: the registry decides (the probe agrees)",
     .family = kCirrus, .pci = {0x1013, 0x00B8, 0x00, true}, .cirrus = {0xB8}},
    {.name = "cirrus-5465", .expected_chip = 0x304,
     .description = "Cirrus Logic Laguna GD5465, PCI 1013:00D6: known by its PCI entry only (CR27 D6)",
     .family = kCirrus, .pci = {0x1013, 0x00D6, 0x00, true}, .cirrus = {0xD6}},

    {.name = "mach64-vt", .expected_chip = 0x401,
     .description = "ATI mach64 VT (264VT), PCI 1002:5654, sparse I/O at 2EC or block I/O at E000: the registry decides",
     .family = kMach64, .pci = {0x1002, 0x5654, 0x40, true}, .io_base = 0x2EC, .mach64_bar1 = 0xE000},
    {.name = "mach64-ct", .expected_chip = 0x401,
     .description = "ATI mach64 CT (264CT), PCI 1002:4354 (device not in the table), sparse I/O at 1CC or block I/O at D800",
     .family = kMach64, .pci = {0x1002, 0x4354, 0x09, true}, .io_base = 0x1CC, .mach64_bar1 = 0xD800,
     .expected_mach64_base = 0x1CC},
    {.name = "mach32", .expected_chip = 0x402,
     .description = "ATI mach32 (68800), ISA, chip id letters X S: detected, not supported", .family = kMach32,
     .mach32_chip_id = kMach32LettersXS},

    {.name = "et6000", .expected_chip = 0x501,
     .description = "Tseng ET6000, PCI 100C:3208 at I/O E800: the registry decides, the probe finds its base",
     .family = kEt6000, .pci = {0x100C, 0x3208, 0x00, true}, .io_base = 0xE800, .expected_et6000_base = 0xE800},
    {.name = "et6000-unlisted", .expected_chip = 0x501,
     .description = "an ET6000 at I/O D400 without a configuration manager entry: the probe decides",
     .family = kEt6000, .pci = {0x100C, 0x3208, 0x00, false}, .io_base = 0xD400,
     .expected_mach64_base = kAllBasesTried, .expected_et6000_base = 0xD400},
};

} // namespace

const AdapterModel* adapter_models(int& count) {
    count = static_cast<int>(sizeof kModels / sizeof kModels[0]);
    return kModels;
}

const AdapterModel* find_adapter(std::string_view name) {
    for (const AdapterModel& m : kModels)
        if (name == m.name) return &m;
    return nullptr;
}

const AdapterModel* model_of(const AdapterState& state) {
    if (state.magic != kStateMagic) return nullptr;
    return find_adapter(std::string_view(state.adapter_name, strnlen(state.adapter_name, sizeof state.adapter_name)));
}

std::size_t hardware_key(const AdapterModel& model, char* out, std::size_t size) {
    if (!out || size == 0) return 0;
    out[0] = '\0';
    if (model.pci.vendor == 0 || !model.pci.listed) return 0;
    // As the configuration manager of the period lists a card in slot 13.
    const int n = std::snprintf(out, size, "PCI\\VEN_%04X&DEV_%04X&SUBSYS_00000000&REV_%02X\\BUS_00&DEV_0D&FUNC_00",
                                static_cast<unsigned>(model.pci.vendor), static_cast<unsigned>(model.pci.device),
                                static_cast<unsigned>(model.pci.revision));
    if (n < 0 || static_cast<std::size_t>(n) >= size) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<std::size_t>(n);
}

namespace {

constexpr std::uint32_t kAllocationVersion = 0x400;
constexpr std::uint32_t kResourceMemory = 1, kResourceIo = 2;
constexpr std::uint16_t kIoTypeRange = 12;

struct RecordWriter {
    std::uint8_t* out;
    std::size_t size, used = 0;
    bool fits = true;
    void put(std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            if (used >= size) {
                fits = false;
                return;
            }
            out[used++] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
    void io(std::uint32_t first, std::uint32_t last) {
        put(8 + 12, 4);
        put(kResourceIo, 4);
        put(1, 2);
        put(kIoTypeRange, 2);
        put(first, 2);
        put(last, 2);
        put(0, 2);
        put(0xFF, 1); // no aliases
        put(0xFF, 1); // all 16 address lines decoded
    }
    void memory(std::uint32_t first, std::uint32_t last) {
        put(8 + 20, 4);
        put(kResourceMemory, 4);
        put(1, 4);
        put(0, 4);
        put(first, 4);
        put(last, 4);
        put(0, 2);
        put(0, 2);
    }
};

} // namespace

std::size_t allocation_record(const AdapterModel& model, std::uint8_t* out, std::size_t size) {
    if (!out || model.pci.vendor == 0 || !model.pci.listed) return 0;
    RecordWriter w{out, size};
    w.put(kAllocationVersion, 4);
    w.memory(0xA0000, 0xBFFFF);
    w.io(0x3B0, 0x3BB);
    w.io(0x3C0, 0x3DF);
    if (model.mach64_bar1) w.io(model.mach64_bar1, model.mach64_bar1 + 0xFFu);
    w.put(0, 4);
    return w.fits ? w.used : 0;
}

} // namespace duo::sim
