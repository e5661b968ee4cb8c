// The library's exported entry points; ordinals are fixed in duoscope.def.
#include <windows.h>

#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/public_api_win.h"
#include "lib/core/query.h"
#include "lib/core/stereo.h"

// What clients are told in include/duoscope.h is what the library does.
static_assert(DUO_WM_NOTIFY == duo::kNotifyMessage);
static_assert(DUO_N_AVAILABLE == duo::kNotifyAvailable && DUO_N_STEREO_ON == duo::kNotifyStereoOn &&
              DUO_N_STEREO_OFF == duo::kNotifyStereoOff && DUO_N_FREQUENCY == duo::kNotifyFrequency &&
              DUO_N_DEFAULT_FREQUENCY == duo::kNotifyDefaultFrequency);
static_assert(DUO_ERR_NONE == duo::kErrNone && DUO_ERR_MODE_REFUSED == duo::kErrModeRefused &&
              DUO_ERR_NO_DRIVER == duo::kErrNoDriver && DUO_ERR_UNKNOWN_CHIP == duo::kErrUnknownChip &&
              DUO_ERR_ALREADY_INITIALISED == duo::kErrAlreadyInitialised &&
              DUO_ERR_LEFT_INTERLACED == duo::kErrAdapterLeftInterlaced &&
              DUO_ERR_NOT_INITIALISED == duo::kErrNotInitialised && DUO_ERR_STEREO_OFF == duo::kErrStereoOff &&
              DUO_ERR_BAD_FREQUENCY == duo::kErrBadFrequency && DUO_ERR_UNKNOWN_QUERY == duo::kErrUnknownQuery);
static_assert(DUO_Q_CHIP == duo::kQueryChip && DUO_Q_FREQUENCY == duo::kQueryFrequency &&
              DUO_Q_VERSION == duo::kQueryVersion && DUO_Q_LAST_ERROR == duo::kQueryLastError &&
              DUO_Q_STATUS == duo::kQueryStatus && DUO_Q_DEFAULT_FREQUENCY == duo::kQueryDefaultFrequency);
static_assert(DUO_FREQ_COUNT == duo::kFrequencyCount && DUO_FREQ_DEFAULT == duo::kDefaultFrequencyArg &&
              DUO_STATUS_ENTRIES == duo::kStatusEntries && DUO_MAX_CLIENTS == duo::kClientSlots &&
              DUO_FREQ_LINE_DOUBLE == duo::kLineDoubleAnswer);
static_assert(DUO_LINE_DOUBLE_ON == duo::kLineDoubleOn && DUO_LINE_DOUBLE_OFF == duo::kLineDoubleOff);

namespace {

duo::WindowHandle handle(HWND window) { return reinterpret_cast<duo::WindowHandle>(window); }

} // namespace

extern "C" {

int WINAPI Init_VR_System(HWND host) { return duo::init_library(handle(host)); }

int WINAPI Enable_VR_System(HWND skip, int frequency) { return duo::enable_stereo(handle(skip), frequency); }

void WINAPI Disable_VR_System(HWND skip) { duo::disable_stereo(handle(skip)); }

int WINAPI Close_VR_System(HWND skip) { return duo::close_library(handle(skip)); }

int WINAPI Query_VR_System(int code, int index) { return duo::query(code, index); }

int WINAPI Set_VR_System_Frequency(int frequency) { return duo::set_frequency(frequency); }

int WINAPI Resume_VR_System() { return duo::resume_stereo(); }

int WINAPI Set_VR_System(int command) { return duo::line_double_command(command); }

int WINAPI Set_VR_Reserved(int command) { return duo::line_double_command(command); }

void WINAPI SwitchGlasses() { duo::switch_glasses(); }

} // extern "C"
