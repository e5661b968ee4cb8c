// Stereo on and off, resume, eye swap, frequency change and line-double mode
// through the portable core on the simulated adapters, checked at the
// adapter's registers and in what the library posts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "lib/core/clients.h"
#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/query.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "lib/dialogs/adjust.h"
#include "lib/hw/driver_protocol.h"
#include "lib/hw/port_io.h"
#include "lib/timing/defaults.h"
#include "lib/timing/timing_decode.h"
#include "lib/timing/timing_load.h"
#include "sim/monitor.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_registry.h"

namespace duo {
namespace {

using testing::PostedMessage;

constexpr WindowHandle kOwnHost = 0x100;
constexpr WindowHandle kOtherHost = 0x200;

// Brings the library up in this process on the named adapter, as Init would
// on a machine with that card; another client's host window is registered.
// The desktop most tests run on: 800x600 at 16 bits (on the mach64, its
// accelerator CRTC).
sim::DesktopMode usual_desktop(const char*) { return {800, 600, 16}; }

void bring_up(const char* adapter, sim::DesktopMode mode) {
    testing::reset_world(adapter, mode);
    testing::reset_registry();
    testing::list_adapter(*sim::find_adapter(adapter));
    g_process.driver = 0;
    ASSERT_EQ(init_library(kOwnHost), 1) << adapter;
    g_shared.clients[5].host_window = kOtherHost;
    testing::fake().posted.clear();
}

void bring_up(const char* adapter) { bring_up(adapter, usual_desktop(adapter)); }

sim::AdapterState& adapter() { return *testing::fake().adapter; }

std::string hex(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

// The registers a display would care about, for before/after comparisons.
// The mach64 PLL index and data window (CLOCK_CNTL bytes 1 and 2) only show
// the last selection, like the VGA index registers.
bool same_registers(const sim::AdapterState& a, const sim::AdapterState& b, std::string& where) {
    const std::uint32_t pll_index = a.family == sim::ChipFamily::kMach64 ? sim::mach64_register_port(a, 18, 1) : 0x10000;
    for (int i = 0; i < 256; ++i) {
        if (a.seq[i] != b.seq[i]) return where = "SR" + hex(i), false;
        if (a.crtc[i] != b.crtc[i]) return where = "CR" + hex(i), false;
    }
    if (a.misc_output != b.misc_output) return where = "misc", false;
    for (std::uint32_t i = 0; i < 0x10000; ++i)
        if (i != pll_index && i != pll_index + 1 && a.ports[i] != b.ports[i]) return where = "port " + hex(static_cast<int>(i)), false;
    return true;
}

// Adapters whose chip runs stereo at 800x600x16.
std::vector<const sim::AdapterModel*> supported_adapters() {
    std::vector<const sim::AdapterModel*> out;
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (int i = 0; i < count; ++i)
        if (mode_has_timing(models[i].expected_chip, 16, 800, 600)) out.push_back(&models[i]);
    return out;
}

std::string hex_bytes(const std::uint8_t* bytes, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += " " + hex(bytes[i]);
    return text;
}

// The seed of a randomised test: the run's seed, DUO_SEED replays it.
unsigned test_seed() { return sim::run_seed(); }

bool has_empty_clock_slot(std::int32_t f) {
    const ClockSetting& c = selected_clock_setting(f);
    return (c.b[0] | c.b[1] | c.b[2]) == 0;
}

TEST(StereoEnable, SubstitutesTheDefaultAndClampsTheFrequency) {
    struct {
        std::int32_t argument, used;
    } cases[] = {{20, 5}, {-3, 0}, {12, 9}, {10, 9}, {0, 0}, {9, 9}, {4, 4}};
    for (auto c : cases) {
        bring_up("s3-765");
        EXPECT_EQ(enable_stereo(kOwnHost, c.argument), c.used) << c.argument;
        EXPECT_EQ(g_shared.current_frequency, c.used);
        EXPECT_EQ(g_shared.stereo, 1);
        std::vector<PostedMessage> expected = {{kOtherHost, 1124, 605, c.used}};
        EXPECT_EQ(testing::fake().posted, expected) << "the caller's own window is left out";
    }
}

TEST(StereoEnable, BeforeInitialisationFailsWith201) {
    testing::reset_world("s3-765");
    EXPECT_EQ(enable_stereo(0, 5), 0);
    EXPECT_EQ(g_shared.last_error, kErrNotInitialised);
    EXPECT_EQ(set_frequency(5), 0);
    EXPECT_EQ(g_shared.last_error, kErrNotInitialised);
    EXPECT_TRUE(testing::fake().driver_calls.empty());
}

TEST(StereoEnable, WhileOnChangesNothingButStillTellsTheOthers) {
    bring_up("cirrus-543x");
    enable_stereo(kOwnHost, 3);
    testing::fake().posted.clear();
    const sim::AdapterState before = adapter();
    EXPECT_EQ(enable_stereo(kOwnHost, 12), 9) << "the clamped argument is returned";
    EXPECT_EQ(g_shared.current_frequency, 3);
    std::string where;
    EXPECT_TRUE(same_registers(before, adapter(), where)) << where;
    std::vector<PostedMessage> expected = {{kOtherHost, 1124, 605, 3}};
    EXPECT_EQ(testing::fake().posted, expected);
}

// An index without timing or without a clock is refused, not programmed:
// a chip with no family, a zero block, an empty clock slot.
TEST(StereoEnable, RefusesWhatCannotBeProgrammed) {
    auto expect_refused = [](std::int32_t frequency, const char* why) {
        testing::fake().driver_calls.clear();
        EXPECT_EQ(enable_stereo(kOwnHost, frequency), 0) << why;
        EXPECT_EQ(g_shared.last_error, kErrBadFrequency) << why;
        EXPECT_EQ(g_shared.stereo, 0) << why;
        EXPECT_TRUE(testing::fake().posted.empty()) << why;
        EXPECT_TRUE(testing::fake().driver_calls.empty()) << why;
    };
    bring_up("s3-765");
    g_shared.chip_code = 0x104;
    expect_refused(2, "no family");
    bring_up("s3-765");
    g_shared.current_table.blocks[6] = TimingBlock{};
    expect_refused(6, "zero block");
    EXPECT_EQ(query(kQueryStatus, 6), 1) << "the load had it";
    bring_up("et6000", {800, 600, 16});
    for (std::int32_t f = 0; f < kFrequencyCount; ++f) {
        if (has_empty_clock_slot(f)) {
            EXPECT_EQ(query(kQueryStatus, f), 0) << "slot " << f << " is not offered";
            expect_refused(f, "empty clock slot");
        }
    }
}

TEST(StereoDisable, EnableThenDisableRestoresEveryRegisterOnEveryAdapter) {
    for (const sim::AdapterModel* model : supported_adapters()) {
        // Frequencies with a clock in every table (slots 0-2 may be empty).
        for (std::int32_t f : {3, 5, 9}) {
            SCOPED_TRACE(std::string(model->name) + " frequency " + std::to_string(f));
            testing::reset_world(model->name, usual_desktop(model->name));
            testing::reset_registry();
            testing::list_adapter(*model);
            g_process.driver = 0;
            if (init_library(kOwnHost) != 1) {
                ADD_FAILURE() << "Init failed with " << g_shared.last_error;
                continue;
            }
            const sim::AdapterState entry = adapter();
            enable_stereo(kOwnHost, f);
            // Only the ET6000 hides the cursor while it switches, and shows it again.
            EXPECT_EQ(testing::fake().cursor_hides, family_of(g_shared.chip_code) == kEt6000 ? 1 : 0);
            EXPECT_EQ(testing::fake().cursor, 0x77u);
            switch_glasses();
            set_frequency(f == 9 ? 4 : f + 3);
            resume_stereo();
            disable_stereo(kOwnHost);
            std::string where;
            EXPECT_TRUE(same_registers(entry, adapter(), where)) << where;
            EXPECT_EQ(g_shared.glasses_phase, 1);
            EXPECT_EQ(g_shared.line_double, 0);
        }
    }
}

TEST(StereoDisable, WhileOffTouchesNoRegisterAndStillPosts606) {
    bring_up("trident-9680");
    testing::fake().driver_calls.clear();
    g_shared.last_error = 301;
    disable_stereo(kOtherHost);
    EXPECT_TRUE(testing::fake().driver_calls.empty());
    std::vector<PostedMessage> expected = {{kOwnHost, 1124, 606, 0}};
    EXPECT_EQ(testing::fake().posted, expected);
    EXPECT_EQ(g_shared.last_error, 0);
}

TEST(SwitchGlasses, TwiceReturnsTheDisplayStartAndLineCount) {
    bring_up("s3-765");
    enable_stereo(kOwnHost, 5);
    const std::uint8_t vde = adapter().crtc[0x12];
    const int shift = g_shared.eye_shift;
    switch_glasses();
    EXPECT_EQ(g_shared.glasses_phase, 0);
    EXPECT_EQ(adapter().crtc[0x0D], (2 * shift) & 0xFF);
    EXPECT_EQ(adapter().crtc[0x0C], (shift >> 7) & 0x07);
    EXPECT_EQ(adapter().crtc[0x12], static_cast<std::uint8_t>(vde - 1));
    switch_glasses();
    EXPECT_EQ(g_shared.glasses_phase, 1);
    EXPECT_EQ(adapter().crtc[0x0D], 0);
    EXPECT_EQ(adapter().crtc[0x0C], 0);
    EXPECT_EQ(adapter().crtc[0x12], vde);
}

TEST(SwitchGlasses, ActsAlsoWhenStereoIsOff) {
    bring_up("et6000");
    g_shared.eye_shift = 0x3C0; // 11 bits of twice the shift: 0x780
    const std::uint8_t vde = adapter().crtc[0x12];
    switch_glasses();
    EXPECT_EQ(adapter().crtc[0x0D], 0x80);
    EXPECT_EQ(adapter().crtc[0x0C], 0x07);
    EXPECT_EQ(adapter().crtc[0x12], static_cast<std::uint8_t>(vde - 1));

    // A process without its own way to the adapter swaps nothing.
    g_process.driver = 0;
    testing::fake().driver_calls.clear();
    switch_glasses();
    EXPECT_TRUE(testing::fake().driver_calls.empty());
    EXPECT_EQ(g_shared.glasses_phase, 0);
}

TEST(Resume, WithTheEyesSwappedMovesTheStartAgain) {
    bring_up("trident-9440", {800, 600, 16});
    enable_stereo(kOwnHost, 6);
    switch_glasses();
    adapter().crtc[0x12] = 0x00; // something else reset the adapter
    adapter().crtc[0x0D] = 0x00;
    EXPECT_EQ(resume_stereo(), 1);
    const TimingBlock& block = g_shared.current_table.blocks[6];
    EXPECT_EQ(adapter().crtc[0x12], static_cast<std::uint8_t>(block.bytes[0x12] - 1));
    EXPECT_EQ(adapter().crtc[0x0D], (2 * g_shared.eye_shift) & 0xFF);
}

TEST(Resume, DoesNothingWhenStereoIsOff) {
    bring_up("cirrus-544x");
    testing::fake().driver_calls.clear();
    EXPECT_EQ(resume_stereo(), 1);
    EXPECT_TRUE(testing::fake().driver_calls.empty());
}

// The display driver set a mode the library has no clocks for: the stereo
// session of the old mode ends without a timing or clock write.
TEST(Resume, S3AtAResolutionWithoutAClockTableWritesNothing) {
    bring_up("s3-765");
    enable_stereo(kOwnHost, 4);
    testing::fake().desktop = {1152, 864, 16};
    testing::fake().driver_calls.clear();
    resume_stereo();
    EXPECT_EQ(g_shared.stereo, 0);
    for (std::uint32_t code : testing::fake().driver_calls)
        EXPECT_TRUE(code != driver::kWriteRegBlock && code != driver::kS3Clock) << "no timing without its clock";
}

TEST(Frequency, ChangeNeedsStereoAndAValidIndex) {
    bring_up("mach64-vt");
    EXPECT_EQ(set_frequency(3), 0);
    EXPECT_EQ(g_shared.last_error, kErrStereoOff);
    enable_stereo(kOwnHost, 1);
    testing::fake().posted.clear();
    for (std::int32_t bad : {10, -1, 19, 21}) {
        EXPECT_EQ(set_frequency(bad), 0) << bad;
        EXPECT_EQ(g_shared.last_error, kErrBadFrequency);
    }
    EXPECT_TRUE(testing::fake().posted.empty());
    EXPECT_EQ(g_shared.current_frequency, 1);
    EXPECT_EQ(set_frequency(20), 1);
    EXPECT_EQ(g_shared.current_frequency, 5);
    std::vector<PostedMessage> expected = {{kOwnHost, 1124, 607, 5}, {kOtherHost, 1124, 607, 5}};
    EXPECT_EQ(testing::fake().posted, expected) << "every host window, the caller's too";
}

TEST(Frequency, ADamagedDefaultIndexNeverIndexesATable) {
    bring_up("s3-765");
    for (std::int32_t bad : {-1, kFrequencyCount, kFrequencyCount + 1, 1000}) EXPECT_EQ(stereo_timing_block(bad), nullptr);
    EXPECT_EQ(stereo_timing_block(kFrequencyCount - 1), &g_shared.current_table.blocks[kFrequencyCount - 1]);
    g_shared.current_table.default_frequency = 42; // as read from a damaged file
    EXPECT_EQ(query(kQueryDefaultFrequency, 0), 42);
    EXPECT_EQ(enable_stereo(kOwnHost, 20), 9) << "clamped";
    EXPECT_EQ(set_frequency(20), 0);
    EXPECT_EQ(g_shared.last_error, kErrBadFrequency);
    g_shared.current_table.default_frequency = -7;
    EXPECT_EQ(set_frequency(20), 0);
    EXPECT_EQ(g_shared.current_frequency, 9);
}

TEST(LineDouble, MaxScanLineIsDoubledAndHalved) {
    struct {
        std::uint8_t before, doubled;
    } cases[] = {{0x40, 0x41}, {0x43, 0x46}, {0x50, 0x5F}, {0x2F, 0x3E}, {0x00, 0x01}};
    for (auto c : cases) {
        bring_up("cirrus-542x");
        enable_stereo(kOwnHost, 2);
        adapter().crtc[0x09] = c.before;
        line_double_command(kLineDoubleOn);
        // Bit 5 is vertical blanking: the doubled field saturates below it.
        EXPECT_EQ(adapter().crtc[0x09], c.doubled) << int(c.before);
        EXPECT_TRUE(adapter().crtc[0x17] & 0x04);
        EXPECT_EQ(query(kQueryFrequency, 0), 16);
        line_double_command(kLineDoubleOff);
        EXPECT_EQ(adapter().crtc[0x09], c.before) << int(c.before);
        EXPECT_FALSE(adapter().crtc[0x17] & 0x04);
        EXPECT_EQ(g_shared.current_frequency, 2);
    }
}

TEST(LineDouble, OnlyTheFirst501AndItsMatching502Act) {
    bring_up("s3-765");
    enable_stereo(kOwnHost, 4);
    line_double_command(kLineDoubleOn);  // saves 4
    line_double_command(kLineDoubleOn);  // already on: nothing stacks
    line_double_command(kLineDoubleOff);
    EXPECT_EQ(g_shared.current_frequency, 4);
    EXPECT_EQ(g_shared.line_double, 0);
    testing::fake().driver_calls.clear();
    line_double_command(kLineDoubleOff); // already off
    EXPECT_TRUE(testing::fake().driver_calls.empty());

    // A frequency change in line-double mode keeps its 120 Hz clock and is
    // where the mode's end returns to.
    line_double_command(kLineDoubleOn);
    const double rate = sim::observe(adapter()).field_rate_hz;
    testing::fake().posted.clear();
    EXPECT_EQ(set_frequency(6), 1);
    EXPECT_EQ(sim::observe(adapter()).field_rate_hz, rate);
    EXPECT_EQ(testing::fake().posted, (std::vector<PostedMessage>{{kOwnHost, 1124, 607, 6}, {kOtherHost, 1124, 607, 6}}));
    line_double_command(kLineDoubleOff);
    EXPECT_EQ(g_shared.current_frequency, 6);

    // With stereo off neither command reaches the desktop's registers.
    disable_stereo(kOwnHost);
    testing::fake().driver_calls.clear();
    line_double_command(kLineDoubleOn);
    line_double_command(kLineDoubleOff);
    EXPECT_TRUE(testing::fake().driver_calls.empty());
    EXPECT_EQ(g_shared.line_double, 0);
}

// Switch, 501, Resume, 502, Switch on every family: the registers end as
// Enable left them, and Resume tells nobody anything.
TEST(LineDouble, RoundTripsThroughResumeAndEyeSwapsAreExact) {
    for (const sim::AdapterModel* model : supported_adapters()) {
        bring_up(model->name);
        // The 120 Hz index's block differs from the one stereo runs (as after
        // an adjustment), so a resume that took the wrong block shows.
        g_shared.current_table.blocks[9].bytes[0x04] ^= 0x01;
        ASSERT_EQ(enable_stereo(kOwnHost, 4), 4) << model->name;
        const sim::AdapterState enabled = adapter();
        switch_glasses();
        line_double_command(kLineDoubleOn);
        testing::fake().posted.clear();
        // A resume puts back what the chip ran: here nothing changes.
        const sim::AdapterState before_resume = adapter();
        resume_stereo();
        std::string changed;
        EXPECT_TRUE(same_registers(before_resume, adapter(), changed)) << model->name << " resume changed " << changed;
        EXPECT_TRUE(testing::fake().posted.empty()) << model->name;
        line_double_command(kLineDoubleOff);
        switch_glasses();
        std::string where;
        EXPECT_TRUE(same_registers(enabled, adapter(), where)) << model->name << " differs at " << where;
        EXPECT_EQ(g_shared.current_frequency, 4) << model->name;
    }
}

// On every adapter and mode, with frequencies drawn by a seed: a frequency
// change runs the clock a resume writes again (S3 chips up to the 868 take
// both from the table of the resolution); line-double mode runs the clock a
// change to 120 Hz runs, and S3 chips run one timing in it whatever the
// mode.
TEST(LineDouble, RunsThe120HzClockAndOnS3OneTimingForEveryMode) {
    const unsigned seed = test_seed();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed) + " (DUO_SEED)");
    const sim::DesktopMode modes[] = {{640, 480, 8}, {640, 480, 24}, {800, 600, 16}, {1024, 768, 8}, {800, 600, 24}};
    std::vector<std::uint8_t> s3_line_double_crtc;
    for (const sim::AdapterModel* model : supported_adapters()) {
        for (const sim::DesktopMode& mode : modes) {
            testing::reset_world(model->name, mode);
            testing::reset_registry();
            testing::list_adapter(*model);
            g_process.driver = 0;
            if (init_library(kOwnHost) != 1) continue;
            std::vector<std::int32_t> programmable;
            for (std::int32_t f = 0; f < kFrequencyCount; ++f)
                if (frequency_programmable(f) && f != 9) programmable.push_back(f);
            if (programmable.empty() || !frequency_programmable(9)) continue;
            const std::int32_t f = programmable[random() % programmable.size()];
            const std::int32_t g = programmable[random() % programmable.size()];
            SCOPED_TRACE(std::string(model->name) + " " + std::to_string(mode.width) + "x" +
                         std::to_string(mode.bits_per_pixel) + " frequencies " + std::to_string(f) + ", " +
                         std::to_string(g));
            ASSERT_EQ(enable_stereo(kOwnHost, f), f);
            ASSERT_EQ(set_frequency(9), 1);
            const double clock_120 = sim::observe(adapter()).pixel_clock_hz;
            ASSERT_EQ(set_frequency(g), 1);
            const double clock_g = sim::observe(adapter()).pixel_clock_hz;
            resume_stereo();
            EXPECT_EQ(sim::observe(adapter()).pixel_clock_hz, clock_g);
            line_double_command(kLineDoubleOn);
            const sim::MonitorView doubled = sim::observe(adapter());
            EXPECT_EQ(doubled.pixel_clock_hz, clock_120);
            EXPECT_TRUE(doubled.interlaced);
            if (family_of(g_shared.chip_code) == kS3) {
                // Its own timing, the same in every mode: CRTC 0x00-0x18
                // without the start address, which follows the eyes.
                std::vector<std::uint8_t> crtc(adapter().crtc, adapter().crtc + 0x19);
                crtc[0x0C] = crtc[0x0D] = 0;
                if (s3_line_double_crtc.empty()) s3_line_double_crtc = crtc;
                EXPECT_EQ(crtc, s3_line_double_crtc);
                EXPECT_NE(0, std::memcmp(adapter().crtc, g_shared.current_table.blocks[g].bytes, 0x0C));
            }
            line_double_command(kLineDoubleOff);
            EXPECT_EQ(sim::observe(adapter()).pixel_clock_hz, clock_g);
        }
    }
    EXPECT_FALSE(s3_line_double_crtc.empty());
}

TEST(LineDouble, OtherCommandsDoNothingAndClearTheError) {
    bring_up("s3-765");
    testing::fake().driver_calls.clear();
    g_shared.last_error = 300;
    EXPECT_EQ(line_double_command(700), 1);
    EXPECT_EQ(g_shared.last_error, 0);
    EXPECT_TRUE(testing::fake().driver_calls.empty());
}

TEST(InitClose, SecondInitInTheSameProcessAnswers103AndPostsNothing) {
    bring_up("s3-765");
    EXPECT_EQ(init_library(kOwnHost), 1);
    EXPECT_EQ(g_shared.last_error, kErrAlreadyInitialised);
    EXPECT_TRUE(testing::fake().posted.empty());
}

TEST(InitClose, RefusedModeClosesTheDriverAndTheNextInitDetectsAgain) {
    testing::reset_world("trident-9440", {640, 480, 16});
    testing::reset_registry();
    g_process.driver = 0;
    EXPECT_EQ(init_library(kOwnHost), 0);
    EXPECT_EQ(g_shared.last_error, kErrModeRefused);
    EXPECT_EQ(g_shared.chip_code, 0x101);
    EXPECT_EQ(g_process.driver, 0u);
    EXPECT_EQ(testing::fake().closes, 1);
    testing::fake().desktop = {800, 600, 16};
    EXPECT_EQ(init_library(kOwnHost), 1);
    EXPECT_EQ(testing::fake().opens, 2);

    // No supported chip at all: refused with its own error, nothing set up.
    testing::reset_world("vga", {800, 600, 16});
    testing::reset_registry();
    g_process.driver = 0;
    EXPECT_EQ(init_library(kOwnHost), 0);
    EXPECT_EQ(g_shared.last_error, kErrUnknownChip);
    EXPECT_EQ(g_shared.initialised, 0);
    EXPECT_EQ(g_process.driver, 0u);
}

TEST(InitClose, InitPostsAvailabilityDefaultAndStereoState) {
    bring_up("s3-765");
    enable_stereo(kOwnHost, 7);
    g_shared.current_table.status[2] = 0;
    testing::fake().posted.clear();
    // A second client process initialises while stereo is on.
    g_shared.initialised = 0;
    EXPECT_EQ(init_library(kOtherHost), 1);
    std::vector<PostedMessage> expected = {
        {kOtherHost, 1124, 604, 1023}, {kOtherHost, 1124, 608, 5}, {kOtherHost, 1124, 605, 7}};
    EXPECT_EQ(testing::fake().posted, expected);
}

TEST(InitClose, CloseWhileOnRestoresTimingThenLocksAndWritesTheSettings) {
    bring_up("s3-765");
    const sim::AdapterState entry = adapter();
    enable_stereo(kOwnHost, 5);
    testing::fake().posted.clear();
    EXPECT_EQ(close_library(kOwnHost), 1);
    // The open step cleared the protection of CRTC 0x00-0x07 the desktop had.
    for (int i = 0; i < 25; ++i) {
        const int mask = i == 0x11 ? 0x7F : 0xFF;
        EXPECT_EQ(adapter().crtc[i] & mask, entry.crtc[i] & mask) << i;
    }
    EXPECT_EQ(adapter().crtc[0x11] & 0x80, 0x80);
    std::vector<PostedMessage> expected = {{kOtherHost, 1124, 606, 0}};
    EXPECT_EQ(testing::fake().posted, expected);
    EXPECT_EQ(testing::fake().files["duoscope.ini"].size(), 6390u);
    EXPECT_EQ(g_shared.initialised, 0);
    EXPECT_EQ(g_shared.clients[g_process.client_slot].host_window, 0u);
}

// A whole session (Init, stereo on, an eye swap, stereo off, Close) leaves
// the Trident and ET6000 adapters exactly as their display drivers left
// them, on desktops drawn from several seeds: SR0E with its bit 1 (inverted
// on write), SR0D, SR11 and CR29 with their other bits, GR0F, both clock
// codes, and the ET6000 key whether the desktop had it set or not. Only the
// sequencer bank the Trident's SR0D/SR0E reach is left as the library
// selected it: every driver selects it before using them.
TEST(InitClose, ASessionLeavesTridentAndEt6000AsTheDesktopHadThem) {
    for (const char* name : {"trident-9440", "trident-9680", "trident-9685", "et6000"}) {
        for (std::uint32_t seed = 1; seed <= 8; ++seed) {
            std::vector<sim::DesktopMode> modes = {{640, 480, 8}, {800, 600, 16}, {1024, 768, 8}};
            // The tuned 800x600 24-bit record: offset 0x2C with CR3F bit 7.
            if (std::string(name) == "et6000") modes.push_back({800, 600, 24});
            for (const sim::DesktopMode& mode : modes) {
                SCOPED_TRACE(std::string(name) + " seed " + std::to_string(seed) + " " + std::to_string(mode.width));
                testing::reset_world(name, mode, seed);
                testing::reset_registry();
                testing::list_adapter(*sim::find_adapter(name));
                g_process.driver = 0;
                const sim::AdapterState desktop = adapter();
                ASSERT_EQ(init_library(kOwnHost), 1);
                EXPECT_EQ(enable_stereo(kOwnHost, 5), 5);
                // 100 Hz as the chip counts it: the 9685's clock code, the
                // 9440's halved CRTC clock at 15/16 bits (tuned rows: -2 %).
                const sim::MonitorView view = sim::observe(adapter());
                EXPECT_TRUE(view.interlaced) << sim::lock_state(adapter());
                EXPECT_NEAR(view.field_rate_hz, 100, 3) << sim::describe(view);
                // Stereo changes only the offset bits of CR29 (bit 4 alone on
                // the 9440, whose bit 5 is a DDC line).
                const int offset_bits = g_shared.chip_code == 0x101 ? 0x10 : 0x30;
                if (adapter().family == sim::ChipFamily::kTrident) {
                    EXPECT_EQ((adapter().crtc[0x29] ^ desktop.crtc[0x29]) & ~offset_bits, 0);
                }
                switch_glasses();
                // The ET6000's start moves one line: twice its offset (CR3F
                // bit 7 offset bit 8, bit 6 bit 9) in the start's units.
                if (adapter().family == sim::ChipFamily::kEt6000) {
                    const sim::MonitorView swapped = sim::observe(adapter());
                    EXPECT_EQ(swapped.display_start, 2 * swapped.line_offset);
                }
                disable_stereo(kOwnHost);
                close_library(kOwnHost);
                std::string where;
                EXPECT_TRUE(same_registers(desktop, adapter(), where)) << where;
                EXPECT_EQ(0, std::memcmp(desktop.graphics, adapter().graphics, sizeof desktop.graphics));
                EXPECT_EQ(0, std::memcmp(desktop.trident_old_mode_regs, adapter().trident_old_mode_regs, 2));
                EXPECT_EQ(0, std::memcmp(desktop.et6000_clock, adapter().et6000_clock, sizeof desktop.et6000_clock));
                EXPECT_EQ(desktop.et6000_key, adapter().et6000_key);
            }
        }
    }
}

// Display drivers leave the S3 (CR38, CR39, SR08) and Cirrus (SR06) locks
// open or closed: a session from Init to Close gives the desktop back its
// locks and the protection of CRTC 0x00-0x07 as it had them.
TEST(InitClose, CloseGivesTheDesktopItsLocksBack) {
    struct Lock {
        bool sequencer;
        std::uint8_t index, open, closed;
    };
    const struct {
        const char* adapter;
        std::vector<Lock> locks;
    } cases[] = {{"s3-765", {{false, 0x38, 0x48, 0x00}, {false, 0x39, 0xA5, 0x00}, {true, 0x08, 0x06, 0x00}}},
                 {"s3-virge-dx", {{false, 0x38, 0x48, 0x00}, {false, 0x39, 0xA5, 0x00}, {true, 0x08, 0x06, 0x00}}},
                 {"cirrus-542x", {{true, 0x06, 0x12, 0x0F}}},
                 {"cirrus-5465", {{true, 0x06, 0x12, 0x0F}}}};
    for (const auto& c : cases) {
        for (int pattern = 0; pattern < (1 << c.locks.size()); ++pattern) {
            SCOPED_TRACE(std::string(c.adapter) + " locks " + std::to_string(pattern));
            testing::reset_world(c.adapter, {800, 600, 16});
            for (std::size_t i = 0; i < c.locks.size(); ++i) {
                const Lock& l = c.locks[i];
                (l.sequencer ? adapter().seq : adapter().crtc)[l.index] = (pattern >> i) & 1 ? l.closed : l.open;
            }
            const sim::AdapterState desktop = adapter();
            testing::reset_registry();
            testing::list_adapter(*sim::find_adapter(c.adapter));
            g_process.driver = 0;
            ASSERT_EQ(init_library(kOwnHost), 1);
            enable_stereo(kOwnHost, 5);
            disable_stereo(kOwnHost);
            close_library(kOwnHost);
            for (const Lock& l : c.locks)
                EXPECT_EQ((l.sequencer ? adapter().seq : adapter().crtc)[l.index],
                          (l.sequencer ? desktop.seq : desktop.crtc)[l.index])
                    << (l.sequencer ? "SR" : "CR") << hex(l.index);
            EXPECT_EQ(adapter().crtc[0x11], desktop.crtc[0x11]);
        }
    }
}

// A second process that fails or never gets as far as the adapter can
// neither end nor damage the first one's session.
TEST(InitClose, ProcessesWithoutTheAdapterLeaveTheSessionAlone) {
    bring_up("mach64-ct");
    ASSERT_EQ(enable_stereo(kOwnHost, 5), 5);
    g_shared.current_table.blocks[7].bytes[0] ^= 1; // the session's adjustment
    const ProcessState first = g_process;
    const sim::AdapterState stereo = adapter();
    const SharedState shared = g_shared;

    // Its driver cannot be opened; then it closes.
    g_process = ProcessState{};
    ASSERT_TRUE(attach_process());
    testing::fake().driver_present = false;
    EXPECT_EQ(init_library(0x300), 0);
    EXPECT_EQ(g_shared.last_error, kErrNoDriver);
    EXPECT_EQ(g_shared.initialised, 1);
    EXPECT_EQ(close_library(0x300), 0);
    disable_stereo(0x300);
    switch_glasses();
    EXPECT_EQ(line_double_command(kLineDoubleOn), 1);
    EXPECT_EQ(set_frequency(3), 0);
    EXPECT_EQ(g_shared.last_error, kErrNotInitialised);
    EXPECT_EQ(g_shared.stereo, 1);
    EXPECT_TRUE(testing::fake().files.empty()) << "no settings file written";
    std::string where;
    EXPECT_TRUE(same_registers(stereo, adapter(), where)) << where;
    EXPECT_EQ(std::memcmp(&g_shared.current_table, &shared.current_table, sizeof shared.current_table), 0);
    detach_process();

    // The first process goes on: a frequency change works, and its Close
    // saves the adjustment it made.
    g_process = first;
    testing::fake().driver_present = true;
    EXPECT_EQ(set_frequency(3), 1);
    EXPECT_EQ(close_library(kOwnHost), 1);
    EXPECT_EQ(testing::fake().files["duoscope.ini"].size(), 6390u);
}

// A refused mode (the 9440 has no 16-bit 640x480) closes without touching
// the settings file a good session left.
TEST(InitClose, CloseAfterARefusedInitKeepsTheSettingsFile) {
    testing::reset_world("trident-9440", {640, 480, 16});
    testing::reset_registry();
    testing::list_adapter(*sim::find_adapter("trident-9440"));
    const std::vector<std::uint8_t> good(6390, 0x5A);
    testing::fake().files["duoscope.ini"] = good;
    g_process.driver = 0;
    EXPECT_EQ(init_library(kOwnHost), 0);
    EXPECT_EQ(g_shared.last_error, kErrModeRefused);
    EXPECT_EQ(close_library(kOwnHost), 0);
    EXPECT_EQ(testing::fake().files["duoscope.ini"], good);
}

// Stereo on every mach64 desktop its rules accept, on the CRTC that drives
// it (the VGA CRTC at 640x480x8, the accelerator CRTC elsewhere), at sparse
// and block I/O as the desktop seed decides, over several seeds: every
// offered frequency runs interlaced at its nominal field rate (tuned tables
// within a few per cent) and, from 90 Hz up, at a line rate a monitor takes;
// each clock change settles with a sequencer reset; the picture keeps the
// desktop's width and pitch; the eye swap moves it by one line; the adjust
// dialog's arrows move the syncs the accelerator CRTC sends by one step and
// Cancel takes them back; the PLL reference divider, which the memory clock
// shares, never changes; Disable gives back every register and clock.
TEST(Mach64Desktop, EveryAcceptedDesktopRunsStereoAndComesBack) {
    const sim::DesktopMode modes[] = {{640, 480, 8},  {800, 600, 8},   {1024, 768, 8}, {640, 480, 15},
                                      {800, 600, 16}, {1024, 768, 16}, {640, 480, 24}, {800, 600, 24}};
    for (const char* name : {"mach64-ct", "mach64-vt"})
        for (const sim::DesktopMode& mode : modes)
            for (std::uint32_t seed : {sim::run_seed(), 1u, 2u, 3u}) {
                SCOPED_TRACE(std::string(name) + " " + std::to_string(mode.width) + "x" +
                             std::to_string(mode.bits_per_pixel) + " seed " + std::to_string(seed));
                testing::reset_world(name, mode, seed);
                testing::reset_registry();
                testing::list_adapter(*sim::find_adapter(name));
                g_process.driver = 0;
                ASSERT_EQ(init_library(kOwnHost), 1);
                const sim::AdapterState desktop = adapter();
                const sim::MonitorView desktop_view = sim::observe(adapter());
                const ClockTable& table = clock_tables(kMach64)[static_cast<std::size_t>(
                    clock_table_for(0x401, mode.bits_per_pixel, mode.width, mode.height))];
                const bool vga_crtc = desktop_view.displayed_px == 0;
                const int bytes = mode.bits_per_pixel == 24 ? 3 : (mode.bits_per_pixel + 7) / 8;
                const auto accelerator = [&](std::uint32_t reg) {
                    std::uint32_t v = 0;
                    for (int byte = 3; byte >= 0; --byte)
                        v = v << 8 | adapter().ports[sim::mach64_register_port(adapter(), reg, byte)];
                    return v;
                };
                int offered = 0;
                for (std::int32_t f = 0; f < kFrequencyCount; ++f) {
                    if (!frequency_programmable(f)) continue;
                    ++offered;
                    ASSERT_EQ(enable_stereo(kOwnHost, f), f);
                    // Each frequency once as Enable runs it, once reached by a change.
                    if (f > 0 && frequency_programmable(f - 1)) {
                        disable_stereo(kOwnHost);
                        enable_stereo(kOwnHost, f - 1);
                        ASSERT_EQ(set_frequency(f), 1);
                    }
                    const sim::MonitorView view = sim::observe(adapter());
                    const double nominal = 75 + 5 * f;
                    EXPECT_TRUE(view.interlaced) << f;
                    EXPECT_FALSE(view.blanked) << f;
                    EXPECT_EQ(adapter().mach64_clock_unsettled, 0) << f;
                    EXPECT_NEAR(view.field_rate_hz, nominal, nominal * (table.quoted ? 0.1 : 0.01)) << sim::describe(view);
                    EXPECT_FALSE(view.h_sync_missing || view.v_sync_missing) << sim::describe(view);
                    if (f >= 3 && !table.quoted) {
                        EXPECT_TRUE(view.line_rate_hz >= sim::kMinLineRate && view.line_rate_hz <= sim::kMaxLineRate)
                            << sim::describe(view);
                    }
                    EXPECT_EQ(view.displayed_lines, mode.height / 2) << f;
                    EXPECT_EQ(view.line_offset, desktop_view.line_offset) << f;
                    EXPECT_EQ(view.displayed_px, desktop_view.displayed_px) << f;
                    if (!vga_crtc && f == 5) {
                        const sim::AdapterState stereo = adapter();
                        const std::uint32_t h_sync = accelerator(1) & 0xFF, v_sync = accelerator(3) & 0x7FF;
                        AdjustState s;
                        adjust_open(s, 0x401);
                        adjust_press(s, 170, 40); // up: the vertical sync one line later
                        adjust_release(s);
                        adjust_apply_vertical(s);
                        EXPECT_EQ(accelerator(3) & 0x7FF, v_sync + 1);
                        adjust_press(s, 70, 80); // left: the horizontal sync one character later
                        adjust_release(s);
                        adjust_apply_horizontal(s);
                        EXPECT_EQ(accelerator(1) & 0xFF, h_sync + 1);
                        EXPECT_FALSE(sim::observe(adapter()).out_of_range) << sim::describe(sim::observe(adapter()));
                        adjust_cancel(s, adjust_stored_block());
                        std::string where;
                        EXPECT_TRUE(same_registers(stereo, adapter(), where)) << "adjust Cancel: " << where;
                    }
                    switch_glasses();
                    const sim::MonitorView swapped = sim::observe(adapter());
                    if (!vga_crtc) {
                        EXPECT_EQ(swapped.display_start, view.display_start + view.line_offset * bytes) << f;
                    }
                    EXPECT_NE(swapped.display_start, view.display_start) << f;
                    switch_glasses();
                    EXPECT_EQ(sim::observe(adapter()).display_start, view.display_start) << f;
                    EXPECT_EQ(adapter().mach64_pll[2], desktop.mach64_pll[2]) << "PLL_REF_DIV";
                    EXPECT_EQ(adapter().mach64_pll[4], desktop.mach64_pll[4]) << "MCLK_FB_DIV";
                    disable_stereo(kOwnHost);
                    EXPECT_EQ(adapter().mach64_clock_unsettled, 0) << "Disable";
                    std::string where;
                    EXPECT_TRUE(same_registers(desktop, adapter(), where)) << f << " " << where;
                    EXPECT_EQ(std::memcmp(desktop.mach64_pll, adapter().mach64_pll, sizeof desktop.mach64_pll), 0);
                    EXPECT_EQ(sim::observe(adapter()).pixel_clock_hz, desktop_view.pixel_clock_hz);
                }
                EXPECT_GE(offered, 7);
            }
}

// A second Init after the desktop changed depth files the old mode's tables
// and takes up the new one's; a stereo session of the old mode ends without
// a write (the display driver has set the adapter up for the new mode).
TEST(InitClose, InitAfterADepthChangeReloadsForTheNewMode) {
    bring_up("s3-765", {800, 600, 16});
    g_shared.current_table.blocks[4].bytes[3] ^= 1;
    const TimingTable sixteen = g_shared.current_table;
    enable_stereo(kOwnHost, 4);
    sim::power_on(*testing::fake().adapter, *sim::find_adapter("s3-765"), {800, 600, 8}, 1);
    const sim::AdapterState desktop = *testing::fake().adapter;
    testing::fake().desktop = {800, 600, 8};
    testing::fake().posted.clear();
    EXPECT_EQ(init_library(kOwnHost), 1);
    EXPECT_EQ(g_shared.last_error, kErrNone);
    EXPECT_EQ(g_shared.colour_depth, 8);
    EXPECT_EQ(g_shared.stereo, 0);
    for (int r = 0; r < 0x19; ++r)
        EXPECT_EQ(testing::fake().adapter->crtc[r] | 0x80 * (r == 0x11), desktop.crtc[r] | 0x80 * (r == 0x11))
            << "the old mode's timing is not written";
    EXPECT_EQ(std::memcmp(&g_shared.stored_tables[kDepth16], &sixteen, sizeof sixteen), 0);
    std::vector<std::uintptr_t> told;
    for (const PostedMessage& m : testing::fake().posted) told.push_back(m.wparam);
    ASSERT_GE(told.size(), 3u);
    EXPECT_EQ(told.front(), 606u) << "every host hears that stereo is off";
    EXPECT_EQ(std::vector<std::uintptr_t>(told.end() - 2, told.end()), (std::vector<std::uintptr_t>{604, 608}));
    EXPECT_EQ(close_library(kOwnHost), 1);

    // The file holds both classes as they were.
    testing::fake().desktop = {800, 600, 16};
    g_process.driver = 0;
    ASSERT_EQ(init_library(kOwnHost), 1);
    EXPECT_EQ(std::memcmp(&g_shared.current_table, &sixteen, sizeof sixteen), 0);
}

} // namespace
} // namespace duo

