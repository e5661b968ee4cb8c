#include "tool/hint_logic.h"

namespace duo::tool {

int hint_button_at(const Rect (&rects)[kButtonCount], Point cursor) {
    for (int i = 0; i < kButtonCount; ++i) {
        const Rect& r = rects[i];
        if (cursor.x >= r.left && cursor.x < r.right && cursor.y >= r.top && cursor.y < r.bottom) return i;
    }
    return kNoButton;
}

HintAction hint_step(HintState& state, bool over_bar, int current) {
    if (state.command_in_progress || state.button_held) {
        state.ticks = 0;
        return HintAction::kNone;
    }
    if (!over_bar) {
        state.ticks = 0;
        return HintAction::kHide;
    }
    if (current == state.previous) {
        if (current != kNoButton && state.ticks < kHintTicks) {
            ++state.ticks;
            return HintAction::kNone;
        }
        state.ticks = 0;
        return HintAction::kHide;
    }
    state.ticks = 0;
    state.previous = current;
    return current == kNoButton ? HintAction::kHide : HintAction::kShow;
}

Point hint_origin(Point cursor, int width, const Rect& screen) {
    const int x = cursor.x + width > screen.right ? cursor.x - width : cursor.x;
    const int y = cursor.y + 35 > screen.bottom ? cursor.y - 35 : cursor.y + 15;
    return {x, y};
}

} // namespace duo::tool
