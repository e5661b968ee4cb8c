// The library's two dialogs: their procedures are exported beside the
// functions that show them.
#pragma once
#include <windows.h>

extern "C" {
INT_PTR CALLBACK AdjustVRSystemDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK DiagnosisVRSystemDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
int WINAPI Adjust_VR_System(HWND owner);
int WINAPI Diagnosis_VR_System(HWND owner);
}
