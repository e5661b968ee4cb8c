#include "lib/hw/detect.h"

#include "lib/hw/adapter_state.h"
#include "lib/hw/hardware_key.h"
#include "lib/hw/port_io.h"
#include "lib/hw/registry.h"

namespace duo {
namespace {

// Trident: SR0B answers the chip id (and puts the sequencer in new mode),
// SR09 the revision.
constexpr std::uint8_t kTridentChipId = 0x0B;
constexpr std::uint8_t kTridentRevision = 0x09;

// First match wins; chip 0 refuses the chip. Revision 0x21 is the ProVidia
// 9685. The 96xx revisions of the Cyber laptop chips (9397: 0x22, 0x23, 0x2A;
// 9385: 0x3x and 0xB3; 9382 and 9388: 0x4x) use the 9685's newer clock code
// but are not the 9685: no table of the library is made for them. The
// remaining revisions (9660, 9680, 9682 and unnamed ones) are driven as
// display drivers drive them, with the older clock code.
struct TridentMember {
    std::uint8_t chip_id, revision_mask, revision;
    std::int32_t chip;
};
constexpr TridentMember kTridentMembers[] = {
    {0xE3, 0x00, 0x00, 0x101}, // TGUI9440
    {0xD3, 0xFF, 0x21, 0x105}, // ProVidia 9685
    {0xD3, 0xFF, 0x22, 0},     {0xD3, 0xFF, 0x23, 0}, {0xD3, 0xFF, 0x2A, 0},
    {0xD3, 0xF0, 0x30, 0},     {0xD3, 0xFF, 0xB3, 0}, {0xD3, 0xF0, 0x40, 0},
    {0xD3, 0x00, 0x00, 0x103}, // other 96xx
};

// S3: CR38/CR39 keys open the S3 registers; CR30 chip class, CR2D/CR2E
// device id, CR2F revision.
constexpr std::uint8_t kS3Lock1 = 0x38, kS3Lock1Key = 0x48;
constexpr std::uint8_t kS3Lock2 = 0x39, kS3Lock2Key = 0xA5;
constexpr std::uint8_t kS3ChipClass = 0x30, kS3DeviceHigh = 0x2D, kS3DeviceLow = 0x2E, kS3Revision = 0x2F;
constexpr std::uint8_t kS3ClassMask = 0xF0, kS3Class = 0xE0;

struct S3Member {
    std::uint8_t device_high, device_low_mask, device_low, revision_mask, revision;
    std::int32_t chip;
};
// First match wins.
constexpr S3Member kS3Members[] = {
    {0x88, 0xFF, 0x10, 0x00, 0x00, 0x201}, // Trio32
    {0x88, 0xFF, 0x11, 0xE0, 0x40, 0x203}, // Trio64V+: revision 4x or 5x
    {0x88, 0xFF, 0x11, 0x00, 0x00, 0x202}, // Trio64
    {0x88, 0xFF, 0x90, 0x00, 0x00, 0x205}, // 868
    {0x56, 0xFF, 0x31, 0x00, 0x00, 0x206}, // ViRGE
    {0x89, 0x00, 0x00, 0x00, 0x00, 0x204}, // any 0x89xx
    {0x8A, 0xFF, 0x01, 0xFF, 0x01, 0x207}, // ViRGE/DX class
};

// Cirrus Logic: CR27 chip id.
constexpr std::uint8_t kCirrusChipId = 0x27;

struct CirrusMember {
    std::uint8_t mask, value;
    std::int32_t chip;
};
constexpr CirrusMember kCirrusMembers[] = {
    {0xFC, 0xB8, 0x303}, // 544x, inside the 543x range: tried first
    {0xE0, 0x80, 0x301},
    {0xE0, 0xA0, 0x302},
};

// ATI: the mach64 sparse I/O register CONFIG_CHIP_ID, and the mach32 chip id
// port pair holding two 5-bit letters.
constexpr std::int32_t kMach64Bases[] = {0x2EC, 0x1CC, 0x1C8};
constexpr std::uint32_t kMach64SparseStride = 0x400;
constexpr std::uint32_t kMach64ChipIdRegister = 27;
constexpr std::uint8_t kMach64ChipId = 0x54;
constexpr std::uint32_t kMach32ChipIdLow = 0xFAEE, kMach32ChipIdHigh = 0xFAEF;
constexpr int kLetterA = 0x41;

// ET6000: CR21 holds the high byte of its PCI I/O base, where the PCI
// vendor and device ids can be read.
constexpr std::uint8_t kEt6000BaseHigh = 0x21;
// Another chip's CR21 names no base: the ports below 0x1000 belong to ISA
// devices (and their 10-bit aliases), where even a read can change a
// device's state, and no PCI I/O base is put there.
constexpr std::uint32_t kLowestPciIoBase = 0x1000;
constexpr std::uint16_t kTsengVendor = 0x100C, kEt6000Device = 0x3208;

constexpr std::uint16_t kAtiVendor = 0x1002;

// The block I/O range (PCI BAR1) the configuration manager gave a listed ATI
// card, also when its device id is not in the PCI table; 0 for none.
std::int32_t g_ati_block_base = 0;

// The chip the configuration manager lists; notes the ATI card's block I/O
// range on the way.
std::int32_t from_registry() {
    using namespace platform;
    const RegistryKey devices = open_device_enum_key();
    if (!devices) return 0;
    std::int32_t chip = 0;
    char name[kRegistryNameSize];
    for (std::uint32_t i = 0; chip == 0 && enum_subkey(devices, i, name); ++i) {
        const RegistryKey device = open_subkey(devices, name);
        if (!device) continue;
        char value[kRegistryValueSize];
        std::uint32_t length = 0;
        if (query_hardware_key(device, value, length) && length <= sizeof value) {
            chip = parse_hardware_key(value, length);
            std::uint8_t allocation[kRegistryValueSize];
            if (hardware_key_vendor(value, length) == kAtiVendor && g_ati_block_base == 0 &&
                query_allocation(device, allocation, length) && length <= sizeof allocation)
                g_ati_block_base = block_io_base(allocation, length);
        }
        close_key(device);
    }
    close_key(devices);
    return chip;
}

std::int32_t probe_trident() {
    const std::uint8_t id = read_seq(kTridentChipId);
    const std::uint8_t revision = read_seq(kTridentRevision);
    for (const TridentMember& m : kTridentMembers)
        if (id == m.chip_id && (revision & m.revision_mask) == m.revision) return m.chip;
    return 0;
}

// The S3 probe reads through the CRTC ports themselves, as it writes the
// unlock keys.
std::uint8_t read_crtc_by_ports(std::uint8_t index) {
    Write_Port(kCrtcIndex, index);
    return Read_Port(kCrtcData);
}

std::int32_t s3_identity() {
    const std::uint8_t chip_class = read_crtc_by_ports(kS3ChipClass);
    const std::uint8_t high = read_crtc_by_ports(kS3DeviceHigh);
    const std::uint8_t low = read_crtc_by_ports(kS3DeviceLow);
    const std::uint8_t revision = read_crtc_by_ports(kS3Revision);
    if ((chip_class & kS3ClassMask) != kS3Class) return 0;
    for (const S3Member& m : kS3Members)
        if (high == m.device_high && (low & m.device_low_mask) == m.device_low &&
            (revision & m.revision_mask) == m.revision)
            return m.chip;
    return 0;
}

// The two registers the keys went to get their values back: on an S3 the
// family's open step keeps the locks as the desktop had them, and on any
// other chip they may mean something else.
std::int32_t probe_s3() {
    const std::uint8_t lock1 = read_crtc_by_ports(kS3Lock1);
    const std::uint8_t lock2 = read_crtc_by_ports(kS3Lock2);
    Write_Port(kCrtcIndex, kS3Lock1);
    Write_Port(kCrtcData, kS3Lock1Key);
    Write_Port(kCrtcIndex, kS3Lock2);
    Write_Port(kCrtcData, kS3Lock2Key);
    const std::int32_t chip = s3_identity();
    Write_Port(kCrtcIndex, kS3Lock2);
    Write_Port(kCrtcData, lock2);
    Write_Port(kCrtcIndex, kS3Lock1);
    Write_Port(kCrtcData, lock1);
    return chip;
}

std::int32_t probe_cirrus() {
    const std::uint8_t id = read_crtc(kCirrusChipId);
    for (const CirrusMember& m : kCirrusMembers)
        if ((id & m.mask) == m.value) return m.chip;
    return 0;
}

bool mach32_answers() {
    const unsigned id = Read_Port(kMach32ChipIdLow) | Read_Port(kMach32ChipIdHigh) << 8;
    const int first = static_cast<int>(id & 0x1F) + kLetterA;
    const int second = static_cast<int>(id >> 5 & 0x1F) + kLetterA;
    return first == 'X' && (second == 'B' || second == 'S');
}

// A PCI mach64 may decode its registers only as block I/O at BAR1, 4 bytes a
// register (CONFIG_CHIP_ID at + 0xE0); its configuration register that says
// so (0x40 bit 2) is out of reach of byte-wide port access, so the chip id
// there decides. The base is kept 256-aligned, which no sparse base is: the
// family tells the two decodings apart by it.
bool mach64_block_answers(std::int32_t base) {
    constexpr std::uint32_t kBlockChipId = 0xE0; // block register 0x38
    return Read_Port(static_cast<std::uint32_t>(base) + kBlockChipId) == kMach64ChipId;
}

std::int32_t probe_ati() {
    if (g_ati_block_base != 0 && mach64_block_answers(g_ati_block_base)) {
        g_adapter.mach64_base_port = g_ati_block_base;
        return 0x401;
    }
    for (std::int32_t base : kMach64Bases) {
        g_adapter.mach64_base_port = base;
        if (Read_Port(static_cast<std::uint32_t>(base) + kMach64ChipIdRegister * kMach64SparseStride) == kMach64ChipId)
            return 0x401;
        if (mach32_answers()) return 0x402;
    }
    return 0;
}

std::uint16_t read_port_pair(std::uint32_t port) {
    return static_cast<std::uint16_t>(Read_Port(port) | Read_Port(port + 1) << 8);
}

std::int32_t probe_et6000() {
    const std::uint32_t base = static_cast<std::uint32_t>(read_crtc(kEt6000BaseHigh)) << 8;
    if (base < kLowestPciIoBase) return 0;
    if (read_port_pair(base) != kTsengVendor || read_port_pair(base + 2) != kEt6000Device) return 0;
    g_adapter.et6000_base_port = static_cast<std::int32_t>(base);
    return 0x501;
}

} // namespace

std::int32_t detect_chip() {
    // A card the registry names still needs the I/O base that only its probe
    // records: without it the mach64's sparse registers and the ET6000's
    // clock would be looked for at the wrong ports. A mach64 whose registers
    // answer nowhere (block I/O with no allocation on record) cannot be
    // reached: writes to a guessed base would land on whatever sits there.
    g_ati_block_base = 0;
    if (const std::int32_t chip = from_registry()) {
        if (chip == 0x401 && probe_ati() != 0x401) return 0;
        if (chip == 0x501) probe_et6000();
        return chip;
    }
    constexpr std::int32_t (*kProbes[])() = {probe_trident, probe_s3, probe_cirrus, probe_ati, probe_et6000};
    for (auto probe : kProbes)
        if (const std::int32_t chip = probe()) return chip;
    return 0;
}

} // namespace duo
