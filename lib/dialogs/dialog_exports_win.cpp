// The exports that show the library's dialogs; ordinals in duoscope.def.
#include "lib/core/init_close.h"
#include "lib/core/state.h"
#include "lib/dialogs/dialogs_win.h"
#include "lib/dialogs/drawing_kit_win.h"

namespace {

// A process without the driver reads every register as 0: its dialogs would
// show nonsense and store zeros, so they do not open.
bool holds_library() {
    duo::follow_the_adapter();
    if (duo::g_process.driver != 0 && duo::g_shared.initialised == 1) return true;
    duo::g_shared.last_error = duo::kErrNotInitialised;
    return false;
}

} // namespace

extern "C" {

int WINAPI Adjust_VR_System(HWND owner) {
    if (!holds_library()) return -1;
    const INT_PTR result = DialogBoxParamA(duo::library_instance(), "AdjustVRSystem", owner, AdjustVRSystemDlgProc, 0);
    duo::g_shared.last_error = duo::kErrNone;
    return static_cast<int>(result);
}

int WINAPI Diagnosis_VR_System(HWND owner) {
    if (!holds_library()) return -1;
    const INT_PTR result =
        DialogBoxParamA(duo::library_instance(), "DiagnosisVRSystem", owner, DiagnosisVRSystemDlgProc, 0);
    duo::g_shared.last_error = duo::kErrNone;
    return static_cast<int>(result);
}

} // extern "C"
