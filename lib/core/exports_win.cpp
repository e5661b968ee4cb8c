// The library's exported entry points; ordinals are fixed in duoscope.def.
#include <windows.h>

#include "lib/core/frequency.h"
#include "lib/core/init_close.h"
#include "lib/core/query.h"
#include "lib/core/stereo.h"

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
