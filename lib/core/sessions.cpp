#include "lib/core/sessions.h"

#include "lib/core/init_close.h"
#include "lib/core/platform.h"
#include "lib/core/state.h"
#include "lib/hw/family.h"
#include "lib/hw/port_io.h"
#include "lib/timing/timing_load.h"

namespace duo {
namespace {

// What the switch recorded, written back; the stereo flag at this moment
// does not decide, the record does.
void restore_test(const TestSession& t) {
    screen_blank_step();
    if (const FamilyOps* ops = family_ops(g_shared.chip_code))
        ops->restore_test(t.saved_clock, static_cast<std::uint8_t>(t.clock_select),
                          t.timing_saved ? &t.saved_timing : nullptr);
    screen_unblank_step();
}

// Ends the open test by putting back what it switched.
void end_test(bool interrupted) {
    TestSession& t = g_shared.test;
    if (!t.active) return;
    t.active = 0;
    t.interrupted = interrupted ? 1 : 0;
    restore_test(t);
}

AdjustSession* own_adjust() {
    const int slot = g_process.client_slot;
    return slot >= 0 && slot < kClientSlots ? &g_shared.adjust[slot] : nullptr;
}

void put_back_adjust(const AdjustSession& a) {
    const int count = a.count < 0 ? 0 : a.count > kAdjustedRegisterCount ? kAdjustedRegisterCount : a.count;
    for (int i = 0; i < count; ++i) write_crtc(a.index[i], a.entry[i]);
    vga_crtc_written();
}

} // namespace

void take_back_sessions() {
    end_open_test();
    for (const AdjustSession& a : g_shared.adjust)
        if (a.active && a.epoch == g_shared.timing_epoch) put_back_adjust(a);
    ++g_shared.timing_epoch;
}

bool frequency_testable(std::int32_t f) {
    if (!holds_library() || !frequency_programmable(f)) return false;
    const std::int32_t current = g_shared.current_frequency;
    return g_shared.stereo == 1 ||
           (current >= 0 && current < kFrequencyCount && block_has_timing(g_shared.current_table.blocks[current]));
}

bool test_switch(std::int32_t frequency) {
    // Judged again here: a new desktop mode taken up now has other tables.
    follow_the_adapter();
    if (!frequency_testable(frequency)) return false;
    end_open_test();
    screen_blank_step();
    const std::int32_t chip = g_shared.chip_code;
    if (const FamilyOps* ops = family_ops(chip)) {
        TestSession& t = g_shared.test;
        t = TestSession{};
        t.owner = platform::process_id();
        const std::int32_t current = g_shared.current_frequency;
        if (g_shared.stereo == 0 && current >= 0 && current < kStatusEntries) {
            ops->save_step(t.saved_timing);
            ops->enter_step(g_shared.current_table.blocks[current]);
            t.timing_saved = 1;
        }
        t.clock_select = Read_Port(kMiscOutputRead);
        ops->clock_read(t.saved_clock);
        if (const ClockSetting* clock = change_clock_setting(frequency)) ops->clock_write(*clock);
        t.active = 1;
    }
    screen_unblank_step();
    return true;
}

void test_restore() {
    // A desktop mode changed under the test ends it without a write.
    follow_the_adapter();
    end_test(false);
}

bool test_answer_counts() { return g_shared.test.interrupted == 0; }

void end_open_test() { end_test(true); }

void drop_sessions() {
    if (g_shared.test.active) {
        g_shared.test.active = 0;
        g_shared.test.interrupted = 1;
    }
    ++g_shared.timing_epoch;
}

void recover_abandoned_sessions() {
    if (g_shared.test.active && !platform::process_running(g_shared.test.owner)) end_test(true);
    for (AdjustSession& a : g_shared.adjust) {
        if (!a.active || platform::process_running(a.owner)) continue;
        a.active = 0;
        if (a.epoch == g_shared.timing_epoch) {
            end_open_test();
            put_back_adjust(a);
        }
    }
}

void adjust_session_open(const std::uint8_t* index, const std::uint8_t* entry, int count) {
    AdjustSession* a = own_adjust();
    if (a == nullptr) return;
    a->active = 0;
    *a = AdjustSession{};
    a->owner = platform::process_id();
    a->epoch = g_shared.timing_epoch;
    a->block = g_shared.stereo == 1 && g_shared.line_double == 0 ? g_shared.running_block : -1;
    a->count = count < 0 ? 0 : count > kAdjustedRegisterCount ? kAdjustedRegisterCount : count;
    for (int i = 0; i < a->count; ++i) {
        a->index[i] = index[i];
        a->entry[i] = entry[i];
    }
    a->active = 1;
}

bool adjust_session_current() {
    const AdjustSession* a = own_adjust();
    return a != nullptr && a->active && a->owner == platform::process_id() && a->epoch == g_shared.timing_epoch;
}

std::int32_t adjust_session_block() {
    const AdjustSession* a = own_adjust();
    return a != nullptr && a->active && a->block >= 0 && a->block < kStatusEntries ? a->block : -1;
}

void adjust_session_close(bool put_back) {
    AdjustSession* a = own_adjust();
    if (a == nullptr || !a->active) return;
    follow_the_adapter();
    if (put_back && adjust_session_current()) {
        end_open_test();
        put_back_adjust(*a);
    }
    a->active = 0;
}

} // namespace duo
