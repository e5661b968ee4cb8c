#include "lib/dialogs/diagnosis.h"

#include "lib/core/clients.h"
#include "lib/core/init_close.h"
#include "lib/core/state.h"
#include "lib/hw/family.h"
#include "lib/timing/timing_load.h"

namespace duo {
namespace {

constexpr int kRows = 5;
constexpr int kRowTop = 30;
constexpr int kRowPitch = 30;
constexpr int kRowHeight = 20;

struct ListColumn {
    int left, right; // right exclusive
    std::int32_t frequency[kRows]; // -1: the row stands for nothing
};
constexpr ListColumn kColumns[] = {
    {40, 140, {3, 4, 5, 6, 7}},
    {120, 220, {8, 9, -1, -1, -1}},
};

bool valid_frequency(std::int32_t f) { return f >= 0 && f < kFrequencyCount; }

// The answer loop of one frequency; false when the run should stop (Abort,
// or an answer dialog that cannot be shown). The restore follows every
// switch whatever the answer dialog did, so the screen the user answers the
// confirmation on, and the next switch, start from the display as it was.
bool answer_until_done(std::int32_t f, const AnswerDialogs& d, bool stop_on_abort) {
    for (;;) {
        if (!test_switch(f)) return true;
        const int result = d.pass_fail(d.context);
        test_restore();
        if (result == kNoDialog) return false;
        if (result == kPassTimeout) {
            // Only Retry tests again: a confirmation that cannot be shown
            // leaves the frequency unanswered.
            if (d.fail_confirm(d.context) == kConfirmRetry) continue;
            return true;
        }
        return !(stop_on_abort && result == kPassAbort);
    }
}

} // namespace


void diagnosis_open(DiagnosisState& s) {
    s.pending_default = default_frequency();
    s.test_all = false;
    g_shared.test_frequency = default_frequency();
}

bool diagnosis_select_at(int x, int y) {
    bool hit = false;
    for (const ListColumn& c : kColumns) {
        if (x < c.left || x >= c.right) continue;
        for (int r = 0; r < kRows; ++r) {
            const int top = kRowTop + kRowPitch * r;
            if (y < top || y >= top + kRowHeight) continue;
            if (c.frequency[r] >= 0) {
                g_shared.test_frequency = c.frequency[r];
                hit = true;
            }
            break;
        }
    }
    return hit;
}

bool marker_position(std::int32_t frequency, int& x, int& y) {
    if (!valid_frequency(frequency)) return false;
    const int n = frequency - kFirstListedFrequency; // division truncates toward zero
    x = 20 + 80 * (n / kRows);
    y = 28 + 30 * (n % kRows);
    return true;
}

void record_answer(std::int32_t status) {
    // An answer given after another call ended the test, or after the
    // desktop mode changed under it, is about whatever the screen showed
    // then, not the frequency.
    follow_the_adapter();
    const std::int32_t f = g_shared.test_frequency;
    if (valid_frequency(f) && test_answer_counts()) g_shared.current_table.status[f] = status;
}

void run_test(const AnswerDialogs& dialogs) {
    // A frequency index from a damaged settings file is not tested.
    if (valid_frequency(g_shared.test_frequency)) answer_until_done(g_shared.test_frequency, dialogs, false);
    screen_unblank_step();
}

void run_test_all(DiagnosisState& s, const AnswerDialogs& dialogs) {
    s.test_all = true;
    for (std::int32_t f = kFirstListedFrequency; f < kFrequencyCount; ++f) {
        g_shared.test_frequency = f;
        if (!answer_until_done(f, dialogs, true)) break;
    }
    screen_unblank_step();
    s.test_all = false;
}

bool set_default(DiagnosisState& s) {
    const std::int32_t f = g_shared.test_frequency;
    // Entries beyond the table count as unavailable.
    if (f < 0 || f >= kStatusEntries || g_shared.current_table.status[f] == 0) return false;
    s.pending_default = f;
    return true;
}

void diagnosis_close(const DiagnosisState& s) {
    g_shared.current_table.default_frequency = s.pending_default;
    const std::int32_t mask = available_frequency_mask();
    for (const ClientSlot& slot : g_shared.clients) {
        if (slot.host_window == 0) continue;
        notify_client(slot, kNotifyAvailable, mask);
        notify_client(slot, kNotifyDefaultFrequency, s.pending_default);
    }
}

} // namespace duo
