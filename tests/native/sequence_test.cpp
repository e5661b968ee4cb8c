// Several simulated client processes call the portable core's exports and
// step through the dialogs (a frequency test's switch, answers and restore;
// an adjustment's arrows, Default, OK and Cancel) in random order, on every
// supported simulated adapter and in each desktop mode; a process may be
// ended at any step (with or without survivors) and the display driver may
// set another desktop mode between steps. The adapter, the monitor and the
// settings file are checked after every step:
//   - the monitor is in range, except for the timing rows whose own data
//     puts it out (listed once with their figures);
//   - the stereo flag agrees with what the monitor shows;
//   - with stereo off, every register and clock is the desktop's (but what
//     an open dialog session shows);
//   - after every process died with the adapter interlaced, Init refuses
//     until the desktop mode is set again;
//   - no all-zero timing block or empty clock setting reaches the adapter;
//   - a settings file written by Close gives the next Init the same tables.
// DUO_SEED repeats a run. DUO_SEQUENCE_STEPS runs that many steps on every
// adapter and mode (as CI does), DUO_SEQUENCE_SECONDS then only guards the
// whole; without it the runs share DUO_SEQUENCE_SECONDS.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "lib/core/clients.h"
#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/query.h"
#include "lib/core/state.h"
#include "lib/core/stereo.h"
#include "lib/dialogs/adjust.h"
#include "lib/dialogs/diagnosis.h"
#include "lib/hw/driver_protocol.h"
#include "lib/timing/settings_file.h"
#include "lib/timing/timing_load.h"
#include "sim/driver_dispatch.h"
#include "sim/monitor.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_registry.h"

// Every driver call passes here on its way to the simulated adapter (the
// test is linked with --wrap for the dispatcher): what an all-zero timing
// block or an empty clock setting would write is caught as it is written.
namespace {
std::vector<std::string> g_bad_writes;
}

extern "C" bool __real__ZN3duo3sim8dispatchERNS0_12AdapterStateEjPKvjPvj(duo::sim::AdapterState&, std::uint32_t,
                                                                          const void*, std::uint32_t, void*,
                                                                          std::uint32_t);

extern "C" bool __wrap__ZN3duo3sim8dispatchERNS0_12AdapterStateEjPKvjPvj(duo::sim::AdapterState& s,
                                                                          std::uint32_t code, const void* in,
                                                                          std::uint32_t in_size, void* out,
                                                                          std::uint32_t out_size) {
    using namespace duo::driver;
    auto fields = [&](int n) {
        std::uint32_t v[4] = {};
        std::memcpy(v, in, std::min<std::uint32_t>(in_size, sizeof v));
        std::uint32_t any = 0;
        for (int i = 0; i < n; ++i) any |= v[i];
        return any;
    };
    if (in != nullptr) {
        if (code == kWriteRegBlock && in_size >= sizeof(BlockRequest)) {
            BlockRequest r;
            std::memcpy(&r, in, sizeof r);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(r.buffer);
            if (r.index_port == 0x3D4 && r.first_index == 0 && r.count >= 25 && bytes != nullptr &&
                std::all_of(bytes, bytes + 25, [](std::uint8_t b) { return b == 0; }))
                g_bad_writes.push_back("all-zero CRTC 0x00-0x18 block");
        } else if (code == kTridentClock && fields(3) == 0) {
            g_bad_writes.push_back("empty clock setting (code 7)");
        } else if ((code == kS3Clock || code == kS3DacClock || code == kCirrusClock) && fields(2) == 0) {
            g_bad_writes.push_back("empty clock setting (code " + std::to_string(code) + ")");
        } else if (code == kEt6000ClockWrite && in_size >= sizeof(Et6000ClockRequest)) {
            Et6000ClockRequest r;
            std::memcpy(&r, in, sizeof r);
            if ((r.b0 | r.b1) == 0) g_bad_writes.push_back("empty clock setting (code 13)");
        } else if (code == kWritePort && s.family == duo::sim::ChipFamily::kMach64 && in_size >= sizeof(PortWriteRequest)) {
            // CLOCK_CNTL (register 18): byte 1 selects a PLL register
            // (bit 1 enables writes), byte 2 writes it. Registers 7-10 are
            // the feedback dividers; 0 there is no clock.
            PortWriteRequest r;
            std::memcpy(&r, in, sizeof r);
            const std::uint32_t cntl = duo::sim::mach64_register_port(s, 18, 0);
            const std::uint8_t select = s.ports[(cntl + 1) & 0xFFFF];
            const int pll = (select >> 2) & 0x0F;
            if (r.port == cntl + 2 && (select & 0x02) && pll >= 7 && pll <= 10 && (r.value & 0xFF) == 0)
                g_bad_writes.push_back("mach64 PLL feedback divider " + std::to_string(pll) + " := 0");
        }
    }
    return __real__ZN3duo3sim8dispatchERNS0_12AdapterStateEjPKvjPvj(s, code, in, in_size, out, out_size);
}

