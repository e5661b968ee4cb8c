#include "tool/bar_layout.h"

#include <algorithm>

namespace duo::tool {

const ButtonInfo* find_button(int id) {
    for (const ButtonInfo& b : kButtons)
        if (b.id == id) return &b;
    return nullptr;
}

bool enabled_in_state(int id, bool stereo_on) { return id == kCmdEnable ? !stereo_on : stereo_on; }

Point creation_position(int n) { return {43 + kCellSize * n, kFrame}; }

bool is_layout(int code) { return code >= kLayoutOneRow && code <= kLayoutTwoColumns; }

int effective_layout(int code) { return is_layout(code) ? code : kLayoutOneRow; }

int next_layout(int code) {
    switch (code) {
    case kLayoutOneRow: return kLayoutOneColumn;
    case kLayoutOneColumn: return kLayoutTwoRows;
    case kLayoutTwoRows: return kLayoutTwoColumns;
    case kLayoutTwoColumns: return kLayoutOneRow;
    default: return code;
    }
}

Point slot_position(int layout, int slot) {
    // The logo takes the first cell; buttons follow it.
    const int first = kFrame + kCellSize;
    switch (effective_layout(layout)) {
    case kLayoutOneColumn: return {kFrame, first + kCellSize * slot};
    case kLayoutTwoRows:
        return slot < 5 ? Point{first + kCellSize * slot, kFrame} : Point{first + kCellSize * (slot - 5), first};
    case kLayoutTwoColumns:
        return slot < 5 ? Point{kFrame, first + kCellSize * slot} : Point{first, first + kCellSize * (slot - 5)};
    default: return {first + kCellSize * slot, kFrame};
    }
}

Size bar_size(int layout) {
    switch (effective_layout(layout)) {
    case kLayoutOneColumn: return {50, 410};
    case kLayoutTwoRows: return {230, 86};
    case kLayoutTwoColumns: return {86, 230};
    default: return {410, 50};
    }
}

Point onto_screen(Point at, Size bar, const Rect& screen) {
    // Bounds taken from the screen, never from `at`, so a damaged position
    // file cannot overflow the arithmetic.
    const int right = std::max(screen.left, screen.right - bar.width);
    const int bottom = std::max(screen.top, screen.bottom - bar.height);
    return {std::clamp(at.x, screen.left, right), std::clamp(at.y, screen.top, bottom)};
}

} // namespace duo::tool
