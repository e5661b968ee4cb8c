// Drives duodeck.exe from another process under Wine: starts it, finds its
// windows, clicks with synthetic mouse input, presses keys, reads the
// simulated adapter and saves screenshots.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/wine/child_process.h"

namespace duo::deck_test {

std::string bin_dir();
// A fresh directory bin\decktest\NAME for one test's files.
std::string fresh_dir(const std::string& name);
bool file_exists(const std::string& path);
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms = 5000);

// A top-level window of the process with this class and, when given, title.
HWND find_window(DWORD pid, const char* cls, const char* title = nullptr, DWORD timeout_ms = 5000);
// A dialog (class #32770) of the process owned by `owner`.
HWND find_dialog(DWORD pid, HWND owner, DWORD timeout_ms = 5000);

// Synthetic input: moves the cursor and presses the left button.
void click_screen(int x, int y, bool double_click = false);
void click_window(HWND window, bool double_click = false);
void click_client(HWND window, int x, int y, bool double_click = false);
// Ctrl+Alt+letter as key presses.
void press_ctrl_alt(char letter);

RECT window_rect(HWND window);

// The simulated adapter's "monitor:" line, as duogate-sim.exe prints it.
std::string monitor_view();
void reset_adapter();

// The live GDI objects of another process, counted inside it by
// gdi_probe.dll (loaded there on the first call); -1 when it cannot be done.
int remote_gdi_objects(DWORD pid);

// A window's client area as the screen shows it, one 0xRRGGBB per pixel.
struct Pixels {
    int width = 0, height = 0;
    std::vector<unsigned> rgb; // top row first
    unsigned at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    // The colour most pixels have.
    unsigned background() const;
    // Pixels of the rectangle (clipped to the picture) that differ from `colour`.
    int count_other(int left, int top, int right, int bottom, unsigned colour) const;
};
Pixels capture_client(HWND window);

// Starts duodeck.exe in `dir` with deck_faults.dll loaded before the
// program's first instruction, `faults` naming what the system refuses it
// (see deck_faults_win.cpp). The process handle, or nullptr.
HANDLE start_with_faults(const std::string& dir, const char* faults, DWORD* pid);

// Saves the screen area of the window (or the whole screen for nullptr)
// as bin\screenshots\NAME.bmp.
bool screenshot(HWND window, const std::string& name);

// One running bar.
struct Deck {
    std::unique_ptr<testing::ChildProcess> process;
    HWND bar = nullptr;

    Deck(const std::string& arguments, const std::string& dir, bool expect_bar = true);
    ~Deck();
    HWND button(int id) const { return GetDlgItem(bar, id); }
    // Clicks the button with its own id.
    void press(int id) const { click_window(button(id)); }
    // Ends the program with its Exit button; its exit code, or STILL_ACTIVE.
    DWORD exit_by_button();
};

} // namespace duo::deck_test
