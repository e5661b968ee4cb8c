// The library's portable core driven in any order with any arguments, on a
// simulated adapter, after an arbitrary settings file. The input: one byte
// choosing the adapter, one the desktop mode, two giving the length of the
// settings file that follows, then five-byte calls (an operation and a
// 32-bit argument). Nothing may read or write outside a table (the
// sanitizers watch), and the library's own fields stay within their ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/query.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "lib/timing/settings_file.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_registry.h"

namespace {

constexpr std::size_t kMaxInput = 16384;

void check(bool ok) {
    if (!ok) std::abort();
}

constexpr duo::sim::DesktopMode kModes[] = {{640, 480, 8},  {640, 480, 16}, {640, 480, 24}, {800, 600, 8},
                                            {800, 600, 15}, {800, 600, 24}, {1024, 768, 8}, {1024, 768, 16},
                                            {1024, 768, 24}, {1152, 864, 8}, {800, 600, 32}};

std::int32_t read_int(const std::uint8_t* p) {
    std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    std::int32_t out;
    std::memcpy(&out, &v, sizeof out);
    return out;
}

void call(std::uint8_t op, std::int32_t arg) {
    using namespace duo;
    const WindowHandle host = 0x100 + static_cast<WindowHandle>(arg & 0x3);
    switch (op % 12) {
    case 0: init_library(host); break;
    case 1: close_library(host); break;
    case 2: check(enable_stereo(host, arg) >= 0); break;
    case 3: disable_stereo(host); break;
    case 4: check(resume_stereo() == 1); break;
    case 5: switch_glasses(); break;
    case 6: set_frequency(arg); break;
    case 7: check(line_double_command(arg >> 1) == 1); break;
    case 8: query(95 + (arg & 0xF), arg >> 4); break;
    case 9: // the desktop changes mode under the library
        testing::fake().desktop = kModes[static_cast<std::uint32_t>(arg) % (sizeof kModes / sizeof kModes[0])];
        break;
    case 10: g_shared.current_table.default_frequency = arg; break; // as a damaged file leaves it
    default: testing::fake().driver_present = (arg & 1) != 0; break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace duo;
    if (size < 4 || size > kMaxInput) return 0;
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    const sim::AdapterModel& model = models[data[0] % count];
    // The input decides the desktop's neighbouring bits too, so that every
    // finding replays from its input alone.
    const std::uint32_t seed = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    testing::reset_world(model.name, kModes[data[1] % (sizeof kModes / sizeof kModes[0])], seed);
    testing::reset_registry();
    testing::list_adapter(model);
    g_process.driver = 0;
    std::size_t file_size = data[2] | data[3] << 8;
    std::size_t at = 4;
    if (file_size > size - at) file_size = size - at;
    if (file_size > 0) testing::fake().files[kSettingsFileName].assign(data + at, data + at + file_size);
    at += file_size;
    for (; at + 5 <= size; at += 5) {
        call(data[at], read_int(data + at + 1));
        check(g_shared.current_frequency >= 0 && g_shared.current_frequency < kFrequencyCount);
        check(g_shared.stereo == 0 || g_shared.stereo == 1);
        check(g_shared.glasses_phase == 0 || g_shared.glasses_phase == 1);
        check(g_shared.line_double == 0 || g_shared.line_double == 1);
    }
    return 0;
}
