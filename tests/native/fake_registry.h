// A registry for native tests: the configuration manager's device list as the
// detection's registry calls see it, with the failures a real registry can
// give.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sim/adapter.h"

namespace duo::testing {

struct FakeDevice {
    std::string subkey;
    std::string hardware_key; // stored with a terminator, as REG_SZ
    std::vector<std::uint8_t> allocation; // the "Allocation" value; empty: none
    bool has_value = true;
    bool opens = true;          // false: opening the subkey fails
    bool enumerates = true;     // false: enumeration fails at this index
};

struct FakeRegistry {
    bool enum_key_present = true;
    std::vector<FakeDevice> devices;
    // What the walk did: subkeys whose value was read, keys still open.
    std::vector<std::string> queried;
    int open_keys = 0;
    int bad_closes = 0; // closes of a key that was not opened
};

FakeRegistry& fake_registry();

// No device listed, nothing recorded.
void reset_registry();
void list_device(const std::string& subkey, const std::string& hardware_key);
// Lists the adapter's HardWareKey and allocation as the simulated driver does under Wine;
// nothing for a card the configuration manager does not list.
void list_adapter(const sim::AdapterModel& model);

} // namespace duo::testing
