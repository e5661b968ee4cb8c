// The hint's decisions, made every 100 ms tick: which button the cursor
// rests on, whether to show, keep or hide the box, and where it goes.
#pragma once
#include "tool/bar_layout.h"

namespace duo::tool {

inline constexpr int kNoButton = -1;
inline constexpr int kHintTicks = 30; // a hint stands 31 ticks
inline constexpr int kHintCharWidth = 9;
inline constexpr int kHintHeight = 20;
inline constexpr int kHintMaxChars = 29;

struct HintState {
    bool command_in_progress = false;
    bool button_held = false;
    int previous = kNoButton; // index into kButtons
    int ticks = 0;
};

enum class HintAction { kNone, kHide, kShow };

// Index into kButtons of the first button whose screen rectangle holds the
// point (right and bottom edges excluded), or kNoButton.
int hint_button_at(const Rect (&rects)[kButtonCount], Point cursor);

// One tick. over_bar: the window under the cursor is the bar or one of its
// buttons; current: the button found there, or kNoButton.
HintAction hint_step(HintState& state, bool over_bar, int current);

// Top-left corner of a hint box of this width: below and right of the
// cursor, flipped left or above near the screen's right or bottom edge.
Point hint_origin(Point cursor, int width, const Rect& screen);

} // namespace duo::tool
