// The bar's buttons and the four arrangements: which button sits where, how
// big the bar is, and which buttons follow the stereo state. Portable, so
// the geometry is tested natively.
#pragma once

namespace duo::tool {

inline constexpr int kLayoutOneRow = 1019;
inline constexpr int kLayoutOneColumn = 1020;
inline constexpr int kLayoutTwoRows = 1021;
inline constexpr int kLayoutTwoColumns = 1022;

inline constexpr int kButtonCount = 10;
inline constexpr int kCellSize = 36;
inline constexpr int kFrame = 7;

inline constexpr int kCmdEnable = 100;
inline constexpr int kCmdDisable = 101;
inline constexpr int kCmdSelectFrequency = 102;
inline constexpr int kCmdInformation = 103;
inline constexpr int kCmdAdjust = 104;
inline constexpr int kCmdTest = 105;
inline constexpr int kCmdResume = 106;
inline constexpr int kCmdToggleGlasses = 107;
inline constexpr int kCmdExit = 108;
inline constexpr int kCmdSetup = 109;

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};

struct Size {
    int width, height;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int left, top, right, bottom;
    bool operator==(const Rect&) const = default;
};

struct ButtonInfo {
    int id;
    Point face;        // top-left of its 36x36 picture in every face sheet
    int hint_string;   // string-table id of its name
    int slot;          // place in the arrangement
    bool created_enabled;
    bool follows_state; // enabled or disabled with the stereo state
};

// In creation order, which is also the order of layout and hint lookup.
inline constexpr ButtonInfo kButtons[kButtonCount] = {
    {kCmdEnable, {43, 7}, 1, 0, true, true},
    {kCmdDisable, {79, 7}, 2, 1, false, true},
    {kCmdSelectFrequency, {115, 7}, 5, 2, false, true},
    {kCmdInformation, {151, 7}, 3, 3, false, true},
    {kCmdAdjust, {187, 7}, 4, 4, false, true},
    {kCmdTest, {79, 43}, 7, 6, true, false},
    {kCmdResume, {43, 43}, 9, 5, false, true},
    {kCmdToggleGlasses, {115, 43}, 6, 7, false, true},
    {kCmdSetup, {151, 43}, 8, 8, true, false},
    {kCmdExit, {187, 43}, 10, 9, true, false},
};

// The seven buttons a stereo state change touches, in the order they are
// switched.
inline constexpr int kStateButtons[7] = {kCmdEnable, kCmdDisable, kCmdInformation, kCmdAdjust,
                                         kCmdSelectFrequency, kCmdToggleGlasses, kCmdResume};

// The button with this command id, or nullptr.
const ButtonInfo* find_button(int id);

// Whether a state-following button is usable with stereo on or off: Enable
// only while off, the others only while on.
bool enabled_in_state(int id, bool stereo_on);

// x position of the n-th button (creation order) when first created.
Point creation_position(int n);

bool is_layout(int code);
// A code that names no arrangement (only a damaged position file gives one)
// is laid out as one row.
int effective_layout(int code);
// The double-click cycle: one row, one column, two rows, two columns.
int next_layout(int code);
Point slot_position(int layout, int slot);
Size bar_size(int layout);

// Where a bar of this size stands wholly on the screen: the nearest place
// to `at`, which is kept when the bar already lies on the screen. A bar
// bigger than the screen keeps to its left or top edge.
Point onto_screen(Point at, Size bar, const Rect& screen);

} // namespace duo::tool
