#include "lib/hw/hardware_key.h"

#include <cstring>

namespace duo {
namespace {

struct PciDevice {
    std::uint16_t device;
    std::int32_t chip; // 0: listed, but left to the register probes
};

struct PciVendor {
    std::uint16_t vendor;
    const PciDevice* devices;
    std::size_t device_count;
};

constexpr PciDevice kAtiDevices[] = {{0x5654, 0x401}};
constexpr PciDevice kTsengDevices[] = {{0x3208, 0x501}};
constexpr PciDevice kCirrusDevices[] = {{0x00B8, 0x303}, {0x00D6, 0x304}};
constexpr PciDevice kTridentDevices[] = {{0x9440, 0}, {0x9660, 0}};
constexpr PciDevice kS3Devices[] = {{0x8811, 0}, {0x8880, 0x205}, {0x8901, 0}, {0x8A01, 0x206}};

template <std::size_t N>
constexpr PciVendor vendor(std::uint16_t id, const PciDevice (&devices)[N]) {
    return {id, devices, N};
}

// Searched in this order.
constexpr PciVendor kPciTable[] = {
    vendor(0x1002, kAtiDevices),  vendor(0x100C, kTsengDevices), vendor(0x1013, kCirrusDevices),
    vendor(0x1023, kTridentDevices), vendor(0x5333, kS3Devices),
};

// Character positions in the value: "PCI\VEN_vvvv&DEV_dddd".
constexpr std::size_t kBusAt = 0, kVendorTagAt = 4, kVendorAt = 8, kDeviceTagAt = 13, kDeviceAt = 17;
constexpr std::size_t kShortestKey = kDeviceAt + 4;

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Four hexadecimal digits; any other character makes the whole number 0.
std::uint16_t hex4(const char* digits) {
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
        int d = hex_digit(digits[i]);
        if (d < 0) return 0;
        value = value << 4 | static_cast<unsigned>(d);
    }
    return static_cast<std::uint16_t>(value);
}

bool tag_at(const char* value, std::size_t at, const char (&tag)[4]) { return std::memcmp(value + at, tag, 3) == 0; }

} // namespace

std::uint16_t hardware_key_vendor(const char* value, std::size_t length) {
    if (!value || length < kShortestKey) return 0;
    if (!tag_at(value, kBusAt, "PCI") || !tag_at(value, kVendorTagAt, "VEN") || !tag_at(value, kDeviceTagAt, "DEV"))
        return 0;
    return hex4(value + kVendorAt);
}

std::int32_t parse_hardware_key(const char* value, std::size_t length) {
    const std::uint16_t vendor_id = hardware_key_vendor(value, length);
    if (vendor_id == 0) return 0;
    const std::uint16_t device_id = hex4(value + kDeviceAt);
    for (const PciVendor& v : kPciTable) {
        if (v.vendor != vendor_id) continue;
        for (std::size_t i = 0; i < v.device_count; ++i)
            if (v.devices[i].device == device_id) return v.devices[i].chip;
        return 0;
    }
    return 0;
}

namespace {

constexpr std::size_t kAllocationHeader = 4, kEntryHeader = 8;
constexpr std::uint32_t kResourceIo = 2;
constexpr std::size_t kIoFirstPort = 4, kIoLastPort = 6; // within the I/O descriptor
constexpr std::uint32_t kBlockPorts = 0x100, kFirstPciPort = 0x400;

std::uint32_t little(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

} // namespace

std::int32_t block_io_base(const std::uint8_t* record, std::size_t length) {
    if (record == nullptr || length < kAllocationHeader) return 0;
    std::size_t at = kAllocationHeader;
    while (length - at >= kEntryHeader) {
        const std::uint32_t entry = little(record + at, 4);
        if (entry < kEntryHeader || entry > length - at) return 0;
        if (little(record + at + 4, 4) == kResourceIo && entry >= kEntryHeader + kIoLastPort + 2) {
            const std::uint32_t first = little(record + at + kEntryHeader + kIoFirstPort, 2);
            const std::uint32_t last = little(record + at + kEntryHeader + kIoLastPort, 2);
            if (first >= kFirstPciPort && first % kBlockPorts == 0 && last == first + kBlockPorts - 1)
                return static_cast<std::int32_t>(first);
        }
        at += entry;
    }
    return 0;
}

} // namespace duo
