// The frequency test dialog's work: which list entry a click selects, where
// the selection marker goes, the test switch and restore around an answer
// dialog, the Test and Test all sequences, Set default and Close.
#pragma once
#include <cstdint>

#include "lib/core/sessions.h"

namespace duo {

inline constexpr int kCmdDiagnosisClose = 1005;
inline constexpr int kCmdTest = 1006;
inline constexpr int kCmdSetDefault = 1007;
inline constexpr int kCmdTestAll = 1014;

// Results of the answer dialogs PASSFAIL and FAILCONFIRM.
enum PassFailResult : int { kPassYes = 0, kPassNo = 1, kPassTimeout = 2, kPassAbort = 3 };
enum ConfirmResult : int { kConfirmYes = 0, kConfirmNo = 1, kConfirmRetry = 2 };

inline constexpr int kFirstListedFrequency = 3; // 90 Hz; the list shows 90..120 Hz

struct DiagnosisState {
    std::int32_t pending_default = 0;
    bool test_all = false;
};

// Opening: the pending default and the test frequency index start at the
// default frequency index.
void diagnosis_open(DiagnosisState& s);

// A button release at a client point: selects the list entry under it as
// the test frequency index. True when an entry was hit.
bool diagnosis_select_at(int x, int y);

// Top-left of the selection marker for a frequency index; false for an index
// outside 0..9, which has no marker.
bool marker_position(std::int32_t frequency, int& x, int& y);

// An answer Yes (1) or No (0) for the test frequency index.
void record_answer(std::int32_t status);

// The answer dialogs, run modally by the caller; a dialog that cannot be
// shown returns kNoDialog. The test restore runs after each PASSFAIL.
inline constexpr int kNoDialog = -1;
struct AnswerDialogs {
    int (*pass_fail)(void* context);
    int (*fail_confirm)(void* context);
    void* context;
};

// "Test": the test frequency index, again only on Retry after a time-out.
// A PASSFAIL that cannot be shown ends "Test" and "Test all".
void run_test(const AnswerDialogs& dialogs);
// "Test all": 90 to 120 Hz in turn until done or aborted.
void run_test_all(DiagnosisState& s, const AnswerDialogs& dialogs);

// "Set default": false when the test frequency is not available (the
// caller shows why).
bool set_default(DiagnosisState& s);

// "Close": the pending default becomes the default, and every host window
// hears the availability mask and the default.
void diagnosis_close(const DiagnosisState& s);

} // namespace duo
