// Screenshots of windows as the screen shows them, written as PNG files.
#pragma once
#include <windows.h>

#include <string>

namespace duo::testing {

// The window's rectangle on the screen (frame included) into path; false
// when it cannot be captured or written.
bool save_window_png(HWND window, const std::string& path);

} // namespace duo::testing
