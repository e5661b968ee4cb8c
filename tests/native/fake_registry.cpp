#include "tests/native/fake_registry.h"

#include <cstring>

#include "lib/hw/registry.h"

namespace duo {
namespace testing {
namespace {

// Key handles: the enumeration key, and device i as 0x100 + i.
constexpr platform::RegistryKey kEnumKey = 0x10;
constexpr platform::RegistryKey kFirstDevice = 0x100;

FakeDevice* device_of(platform::RegistryKey key) {
    auto& devices = fake_registry().devices;
    if (key < kFirstDevice || key - kFirstDevice >= devices.size()) return nullptr;
    return &devices[key - kFirstDevice];
}

platform::RegistryKey opened(platform::RegistryKey key) {
    ++fake_registry().open_keys;
    return key;
}

} // namespace

FakeRegistry& fake_registry() {
    static FakeRegistry registry;
    return registry;
}

void reset_registry() { fake_registry() = FakeRegistry{}; }

void list_device(const std::string& subkey, const std::string& hardware_key) {
    fake_registry().devices.push_back({subkey, hardware_key, {}});
}

void list_adapter(const sim::AdapterModel& model) {
    char value[platform::kRegistryValueSize];
    if (sim::hardware_key(model, value, sizeof value) == 0) return;
    list_device("C29A2F30", value);
    std::uint8_t allocation[platform::kRegistryValueSize];
    const std::size_t length = sim::allocation_record(model, allocation, sizeof allocation);
    fake_registry().devices.back().allocation.assign(allocation, allocation + length);
}

} // namespace testing

namespace platform {

RegistryKey open_device_enum_key() {
    return testing::fake_registry().enum_key_present ? testing::opened(testing::kEnumKey) : 0;
}

bool enum_subkey(RegistryKey key, std::uint32_t index, char (&name)[kRegistryNameSize]) {
    auto& devices = testing::fake_registry().devices;
    if (key != testing::kEnumKey || index >= devices.size() || !devices[index].enumerates) return false;
    const std::string& subkey = devices[index].subkey;
    if (subkey.size() >= kRegistryNameSize) return false;
    std::memcpy(name, subkey.c_str(), subkey.size() + 1);
    return true;
}

RegistryKey open_subkey(RegistryKey parent, const char* name) {
    auto& devices = testing::fake_registry().devices;
    if (parent != testing::kEnumKey) return 0;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i].subkey == name && devices[i].opens) return testing::opened(testing::kFirstDevice + i);
    return 0;
}

bool query_hardware_key(RegistryKey key, char (&value)[kRegistryValueSize], std::uint32_t& length) {
    testing::FakeDevice* device = testing::device_of(key);
    if (!device) return false;
    testing::fake_registry().queried.push_back(device->subkey);
    // As REG_SZ with its terminator; a value that does not fit fails like
    // ERROR_MORE_DATA.
    const std::size_t size = device->hardware_key.size() + 1;
    if (!device->has_value || size > kRegistryValueSize) return false;
    std::memcpy(value, device->hardware_key.c_str(), size);
    length = static_cast<std::uint32_t>(size);
    return true;
}

bool query_allocation(RegistryKey key, std::uint8_t (&value)[kRegistryValueSize], std::uint32_t& length) {
    const testing::FakeDevice* device = testing::device_of(key);
    if (!device || device->allocation.empty() || device->allocation.size() > kRegistryValueSize) return false;
    std::memcpy(value, device->allocation.data(), device->allocation.size());
    length = static_cast<std::uint32_t>(device->allocation.size());
    return true;
}

void close_key(RegistryKey key) {
    if (key == testing::kEnumKey || testing::device_of(key)) --testing::fake_registry().open_keys;
    else ++testing::fake_registry().bad_closes;
}

} // namespace platform
} // namespace duo