namespace duo {
namespace {

std::vector<sim::DesktopMode> every_desktop_mode() {
    std::vector<sim::DesktopMode> out;
    for (const auto& [width, height] : {std::pair{640, 480}, std::pair{800, 600}, std::pair{1024, 768}})
        for (int bits : {8, 15, 16, 24}) out.push_back({width, height, bits});
    return out;
}

// Whether the mode's default record or clock table is one of those tuned on
// real monitors, which keep the rates they were taken down with.
bool tuned_defaults(std::int32_t chip, const sim::DesktopMode& mode) {
    const DepthClass depth = depth_class_of(mode.bits_per_pixel);
    const int table = clock_table_for(chip, mode.bits_per_pixel, mode.width, mode.height);
    if (table >= 0 && clock_tables(family_of(chip))[static_cast<std::size_t>(table)].quoted) return true;
    for (const RecordEntry& e : default_records(family_of(chip)))
        if (&e.record == default_record(chip, mode.width, mode.height, depth)) return e.quoted;
    return false;
}

// What a monitor sees once stereo is on: interlaced scanning at the field
// rate of the frequency (75 + 5 i Hz within 1 % and, from 90 Hz up, a line
// rate of 30-70 kHz; the tuned defaults only within what a monitor of the
// period shows), on every adapter and every desktop mode its rules accept;
// and the desktop's progressive mode again after. Every 640x480 scan keeps
// the tuned rows' 322.5 lines per field, 29.1 kHz at 90 Hz.
TEST(StereoMonitor, EnableShowsInterlacedScanningAtTheTablesFieldRate) {
    for (const sim::AdapterModel* model : supported_adapters()) {
        for (const sim::DesktopMode& mode : every_desktop_mode()) {
            testing::reset_world(model->name, mode);
            testing::reset_registry();
            testing::list_adapter(*model);
            g_process.driver = 0;
            if (init_library(kOwnHost) != 1 || !current_default_record()) continue; // refused, or no defaults
            const sim::MonitorView desktop = sim::observe(adapter());
            for (std::int32_t f = 0; f < kFrequencyCount; ++f) {
                // Frequencies whose clock the chip cannot reach are not offered.
                if (!frequency_programmable(f)) continue;
                SCOPED_TRACE(std::string(model->name) + " " + std::to_string(mode.width) + "x" +
                             std::to_string(mode.height) + "x" + std::to_string(mode.bits_per_pixel) +
                             " frequency " + std::to_string(f));
                enable_stereo(kOwnHost, f);
                const sim::MonitorView view = sim::observe(adapter());
                const double nominal = 75 + 5 * f;
                EXPECT_TRUE(view.interlaced);
                EXPECT_FALSE(view.blanked);
                if (tuned_defaults(g_shared.chip_code, mode)) {
                    EXPECT_GT(view.field_rate_hz, sim::kMinFieldRate);
                    EXPECT_LT(view.field_rate_hz, sim::kMaxFieldRate);
                } else {
                    EXPECT_NEAR(view.field_rate_hz, nominal, nominal * 0.01);
                    if (nominal >= 90 && mode.width != 640) {
                        EXPECT_GE(view.line_rate_hz, sim::kMinLineRate);
                        EXPECT_LE(view.line_rate_hz, sim::kMaxLineRate);
                    }
                }
                disable_stereo(kOwnHost);
                const sim::MonitorView back = sim::observe(adapter());
                EXPECT_FALSE(back.interlaced);
                EXPECT_DOUBLE_EQ(back.field_rate_hz, desktop.field_rate_hz);
            }
        }
    }
}

// What the table tools decode from a timing block is what the monitor sees
// once the block runs: on every adapter, blocks drawn by a seed around the
// built-in ones, their overflow and extension bits included.
TEST(StereoMonitor, DecodedTimingIsWhatTheMonitorSees) {
    const unsigned seed = test_seed();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed) + " (DUO_SEED)");
    for (const sim::AdapterModel* model : supported_adapters()) {
        for (int bits : {8, 15, 16, 24}) {
            testing::reset_world(model->name, {800, 600, bits});
            testing::reset_registry();
            testing::list_adapter(*model);
            g_process.driver = 0;
            if (init_library(kOwnHost) != 1 || enable_stereo(kOwnHost, 5) != 5) continue;
            for (int i = 0; i < 20; ++i) {
                TimingBlock& block = g_shared.current_table.blocks[5];
                block.bytes[0x00] = static_cast<std::uint8_t>(block.bytes[0x00] + random() % 9 - 4);
                block.bytes[0x06] = static_cast<std::uint8_t>(block.bytes[0x06] + random() % 9 - 4);
                block.bytes[0x07] ^= static_cast<std::uint8_t>(random() & 0x63);
                // The extension bytes: S3 and ET6000 horizontal/vertical high bits.
                block.bytes[kBlockExt1] ^= static_cast<std::uint8_t>(random() & 0x07);
                block.bytes[kBlockExt2] ^= static_cast<std::uint8_t>(random() & 0x01);
                if (family_of(g_shared.chip_code) == kS3) block.bytes[kBlockS3ExtHoriz] ^= static_cast<std::uint8_t>(random() & 0x01);
                resume_stereo();
                const sim::MonitorView view = sim::observe(adapter());
                const DecodedTiming timing = decode_timing(g_shared.chip_code, bits, block);
                // The monitor sees the pixel rate; the decoder takes the
                // synthesizer's clock, which some chips divide per pixel.
                const ScanRates rates = scan_rates(timing, view.pixel_clock_hz * timing.clock_per_pixel);
                SCOPED_TRACE(std::string(model->name) + " " + std::to_string(bits) + "-bit, block" +
                             hex_bytes(block.bytes, kTimingBlockSize));
                EXPECT_NEAR(rates.line_rate_hz / view.line_rate_hz, 1.0, 1e-9) << sim::describe(view);
                EXPECT_NEAR(rates.field_rate_hz / view.field_rate_hz, 1.0, 1e-9) << sim::describe(view);
                EXPECT_EQ(timing.shown_lines / 2, view.displayed_lines) << sim::describe(view);
            }
        }
    }
    // A timing without a horizontal total or lines gives no rates rather
    // than a division by zero.
    for (DecodedTiming empty : {DecodedTiming{.h_total_chars = 0, .h_scale = 1, .clock_per_pixel = 1, .h_total_px = 0.0, .v_total = 2, .per_frame = false, .field_lines = 300.5, .shown_lines = 600},
                                DecodedTiming{.h_total_chars = 100, .h_scale = 1, .clock_per_pixel = 1, .h_total_px = 800.0, .v_total = 0, .per_frame = false, .field_lines = 0.0, .shown_lines = 0}}) {
        const ScanRates none = scan_rates(empty, 40e6);
        EXPECT_EQ(none.line_rate_hz, 0.0);
        EXPECT_EQ(none.field_rate_hz, 0.0);
    }
}

} // namespace
} // namespace duo

