// The four arrangements: slots, bar sizes, the double-click cycle and the
// buttons' states.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <set>
#include <utility>

#include "tool/bar_layout.h"

namespace duo::tool {
namespace {

TEST(Layout, BarSizesAndCycle) {
    EXPECT_EQ(bar_size(kLayoutOneRow), (Size{410, 50}));
    EXPECT_EQ(bar_size(kLayoutOneColumn), (Size{50, 410}));
    EXPECT_EQ(bar_size(kLayoutTwoRows), (Size{230, 86}));
    EXPECT_EQ(bar_size(kLayoutTwoColumns), (Size{86, 230}));
    int code = kLayoutOneRow;
    const int expected[] = {kLayoutOneColumn, kLayoutTwoRows, kLayoutTwoColumns, kLayoutOneRow};
    for (int next : expected) EXPECT_EQ(code = next_layout(code), next);
    EXPECT_EQ(next_layout(999), 999);
    EXPECT_EQ(bar_size(999), bar_size(kLayoutOneRow));
}

// Every slot lies inside the frame of its bar, and no two buttons share a
// cell or take the logo's.
TEST(Layout, SlotsFillTheBarWithoutOverlap) {
    for (int layout = kLayoutOneRow; layout <= kLayoutTwoColumns; ++layout) {
        const Size size = bar_size(layout);
        std::set<std::pair<int, int>> cells{{kFrame, kFrame}};
        for (const ButtonInfo& b : kButtons) {
            const Point p = slot_position(layout, b.slot);
            EXPECT_GE(p.x, kFrame);
            EXPECT_GE(p.y, kFrame);
            EXPECT_LE(p.x + kCellSize, size.width - kFrame) << layout;
            EXPECT_LE(p.y + kCellSize, size.height - kFrame) << layout;
            EXPECT_TRUE(cells.insert({p.x, p.y}).second) << layout << " slot " << b.slot;
        }
    }
    EXPECT_EQ(slot_position(kLayoutTwoRows, 5), (Point{43, 43}));
    EXPECT_EQ(slot_position(kLayoutTwoColumns, 9), (Point{43, 187}));
    EXPECT_EQ(slot_position(kLayoutOneColumn, 9), (Point{7, 367}));
}

// In two rows every button stands on its own picture in the face sheet.
TEST(Layout, TwoRowsMatchesTheFaceSheet) {
    for (const ButtonInfo& b : kButtons) EXPECT_EQ(slot_position(kLayoutTwoRows, b.slot), b.face) << b.id;
}

// A stored position, whatever its values, puts the bar wholly on the
// screen, and one already on the screen is kept.
TEST(Layout, StoredPositionIsMovedOntoTheScreen) {
    std::mt19937 random(20261208);
    const Rect screens[] = {{0, 0, 640, 480}, {0, 0, 800, 600}, {-1024, 0, 1024, 768}, {0, 0, 40, 40}};
    const int extremes[] = {INT_MIN, -5000, -1, 0, 1, 5000, INT_MAX};
    for (int round = 0; round < 4000; ++round) {
        const Rect& screen = screens[random() % 4];
        const Size bar = bar_size(kLayoutOneRow + static_cast<int>(random() % 4));
        const auto pick = [&] { return random() % 3 == 0 ? extremes[random() % 7] : static_cast<int>(random() % 3000) - 1500; };
        const Point at{pick(), pick()};
        const Point p = onto_screen(at, bar, screen);
        // One axis at a time: the bar's span on it, the screen's, the result.
        const auto check = [&](int from, int got, int length, int low, int high) {
            const bool fits = length <= high - low, was_on = from >= low && from <= high - length;
            if (fits) {
                EXPECT_GE(got, low) << from;
                EXPECT_LE(got, high - length) << from;
            } else {
                EXPECT_EQ(got, low) << from;
            }
            // Kept when already on the screen, else moved onto the nearest edge.
            if (was_on) {
                EXPECT_EQ(got, from);
            } else if (fits) {
                EXPECT_EQ(got, from < low ? low : high - length) << from;
            }
        };
        check(at.x, p.x, bar.width, screen.left, screen.right);
        check(at.y, p.y, bar.height, screen.top, screen.bottom);
    }
}

TEST(Layout, CreationRowPutsTestBeforeResume) {
    EXPECT_EQ(kButtons[5].id, kCmdTest);
    EXPECT_EQ(kButtons[6].id, kCmdResume);
    EXPECT_EQ(creation_position(5), (Point{223, 7}));
    EXPECT_EQ(creation_position(9), (Point{367, 7}));
    EXPECT_EQ(slot_position(kLayoutOneRow, find_button(kCmdResume)->slot), (Point{223, 7}));
}

TEST(Layout, StereoStatesOfTheButtons) {
    EXPECT_TRUE(enabled_in_state(kCmdEnable, false));
    EXPECT_FALSE(enabled_in_state(kCmdEnable, true));
    for (int id : kStateButtons) {
        if (id == kCmdEnable) continue;
        EXPECT_TRUE(enabled_in_state(id, true)) << id;
        EXPECT_FALSE(enabled_in_state(id, false)) << id;
        EXPECT_TRUE(find_button(id)->follows_state);
    }
    int usable_at_start = 0;
    for (const ButtonInfo& b : kButtons) usable_at_start += b.created_enabled ? 1 : 0;
    EXPECT_EQ(usable_at_start, 4);
    EXPECT_EQ(find_button(42), nullptr);
}

} // namespace
} // namespace duo::tool