#ifndef DUO_SEQUENCE_DEFAULT_SECONDS
#define DUO_SEQUENCE_DEFAULT_SECONDS 20
#endif
// Under ctest's limit of the test, so that a run cut short says so.
constexpr unsigned kSequenceGuardSeconds = 500;

namespace duo {
namespace {

unsigned env_number(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

sim::AdapterState& adapter() { return *testing::fake().adapter; }

// The CRTC registers the adjust dialog moves: sync and blanking, and the S3
// sync extension (CRTC 0x5D, a plain register on the other chips).
constexpr std::uint8_t kDialogRegisters[] = {0x02, 0x03, 0x04, 0x05, 0x07, 0x09, 0x10, 0x11, 0x15, 0x16, 0x5D};

// Registers and clocks as a display would care about them; the index
// registers and the mach64 PLL index and data window only show the last
// selection.
// Bits left out of a comparison: the lock bits, which the family's open and
// close steps set as the system keeps them rather than as at power-on.
struct RegisterSet {
    std::uint8_t seq[256] = {}, crtc[256] = {};
    std::map<std::uint32_t, std::uint8_t> ports; // the ET6000 key ports
};

bool same_display(const sim::AdapterState& a, const sim::AdapterState& b, const RegisterSet& loose, std::string& where) {
    char text[48];
    const std::uint32_t pll_window = a.family == sim::ChipFamily::kMach64 ? sim::mach64_register_port(a, 18, 1) : 0x10000;
    for (int i = 0; i < 256; ++i) {
        if ((a.seq[i] ^ b.seq[i]) & ~loose.seq[i]) return std::snprintf(text, sizeof text, "SR%02X %02X, desktop %02X", i, b.seq[i], a.seq[i]), where = text, false;
        if ((a.crtc[i] ^ b.crtc[i]) & ~loose.crtc[i]) return std::snprintf(text, sizeof text, "CR%02X %02X, desktop %02X", i, b.crtc[i], a.crtc[i]), where = text, false;
        if (a.graphics[i] != b.graphics[i]) return std::snprintf(text, sizeof text, "GR%02X", i), where = text, false;
    }
    if (a.misc_output != b.misc_output) return where = "misc output", false;
    for (std::uint32_t i = 0; i < 0x10000; ++i)
        if (i != pll_window && i != pll_window + 1 && a.ports[i] != b.ports[i] &&
            ((a.ports[i] ^ b.ports[i]) & ~(loose.ports.count(i) ? loose.ports.at(i) : 0)) != 0)
            return std::snprintf(text, sizeof text, "port %04X %02X, desktop %02X", i, b.ports[i], a.ports[i]), where = text, false;
    if (std::memcmp(a.s3_dac_clock, b.s3_dac_clock, sizeof a.s3_dac_clock) != 0) return where = "S3 DAC clock", false;
    if (std::memcmp(a.mach64_pll, b.mach64_pll, sizeof a.mach64_pll) != 0) return where = "mach64 PLL", false;
    if (std::memcmp(a.et6000_clock, b.et6000_clock, sizeof a.et6000_clock) != 0) return where = "ET6000 clock", false;
    return true;
}

std::string hex_bytes(const std::uint8_t* bytes, int count) {
    std::string out;
    char text[4];
    for (int i = 0; i < count; ++i) out += (std::snprintf(text, sizeof text, " %02X", bytes[i]), text);
    return out;
}

struct Process {
    ProcessState state;
    WindowHandle host;
    std::uint32_t pid;
    enum { kNoDialog, kAnswer, kConfirm, kAdjust } dialog = kNoDialog;
    AdjustState adjust{};
    std::int32_t tested = 0;
};

// The tables as the settings file carries them: the three depth classes.
struct SavedTables {
    TimingTable by_class[kDepthClasses];
};

SavedTables tables_now() {
    SavedTables t{};
    const DepthClass current = depth_class_of(g_shared.colour_depth);
    for (int c = 0; c < kDepthClasses; ++c) t.by_class[c] = c == current ? g_shared.current_table : g_shared.stored_tables[c];
    return t;
}

// Rows whose own timing and clock put the monitor out of range, found once.
std::map<std::string, std::string> g_out_of_range_rows;

// Answer dialogs with random answers, now and then one that cannot be shown
// (-1); Yes and No mark the status entry. The library restores the display
// after each PASSFAIL.
struct Answers {
    std::mt19937* random;
    int calls = 0;
};

int random_pass_fail(void* context) {
    auto& a = *static_cast<Answers*>(context);
    const int r = ++a.calls > 12 ? kPassNo : static_cast<int>((*a.random)() % 5) - 1;
    if (r == kPassYes || r == kPassNo) record_answer(r == kPassYes ? 1 : 0);
    return r;
}

int random_fail_confirm(void* context) {
    auto& a = *static_cast<Answers*>(context);
    const int r = ++a.calls > 12 ? kConfirmNo : static_cast<int>((*a.random)() % 4) - 1;
    if (r == kConfirmYes || r == kConfirmNo) record_answer(r == kConfirmYes ? 1 : 0);
    return r;
}

class Sequence {
public:
    Sequence(const sim::AdapterModel& model, sim::DesktopMode mode, unsigned seed)
        : model_(model), mode_(mode), random_(seed) {
        find_quoted_rows();
        testing::reset_world(model.name, mode);
        testing::reset_registry();
        testing::list_adapter(model);
        detach_process(); // the test's own process; the simulated ones attach below
        g_process = ProcessState{};
        power_on_ = std::make_unique<sim::AdapterState>(adapter());
        opened_ = std::make_unique<sim::AdapterState>(adapter());
        g_bad_writes.clear();
        for (int i = 0; i < 2; ++i) start_process();
    }

    // One random step and the checks after it; false after a failure.
    bool step() {
        ++steps_;
        const unsigned kind = random_() % 100;
        Process& p = processes_[random_() % processes_.size()];
        g_process = p.state;
        testing::fake().process_id = p.pid;
        const int who = g_process.client_slot;
        char text[96];
        std::vector<std::uint8_t> file_before = testing::fake().files[kSettingsFileName];
        const SavedTables tables_before = tables_now();
        if (p.dialog != Process::kNoDialog && kind < 91) {
            dialog_step(p, text, sizeof text);
        } else if (kind < 10) {
            const bool no_driver = g_process.driver == 0 && random_() % 4 == 0;
            testing::fake().driver_present = !no_driver;
            const std::int32_t r = init_library(p.host);
            testing::fake().driver_present = true;
            note_file_written(file_before, tables_before);
            std::snprintf(text, sizeof text, "P%d init%s -> %d, error %d", who, no_driver ? " (no driver)" : "", r,
                          g_shared.last_error);
            if (lost_ && !no_driver && (r != 0 || g_shared.last_error != kErrAdapterLeftInterlaced))
                fail(std::string(text) + ": the adapter was left interlaced with no record, Init must refuse");
            if (r == 1 && g_shared.last_error == kErrNone) after_load(text);
        } else if (kind < 16) {
            const bool held = g_process.driver != 0;
            const std::vector<std::uint8_t> file = testing::fake().files[kSettingsFileName];
            const bool had_tables = g_shared.initialised == 1;
            const std::int32_t r = close_library(random_() % 2 ? p.host : 0);
            std::snprintf(text, sizeof text, "P%d close -> %d", who, r);
            if (held) locks_open_ = false;
            file_before = testing::fake().files[kSettingsFileName];
            if (r == 1) {
                saved_ = tables_now();
                file_pending_ = true;
                if (!had_tables) fail("Close wrote the settings file without loaded tables");
            } else if (testing::fake().files[kSettingsFileName] != file) {
                fail("Close answered 0 but changed the settings file");
            }
        } else if (kind < 30) {
            static constexpr std::int32_t kArgs[] = {-3, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 20, 20};
            const std::int32_t f = kArgs[random_() % std::size(kArgs)];
            const bool was_on = g_shared.stereo == 1;
            const std::int32_t r = enable_stereo(random_() % 2 ? p.host : 0, f);
            std::snprintf(text, sizeof text, "P%d enable %d -> %d, error %d", who, f, r, g_shared.last_error);
            if (!was_on && g_shared.stereo == 1) timing_ = g_shared.current_frequency;
        } else if (kind < 40) {
            disable_stereo(random_() % 2 ? p.host : 0);
            std::snprintf(text, sizeof text, "P%d disable", who);
        } else if (kind < 46) {
            const std::int32_t r = resume_stereo();
            std::snprintf(text, sizeof text, "P%d resume -> %d", who, r);
            if (holds_library() && g_shared.stereo == 1 && g_shared.line_double == 0) timing_ = g_shared.current_frequency;
        } else if (kind < 52) {
            switch_glasses();
            const bool moves_desktop = g_shared.stereo == 0 && g_process.driver != 0;
            std::snprintf(text, sizeof text, "P%d switch glasses -> phase %d", who, g_shared.glasses_phase);
            // Off stereo the eye swap still moves the display start: the
            // desktop the user sees now starts there.
            if (moves_desktop) take_into_desktop({0x0C, 0x0D, 0x12});
        } else if (kind < 60) {
            static constexpr std::int32_t kArgs[] = {-1, 0, 2, 3, 5, 7, 9, 10, 20};
            const std::int32_t f = kArgs[random_() % std::size(kArgs)];
            const std::int32_t r = set_frequency(f);
            std::snprintf(text, sizeof text, "P%d frequency %d -> %d, error %d", who, f, r, g_shared.last_error);
        } else if (kind < 68) {
            static constexpr std::int32_t kCommands[] = {501, 502, 501, 502, 0, 700};
            const std::int32_t command = kCommands[random_() % std::size(kCommands)];
            const bool was_on = g_shared.line_double == 1;
            // Set_VR_System and Set_VR_Reserved both come here.
            const std::int32_t r = line_double_command(command);
            std::snprintf(text, sizeof text, "P%d line double %d -> %d, mode %d", who, command, r, g_shared.line_double);
            if (was_on && g_shared.line_double == 0 && family_of(g_shared.chip_code) == kS3) timing_ = g_shared.current_frequency;
        } else if (kind < 71) {
            const std::int32_t code = 99 + static_cast<std::int32_t>(random_() % 8);
            const std::int32_t r = query(code, static_cast<std::int32_t>(random_() % 24) - 2);
            std::snprintf(text, sizeof text, "P%d query %d -> %d", who, code, r);
        } else if (kind < 91 && !holds_library()) {
            // The dialogs open only in a process that holds the library.
            std::snprintf(text, sizeof text, "P%d dialog refused", who);
        } else if (kind < 77) {
            // The frequencies the test dialog lists, or the default it opens at.
            p.tested = random_() % 8 == 0 ? default_frequency() : 3 + static_cast<std::int32_t>(random_() % 7);
            g_shared.test_frequency = p.tested;
            if (!test_switch(p.tested)) {
                std::snprintf(text, sizeof text, "P%d test of %d: not testable", who, p.tested);
            } else {
                p.dialog = Process::kAnswer;
                std::snprintf(text, sizeof text, "P%d test switch %d", who, p.tested);
            }
        } else if (kind < 83) {
            DiagnosisState d;
            diagnosis_open(d);
            Answers answers{&random_};
            const AnswerDialogs dialogs{random_pass_fail, random_fail_confirm, &answers};
            const bool all = random_() % 2 == 0;
            if (all) run_test_all(d, dialogs);
            else run_test(dialogs);
            if (random_() % 2) set_default(d);
            diagnosis_close(d);
            std::snprintf(text, sizeof text, "P%d frequency test %s (%d answers)", who, all ? "all" : "one", answers.calls);
        } else if (kind < 91) {
            adjust_open(p.adjust, g_shared.chip_code);
            p.dialog = Process::kAdjust;
            std::snprintf(text, sizeof text, "P%d adjust opens", who);
        } else if (kind < 93) {
            die(p);
            return check();
        } else if (kind < 95) {
            if (processes_.size() > 1 && p.dialog == Process::kNoDialog) {
                detach_process();
                std::snprintf(text, sizeof text, "P%d exits without Close", who);
                processes_.erase(processes_.begin() + (&p - processes_.data()));
                g_process = ProcessState{};
                log(text);
                return check();
            }
            std::snprintf(text, sizeof text, "P%d stays", who);
        } else if (kind < 97 && !library_behind()) {
            change_desktop_mode();
            return check();
        } else {
            p.state = g_process;
            if (processes_.size() < 4) {
                start_process();
                std::snprintf(text, sizeof text, "P%d starts", processes_.back().state.client_slot);
            } else {
                std::snprintf(text, sizeof text, "four processes already");
            }
            log(text);
            return check();
        }
        p.state = g_process;
        log(text);
        note_file_written(file_before, tables_before);
        return check();
    }

    // Besides Close, only a desktop mode change writes the settings file:
    // the old mode's tables, as they were before the step.
    void note_file_written(std::vector<std::uint8_t>& before, const SavedTables& tables) {
        if (testing::fake().files[kSettingsFileName] == before) return;
        before = testing::fake().files[kSettingsFileName];
        saved_ = tables;
        file_pending_ = true;
    }

    int steps() const { return steps_; }
    bool failed() const { return failed_; }

private:
    // Each row of the timing data as one client's Enable programs it on the
    // adapter fresh from power-on, at every depth of the resolution (S3
    // frequency changes take their clocks from another depth's table), and
    // then in line-double mode (S3 chips write one fixed block for every
    // mode): the rows the monitor cannot sync to are the data's own, and
    // listed. What Init and Close change besides (the lock bits, the
    // detection's probes) is found alike, with a first Init and Close.
    void find_quoted_rows() {
        for (int bits : {8, 16, 24}) {
            const sim::DesktopMode mode{mode_.width, mode_.height, bits};
            for (std::int32_t f = 0; f < kFrequencyCount; ++f) {
                testing::reset_world(model_.name, mode);
                testing::reset_registry();
                testing::list_adapter(model_);
                g_process.driver = 0;
                const sim::AdapterState before = adapter();
                std::int32_t initialised = init_library(0);
                if (f == 0) {
                    const sim::AdapterState opened = adapter();
                    close_library(0);
                    for (int i = 0; i < 256; ++i) {
                        lock_registers_.seq[i] |= static_cast<std::uint8_t>((before.seq[i] ^ opened.seq[i]) | (opened.seq[i] ^ adapter().seq[i]));
                        lock_registers_.crtc[i] |= static_cast<std::uint8_t>((before.crtc[i] ^ opened.crtc[i]) | (opened.crtc[i] ^ adapter().crtc[i]));
                    }
                    for (std::uint32_t port : {0x3BFu, 0x3D8u})
                        lock_registers_.ports[port] |= static_cast<std::uint8_t>((before.ports[port] ^ opened.ports[port]) | (opened.ports[port] ^ adapter().ports[port]));
                    testing::fake().files.clear();
                    initialised = init_library(0);
                }
                if (initialised != 1) break;
                if (enable_stereo(0, f) != f || g_shared.stereo != 1) continue;
                for (const char* state : {"", " line double"}) {
                    if (*state != '\0') line_double_command(kLineDoubleOn);
                    const sim::MonitorView view = sim::observe(adapter());
                    if (!view.out_of_range) continue;
                    quoted_out_.push_back(view);
                    char name[64];
                    std::snprintf(name, sizeof name, "%s %dx%dx%d index %d (%d Hz)%s", model_.name, mode.width,
                                  mode.height, bits, f, 75 + 5 * f, state);
                    g_out_of_range_rows[name] = sim::describe(view);
                }
            }
        }
    }

    bool shows_quoted_row(const sim::MonitorView& view) const {
        for (const sim::MonitorView& row : quoted_out_)
            if (std::abs(row.line_rate_hz - view.line_rate_hz) < 1 && std::abs(row.field_rate_hz - view.field_rate_hz) < 0.01)
                return true;
        return false;
    }

    void start_process() {
        g_process = ProcessState{};
        testing::fake().process_id = ++last_pid_;
        ASSERT_TRUE(attach_process());
        processes_.push_back({g_process, static_cast<WindowHandle>(0x100 * last_pid_), last_pid_});
    }

    static constexpr const char* kAnswerNames[] = {"Yes", "No", "nothing", "Abort", "Retry"};
    static constexpr const char* kEndNames[] = {"OK", "Cancel", "destroyed"};

    // One step of the dialog the process has open.
    void dialog_step(Process& p, char* text, std::size_t size) {
        const int who = g_process.client_slot;
        const unsigned r = random_();
        switch (p.dialog) {
        case Process::kAnswer: // Yes, No, the time-out or Abort; the restore follows each
            g_shared.test_frequency = p.tested;
            if (r % 4 < 2) record_answer(r % 4 == 0 ? 1 : 0);
            test_restore();
            p.dialog = r % 4 == 2 ? Process::kConfirm : Process::kNoDialog;
            std::snprintf(text, size, "P%d answers %s", who, kAnswerNames[r % 4]);
            break;
        case Process::kConfirm: // Yes, No or Retry
            g_shared.test_frequency = p.tested;
            if (r % 3 < 2) record_answer(r % 3 == 0 ? 1 : 0);
            p.dialog = Process::kNoDialog;
            if (r % 3 == 2 && test_switch(p.tested)) p.dialog = Process::kAnswer;
            std::snprintf(text, size, "P%d confirms %s", who, kAnswerNames[r % 3 == 2 ? 4 : r % 3]);
            break;
        default:
            adjust_step(p, r % 8, text, size);
            break;
        }
    }

    // Arrows (0-3), Default, OK, Cancel, or the dialog destroyed with its owner.
    void adjust_step(Process& p, unsigned what, char* text, std::size_t size) {
        AdjustState& s = p.adjust;
        TimingBlock* block = adjust_stored_block();
        const int who = g_process.client_slot;
        if (what < 4) {
            const ClientRect& zone = kArrowZones[what];
            adjust_press(s, zone.left, zone.top);
            const ReleaseResult r = adjust_release(s);
            for (int i = 0; i < r.command_count; ++i) {
                if (r.commands[i] == kCmdApplyHorizontal) adjust_apply_horizontal(s);
                if (r.commands[i] == kCmdApplyVertical) adjust_apply_vertical(s);
            }
            std::snprintf(text, size, "P%d adjust arrow %u", who, what);
            return;
        }
        if (what == 4) {
            // Default loads the stereo record's blanking: only over the stereo block.
            if (block != nullptr)
                adjust_default(s, g_shared.chip_code, g_shared.display_width, g_shared.colour_depth, *block);
            std::snprintf(text, size, "P%d adjust Default", who);
            return;
        }
        // OK over the desktop keeps the moved pulses on the desktop.
        const bool keeps = what == 5 && adjust_session_current() && g_shared.stereo == 0;
        if (what == 5) adjust_ok(s, block);
        else if (what == 6) adjust_cancel(s, block);
        else adjust_session_close(true);
        if (keeps && g_process.driver != 0)
            for (std::uint8_t r : kDialogRegisters) take_into_desktop({r});
        p.dialog = Process::kNoDialog;
        std::snprintf(text, size, "P%d adjust %s", who, kEndNames[what - 5]);
    }

    // The process is ended from outside: no detach, no Close. With no
    // process left the shared state goes with the library.
    void die(Process& p) {
        testing::fake().ended_processes.insert(p.pid);
        log("P" + std::to_string(g_process.client_slot) + " is ended" + (p.dialog ? " in a dialog" : ""));
        processes_.erase(processes_.begin() + (&p - processes_.data()));
        if (!processes_.empty()) return;
        g_shared = SharedState{};
        lost_ = sim::observe(adapter()).interlaced;
        if (!lost_) *power_on_ = *opened_ = adapter();
        locks_open_ = false;
        log(lost_ ? "no process left, adapter interlaced" : "no process left");
        start_process();
    }

    // Set up for a desktop mode that is no longer the screen's: until its
    // next call the library cannot tell a second mode change back from none.
    bool library_behind() const {
        return g_shared.initialised == 1 && g_shared.colour_depth != testing::fake().desktop.bits_per_pixel;
    }

    // The display driver sets another depth at the same resolution.
    void change_desktop_mode() {
        static constexpr int kDepths[] = {8, 16, 24, 8, 16};
        const int now = testing::fake().desktop.bits_per_pixel;
        const int bits = kDepths[(now / 8) % 3 + random_() % 2]; // one of the other two
        const sim::DesktopMode mode{mode_.width, mode_.height, bits};
        sim::power_on(adapter(), model_, mode, sim::run_seed());
        testing::fake().desktop = mode;
        *power_on_ = *opened_ = adapter();
        locks_open_ = lost_ = false;
        log("the desktop mode becomes " + std::to_string(mode.bits_per_pixel) + " bits");
    }

    void log(const std::string& line) {
        history_.push_back(line);
        if (history_.size() > 60) history_.erase(history_.begin());
    }

    void fail(const std::string& why) {
        if (failed_) return;
        failed_ = true;
        std::string trail;
        for (const std::string& line : history_) trail += "    " + line + "\n";
        ADD_FAILURE() << model_.name << " " << mode_.width << "x" << mode_.height << "x" << mode_.bits_per_pixel
                      << (testing::fake().own_ports ? " own ports" : "") << ", step " << steps_ << ": " << why << "\n  last steps:\n" << trail;
    }

    // A fresh load: the tables come from the file the last Close wrote.
    void after_load(const char* step) {
        locks_open_ = true;
        if (g_shared.stereo == 0) *opened_ = adapter();
        if (!file_pending_) return;
        file_pending_ = false;
        const SavedTables now = tables_now();
        const DepthClass current = depth_class_of(g_shared.colour_depth);
        for (int c = 0; c < kDepthClasses; ++c) {
            const TimingTable& a = saved_.by_class[c];
            const TimingTable& b = now.by_class[c];
            bool same = a.default_frequency == b.default_frequency &&
                        std::memcmp(a.blocks, b.blocks, sizeof a.blocks) == 0;
            for (int i = 0; i < kStatusEntries; ++i) {
                // The load offers no frequency it cannot program.
                const bool withdrawn = c == current && i < kFrequencyCount && b.status[i] == 0 && !frequency_programmable(i);
                same = same && (a.status[i] == b.status[i] || withdrawn);
            }
            if (!same) fail(std::string(step) + ": the settings file did not give back depth class " + std::to_string(c));
        }
    }

    void take_into_desktop(std::initializer_list<std::uint8_t> registers) {
        for (std::uint8_t r : registers) {
            power_on_->crtc[r] = opened_->crtc[r] = adapter().crtc[r];
        }
    }

    void check_writes() {
        if (!g_bad_writes.empty()) fail(g_bad_writes.front() + " written to the adapter");
        g_bad_writes.clear();
    }

    bool check() {
        check_writes();
        const sim::MonitorView view = sim::observe(adapter());
        const bool on = g_shared.stereo == 1;
        // Until a call follows a new desktop mode the library's flags are
        // the old mode's, and nothing may have been written.
        const bool stale = library_behind();
        // A test switched over the desktop shows stereo timing with the flag
        // off, at a clock the monitor may refuse: that is what it tests.
        const bool testing_now = g_shared.test.active == 1;
        if (lost_) return !failed_;
        if (testing_now) {
            if (view.blanked) fail("the screen is left blanked");
            return !failed_;
        }
        if (view.interlaced != on && !stale)
            fail(std::string("stereo flag ") + (on ? "on" : "off") + " but the monitor shows " + sim::describe(view));
        if (view.blanked) fail("the screen is left blanked");
        // Out of range only as a row of the data shows by itself: a frequency
        // change keeps the timing and writes only another row's clock.
        const std::int32_t f = g_shared.current_frequency;
        if (view.out_of_range && !(on && !stale && shows_quoted_row(view)))
            fail("monitor out of range: " + sim::describe(view) + " (timing of index " + std::to_string(timing_) +
                 ", clock of index " + std::to_string(f) + ", line double " + std::to_string(g_shared.line_double) +
                 ")\n  CRTC 00-18:" + hex_bytes(adapter().crtc, 25) +
                 (timing_ >= 0 ? "\n  its block: " + hex_bytes(g_shared.current_table.blocks[timing_].bytes, 25) : ""));
        if (!on || stale) {
            std::string where;
            const sim::AdapterState& desktop = locks_open_ ? *opened_ : *power_on_;
            RegisterSet loose = locks_open_ ? RegisterSet{} : lock_registers_;
            // Steps of an open adjustment show on the chip until OK or Cancel.
            for (const AdjustSession& a : g_shared.adjust)
                if (a.active && a.epoch == g_shared.timing_epoch)
                    for (int i = 0; i < a.count && i < kAdjustedRegisterCount; ++i) loose.crtc[a.index[i]] = 0xFF;
            if (!same_display(desktop, adapter(), loose, where))
                fail(std::string("stereo off but the adapter differs from the desktop") +
                     (locks_open_ ? " (locks open)" : " (as powered on)") + ": " + where);
        }
        return !failed_;
    }

    const sim::AdapterModel& model_;
    sim::DesktopMode mode_;
    std::mt19937 random_;
    std::vector<Process> processes_;
    std::unique_ptr<sim::AdapterState> power_on_, opened_;
    bool locks_open_ = false;
    bool lost_ = false; // every process died and left the adapter interlaced
    std::uint32_t last_pid_ = 1;
    RegisterSet lock_registers_;
    std::vector<sim::MonitorView> quoted_out_;
    SavedTables saved_{};
    bool file_pending_ = false;
    std::int32_t timing_ = -1; // the frequency index whose block the adapter runs
    std::vector<std::string> history_;
    int steps_ = 0;
    bool failed_ = false;
};

TEST(Sequence, ClientsInAnyOrderKeepAdapterMonitorAndSettingsConsistent) {
    const unsigned seed = sim::run_seed();
    const unsigned steps = env_number("DUO_SEQUENCE_STEPS", 0);
    const double seconds =
        env_number("DUO_SEQUENCE_SECONDS", steps != 0 ? kSequenceGuardSeconds : DUO_SEQUENCE_DEFAULT_SECONDS);
    if (steps != 0)
        std::printf("sequence: %u steps per adapter/mode run, at most %.0f s (DUO_SEQUENCE_STEPS, DUO_SEQUENCE_SECONDS)\n",
                    steps, seconds);
    else
        std::printf("sequence: %.0f s (DUO_SEQUENCE_SECONDS, or DUO_SEQUENCE_STEPS per run)\n", seconds);

    // Every adapter and mode through the port driver and through the
    // library's own port access.
    struct Run {
        const sim::AdapterModel* model;
        sim::DesktopMode mode;
        bool own_ports;
    };
    std::vector<Run> runs;
    int count = 0;
    const sim::AdapterModel* models = sim::adapter_models(count);
    for (int i = 0; i < count; ++i) {
        if (family_of(models[i].expected_chip) == kNoFamily) continue;
        for (const auto& [w, h] : {std::pair{640, 480}, std::pair{800, 600}, std::pair{1024, 768}})
            for (int bits : {8, 16, 24})
                for (bool own_ports : {false, true}) runs.push_back({&models[i], sim::DesktopMode{w, h, bits}, own_ports});
    }
    const auto guard = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    const auto per_run = std::chrono::duration<double>(seconds / static_cast<double>(runs.size()));
    long total_steps = 0;
    int failures = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        testing::fake().own_ports = runs[i].own_ports;
        Sequence sequence(*runs[i].model, runs[i].mode, seed + static_cast<unsigned>(i / 2));
        const auto end = steps != 0 ? guard : std::chrono::steady_clock::now() + per_run;
        const auto short_of_steps = [&] { return steps == 0 || sequence.steps() < static_cast<int>(steps); };
        while (short_of_steps() && std::chrono::steady_clock::now() < end && sequence.step()) {
        }
        total_steps += sequence.steps();
        failures += sequence.failed();
        if (steps != 0 && short_of_steps() && !sequence.failed()) {
            ADD_FAILURE() << "the time guard of " << seconds << " s ended run " << i + 1 << " of " << runs.size()
                          << " after " << sequence.steps() << " of " << steps << " steps";
            break;
        }
    }
    testing::fake().own_ports = false;
    std::printf("sequence: %zu adapter/mode runs, %ld steps, %d failed\n", runs.size(), total_steps, failures);
    std::printf("sequence: timing rows whose own data puts the monitor out of range:\n");
    for (const auto& [row, view] : g_out_of_range_rows) std::printf("  %s: %s\n", row.c_str(), view.c_str());
}

} // namespace
} // namespace duo
