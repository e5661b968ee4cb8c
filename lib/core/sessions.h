// Dialog sessions that hold the adapter across several calls: a frequency
// test between its switch and its restore, and a screen adjustment between
// its opening and its OK or Cancel. Each records what it changed when it
// changed it, in the shared state; whoever ends it (the session itself,
// another call that changes the adapter under it, the next process after
// its owner died) puts back exactly that and nothing else.
//
// The rule for calls that meet an open session:
//   - a frequency test holds the adapter only until any other call changes
//     it: that call first puts back what the test switched, then does its
//     own work; the test's own restore then writes nothing, and the answer
//     given for it is not recorded (the user was shown something else);
//   - a screen adjustment acts only on the timing it was opened on: a call
//     that rewrites that timing (stereo on or off, resume, line-double mode)
//     first takes back the steps not yet confirmed, as Cancel would on the
//     chip; after it, and after a desktop mode change, the dialog's steps,
//     Default, OK and Cancel write nothing.
#pragma once
#include <cstdint>

namespace duo {

// Before a call rewrites the timing the adapter runs: open sessions are
// taken back, and a new epoch starts.
void take_back_sessions();

// Whether frequency f can be put on the screen for a test: with timing and
// a clock, and with stereo off over a stereo block that holds timing.
bool frequency_testable(std::int32_t f);
// The adapter in stereo timing with the pixel clock of frequency f, what it
// ran before recorded for the restore. False when f cannot be tested (the
// adapter is not touched).
bool test_switch(std::int32_t frequency);
// The test's own restore; writes nothing when another call ended the test.
void test_restore();
// Whether an answer to the test frequency is about what the user was shown.
bool test_answer_counts();

// Before a call changes the adapter: a frequency test still switched is put
// back first.
void end_open_test();
// A new desktop mode: the sessions end without writing, since the registers
// they recorded belong to the old mode.
void drop_sessions();
// Sessions whose process ended without closing them are put back. Every
// export that reaches the adapter calls this first.
void recover_abandoned_sessions();

// Screen adjustment of this process: opened with the CRTC registers it read
// (`count` indexes and values, in the order they are put back); `current`
// while nothing has rewritten the timing since; closed by OK or Cancel.
void adjust_session_open(const std::uint8_t* index, const std::uint8_t* entry, int count);
bool adjust_session_current();
// The stereo block the session was opened on, or -1.
std::int32_t adjust_session_block();
// The session ends; `put_back` writes its entry registers to the adapter
// first (a dialog that went away without OK or Cancel).
void adjust_session_close(bool put_back);

} // namespace duo
