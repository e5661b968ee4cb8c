// Driving the library's modal dialogs from the test's own thread: steps run
// from a thread timer, which every modal loop (nested ones too) dispatches.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/wine/gdi_count.h"

namespace duo::testing {

inline constexpr char kAdjustCaption[] = "                      Adjust VR System";
inline constexpr char kDiagnosisCaption[] = "                    Test VR Frequency";

// A step returns false to be tried again at the next tick.
using Step = std::function<bool()>;

// Runs the steps while alive; a step that keeps waiting for about 10 s ends
// every dialog and leaves a message in stuck().
class Driving {
public:
    explicit Driving(std::vector<Step> steps);
    ~Driving();
    Driving(const Driving&) = delete;
    Driving& operator=(const Driving&) = delete;

private:
    UINT_PTR timer_;
};
const std::string& stuck();

HWND visible_dialog(const char* caption);
// Waits for the dialog with this caption, then acts on it.
Step on(const char* caption, std::function<void(HWND)> act);
Step check(std::function<void()> f);

// A mouse button message at a client point, with the cursor really there:
// the dialogs ask for the cursor position.
void mouse(HWND window, UINT message, int x, int y);
std::vector<Step> click(const char* caption, int x, int y);
void press(HWND dialog, int id);
Step press_in(const char* caption, int id);
// The dialog as the screen shows it, into screenshots\<name>.png.
Step photograph(const char* caption, const char* name);
std::vector<Step> join(std::initializer_list<std::vector<Step>> parts);

// Windows of this thread, children included.
int thread_windows();

// Without a window manager, Wine waits up to 2 s for one at every dialog
// that closes, unless the program's windows are unmanaged. That is set for
// this program alone (its AppDefaults key); a run that finds it missing sets
// it and runs itself again, since it is read when a program starts. Then
// runs the tests.
int run_unmanaged(int argc, char** argv, const char* exe_name);

} // namespace duo::testing
