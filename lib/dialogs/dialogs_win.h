// The library's two dialogs: their procedures are exported beside the
// functions that show them.
#pragma once
#include <windows.h>

// Adjust_VR_System, Diagnosis_VR_System and the two dialog procedures.
#include "lib/core/public_api_win.h"
