// The library's exports the tool calls, imported by ordinal (see
// tool/CMakeLists.txt: the import library names no export).
#pragma once
#include <windows.h>

extern "C" {
__declspec(dllimport) int WINAPI Init_VR_System(HWND host);
__declspec(dllimport) int WINAPI Enable_VR_System(HWND skip, int frequency);
__declspec(dllimport) void WINAPI Disable_VR_System(HWND skip);
__declspec(dllimport) int WINAPI Close_VR_System(HWND skip);
__declspec(dllimport) int WINAPI Query_VR_System(int code, int index);
__declspec(dllimport) int WINAPI Set_VR_System_Frequency(int frequency);
__declspec(dllimport) int WINAPI Adjust_VR_System(HWND owner);
__declspec(dllimport) int WINAPI Diagnosis_VR_System(HWND owner);
__declspec(dllimport) int WINAPI Resume_VR_System();
__declspec(dllimport) void WINAPI SwitchGlasses();
}