namespace duo {
namespace {

// One register or clock byte of the simulated adapter that differs.
struct Difference {
    std::string name; // "SR06", "CR11", "port 3D8", "mach64 PLL 07", ...
    unsigned expected, got;
};

// The whole simulated adapter, register by register and clock by clock.
// Left out, as state that is no register content: the index registers and
// the mach64 PLL index/data window of CLOCK_CNTL (each holds the last
// selection, and every driver selects before it reads or writes), the
// Trident bank selection (reading or writing SR0B selects it before every
// banked access), the ET6000 clock register index and byte counter
// (likewise), and the model's counters (retrace phase, port operations, open
// handles).
std::vector<Difference> adapter_differences(const sim::AdapterState& want, const sim::AdapterState& got) {
    std::vector<Difference> out;
    auto add = [&](auto name, unsigned expected, unsigned actual) {
        if (expected != actual) out.push_back({std::string(name), expected, actual});
    };
    for (int i = 0; i < 256; ++i) {
        if (want.seq[i] != got.seq[i]) add("SR" + hex(i), want.seq[i], got.seq[i]);
        if (want.crtc[i] != got.crtc[i]) add("CR" + hex(i), want.crtc[i], got.crtc[i]);
        if (want.graphics[i] != got.graphics[i]) add("GR" + hex(i), want.graphics[i], got.graphics[i]);
    }
    add("misc", want.misc_output, got.misc_output);
    const std::uint32_t pll_window = want.family == sim::ChipFamily::kMach64 ? sim::mach64_register_port(want, 18, 1) : 0x10000;
    for (std::uint32_t port = 0; port < 0x10000; ++port)
        if (want.ports[port] != got.ports[port] && port != pll_window && port != pll_window + 1)
            add("port " + hex(static_cast<int>(port)), want.ports[port], got.ports[port]);
    for (int i = 0; i < 4; ++i)
        if (want.clock_hz[i] != got.clock_hz[i]) add("fixed clock " + std::to_string(i), 0, 1);
    for (int i = 0; i < 2; ++i) {
        add("Trident old-mode SR" + hex(0x0D + i), want.trident_old_mode_regs[i], got.trident_old_mode_regs[i]);
        add("S3 DAC clock byte " + std::to_string(i), want.s3_dac_clock[i], got.s3_dac_clock[i]);
        add("S3 DCLK loaded byte " + std::to_string(i), want.s3_dclk[i], got.s3_dclk[i]);
    }
    for (int i = 0; i < 16; ++i) add("mach64 PLL " + hex(i), want.mach64_pll[i], got.mach64_pll[i]);
    for (int i = 0; i < 8; ++i)
        for (int b = 0; b < 2; ++b)
            add("ET6000 clock " + std::to_string(i) + " byte " + std::to_string(b), want.et6000_clock[i][b],
                got.et6000_clock[i][b]);
    add("I/O base", want.io_base, got.io_base);
    return out;
}

struct RegisterBits {
    sim::ChipFamily family; // kVga: every family
    const char* name;
    std::uint8_t bits;
};

// What the open step unlocks at Init and the close step locks at Close:
// between the two these bits may differ from power-on.
constexpr RegisterBits kLockBits[] = {
    {sim::ChipFamily::kVga, "CR11", 0x80},     // protection of CRTC 0x00-0x07, lifted by every open step
    {sim::ChipFamily::kTrident, "SR0E", 0x80}, // new-mode SR0E: extended registers writable
    {sim::ChipFamily::kS3, "CR38", 0xFF},      // S3 register lock
    {sim::ChipFamily::kS3, "CR39", 0xFF},      // extended CRTC lock
    {sim::ChipFamily::kS3, "SR08", 0xFF},      // extended sequencer lock
    {sim::ChipFamily::kCirrus, "SR06", 0xFF},  // extension lock
    {sim::ChipFamily::kEt6000, "port 3BF", 0xFF}, // the key: 0x3BF bit 1, then 0x3D8 = 0xA0
    {sim::ChipFamily::kEt6000, "port 3D8", 0xFF},
};

template <std::size_t N>
std::uint8_t bits_in(const RegisterBits (&table)[N], sim::ChipFamily family, const std::string& name) {
    std::uint8_t bits = 0;
    for (const RegisterBits& r : table)
        if ((r.family == sim::ChipFamily::kVga || r.family == family) && name == r.name) bits |= r.bits;
    return bits;
}

// After every Disable the adapter is as it powered on, apart from the locks
// the open step has lifted; after every Close it is as it powered on, bit
// for bit. On every adapter, desktop mode and seeded desktop, through stereo
// at several frequencies, eye swaps, a frequency change, a resume and
// line-double mode, and a Close while stereo runs. Each run goes through the
// port driver and then through the library's own port access, which must
// leave the adapter as the driver did after every step.
TEST(WholeAdapter, DisableAndCloseLeaveTheDesktopAsPoweredOn) {
    const std::uint32_t seeds[] = {sim::run_seed(), 0x5EED0001u};
    int checked = 0;
    std::vector<std::string> failures;
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (int m = 0; m < count; ++m) {
        const sim::AdapterModel& model = models[m];
        if (family_of(model.expected_chip) == kNoFamily) continue;
        for (const auto& [w, h] : {std::pair{640, 480}, std::pair{800, 600}, std::pair{1024, 768}})
            for (int bits : {8, 16, 24})
                for (std::uint32_t seed : seeds) {
                  std::vector<sim::AdapterState> by_driver;
                  for (bool own_ports : {false, true}) {
                    const sim::DesktopMode mode{w, h, bits};
                    char run[112];
                    std::snprintf(run, sizeof run, "%s %dx%dx%d seed %u%s", model.name, w, h, bits, seed,
                                  own_ports ? " own ports" : "");
                    std::size_t step_count = 0;
                    auto expect_same = [&](const sim::AdapterState& want, const char* step, bool locks_open) {
                        if (!own_ports) by_driver.push_back(adapter());
                        else if (step_count < by_driver.size())
                            for (const Difference& d : adapter_differences(by_driver[step_count], adapter()))
                                failures.push_back(std::string(run) + ", " + step + ": " + d.name + " by driver " +
                                                   hex(static_cast<int>(d.expected)) + " got " + hex(static_cast<int>(d.got)));
                        ++step_count;
                        for (const Difference& d : adapter_differences(want, adapter())) {
                            const std::uint8_t loose = locks_open ? bits_in(kLockBits, want.family, d.name) : 0;
                            if (((d.expected ^ d.got) & ~unsigned{loose}) == 0) continue;
                            failures.push_back(std::string(run) + ", " + step + ": " + d.name + " expected " +
                                               hex(static_cast<int>(d.expected)) + " got " + hex(static_cast<int>(d.got)));
                        }
                        ++checked;
                    };
                    testing::fake().own_ports = own_ports;
                    testing::reset_world(model.name, mode, seed);
                    testing::reset_registry();
                    testing::list_adapter(model);
                    g_process.driver = 0;
                    const sim::AdapterState power_on = adapter();
                    if (init_library(kOwnHost) != 1 || g_shared.initialised != 1) continue; // a refused mode
                    expect_same(power_on, "after Init", true);
                    for (std::int32_t f : {3, 9, 6}) {
                        if (enable_stereo(kOwnHost, f) != f) continue;
                        expect_same(adapter(), "after Enable", false);
                        switch_glasses();
                        set_frequency(f == 9 ? 4 : 8);
                        resume_stereo();
                        line_double_command(kLineDoubleOn);
                        switch_glasses();
                        line_double_command(kLineDoubleOff);
                        disable_stereo(kOwnHost);
                        expect_same(power_on, "after Disable", true);
                    }
                    close_library(kOwnHost);
                    expect_same(power_on, "after Close", false);
                    g_process.driver = 0;
                    if (init_library(kOwnHost) != 1) continue;
                    enable_stereo(kOwnHost, 7);
                    line_double_command(kLineDoubleOn);
                    close_library(kOwnHost);
                    expect_same(power_on, "after Close with stereo on", false);
                    EXPECT_EQ(testing::fake().driver_calls.empty(), own_ports) << run;
                  }
                }
    }
    testing::fake().own_ports = false;
    EXPECT_GT(checked, 1000);
    std::string text;
    for (std::size_t i = 0; i < failures.size() && i < 40; ++i) text += "  " + failures[i] + "\n";
    EXPECT_TRUE(failures.empty()) << failures.size() << " differences, the first:\n" << text;
}

} // namespace
} // namespace duo
