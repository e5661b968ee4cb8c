// The hint's tick logic and placement.
#include <gtest/gtest.h>

#include "tool/hint_logic.h"

namespace duo::tool {
namespace {

constexpr int kExit = 9;   // index of Exit in kButtons
constexpr int kEnable = 0; // index of Enable

TEST(Hint, ShowsOnceThenHidesAfterThirtyOneTicks) {
    HintState s;
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kShow);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(hint_step(s, true, kExit), HintAction::kNone) << i;
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kHide);
    // It stays away while the cursor stays on the same button.
    for (int i = 0; i < 100; ++i) EXPECT_NE(hint_step(s, true, kExit), HintAction::kShow);
    // Over the bar's body first, then back: shown again.
    EXPECT_EQ(hint_step(s, true, kNoButton), HintAction::kHide);
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kShow);
}

TEST(Hint, StraightToAnotherButtonShowsAtOnce) {
    HintState s;
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kShow);
    EXPECT_EQ(hint_step(s, true, kEnable), HintAction::kShow);
    EXPECT_EQ(s.previous, kEnable);
}

TEST(Hint, LeavingToAnotherWindowAndBackShowsNothing) {
    HintState s;
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kShow);
    EXPECT_EQ(hint_step(s, false, kNoButton), HintAction::kHide);
    EXPECT_EQ(s.previous, kExit);
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kNone);
}

TEST(Hint, CommandOrHeldButtonKeepsEverything) {
    HintState s;
    s.command_in_progress = true;
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kNone);
    EXPECT_EQ(s.previous, kNoButton);
    s.command_in_progress = false;
    s.button_held = true;
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kNone);
    s.button_held = false;
    EXPECT_EQ(hint_step(s, true, kExit), HintAction::kShow);
}

TEST(Hint, ButtonLookupExcludesRightAndBottomEdges) {
    Rect rects[kButtonCount];
    for (int i = 0; i < kButtonCount; ++i) rects[i] = {43 + 36 * i, 7, 79 + 36 * i, 43};
    EXPECT_EQ(hint_button_at(rects, {43, 7}), 0);
    EXPECT_EQ(hint_button_at(rects, {78, 42}), 0);
    EXPECT_EQ(hint_button_at(rects, {79, 7}), 1);
    EXPECT_EQ(hint_button_at(rects, {20, 20}), kNoButton);
    EXPECT_EQ(hint_button_at(rects, {78, 43}), kNoButton);
}

TEST(Hint, BoxFlipsNearTheScreenEdges) {
    const Rect screen{0, 0, 800, 600};
    EXPECT_EQ(hint_origin({100, 100}, 36, screen), (Point{100, 115}));
    EXPECT_EQ(hint_origin({780, 100}, 36, screen), (Point{744, 115}));
    EXPECT_EQ(hint_origin({764, 100}, 36, screen), (Point{764, 115}));
    EXPECT_EQ(hint_origin({100, 580}, 36, screen), (Point{100, 545}));
    EXPECT_EQ(hint_origin({100, 565}, 36, screen), (Point{100, 580}));
}

} // namespace
} // namespace duo::tool
