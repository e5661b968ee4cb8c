/*
 * duoscope.h - the programming interface of duoscope.dll.
 *
 * duoscope.dll switches the display adapter into interlaced stereo scanning
 * at 75..120 Hz, so that a picture drawn line-interleaved (one eye's view on
 * the even screen lines, the other's on the odd lines) is seen in depth
 * through LCD shutter glasses.
 *
 * C (C89) and C++. Every export uses the stdcall convention (WINAPI) and
 * takes and returns 32-bit integers or window handles. The exports are bound
 * by ordinal: link with the import library of the SDK (libduoscope.a for
 * mingw-w64, lib/i686 or lib/x86_64) or with one made from duoscope.def.
 * docs/api.md is the reference.
 */
#ifndef DUOSCOPE_H
#define DUOSCOPE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Clients import the exports; the library itself defines DUOSCOPE_API as
   nothing before including this header. */
#ifndef DUOSCOPE_API
#define DUOSCOPE_API __declspec(dllimport)
#endif

/* The result type of the two exported dialog procedures: INT_PTR where the
   system headers know it, BOOL (the same 32 bits) with older 32-bit ones. */
#if defined(_WIN64) || defined(__MINGW32__) || (defined(_MSC_VER) && _MSC_VER >= 1300)
#define DUO_DLGRESULT INT_PTR
#else
#define DUO_DLGRESULT BOOL
#endif

/* ------------------------------------------------------------------------
 * Ordinals of the fifteen exports (for GetProcAddress(module,
 * MAKEINTRESOURCE(n)) and for writing import definitions).
 */
#define DUO_ORD_INIT_VR_SYSTEM              1
#define DUO_ORD_ENABLE_VR_SYSTEM            2
#define DUO_ORD_DISABLE_VR_SYSTEM           3
#define DUO_ORD_CLOSE_VR_SYSTEM             4
#define DUO_ORD_QUERY_VR_SYSTEM             5
#define DUO_ORD_SET_VR_SYSTEM_FREQUENCY     6
#define DUO_ORD_ADJUST_VR_SYSTEM            7
#define DUO_ORD_DIAGNOSIS_VR_SYSTEM         8
#define DUO_ORD_RESUME_VR_SYSTEM            9
#define DUO_ORD_SET_VR_SYSTEM               10
#define DUO_ORD_ADJUSTVRSYSTEMDLGPROC       11
#define DUO_ORD_POPUPWNDPROC                12
#define DUO_ORD_DIAGNOSISVRSYSTEMDLGPROC    13
#define DUO_ORD_SET_VR_RESERVED             14
#define DUO_ORD_SWITCHGLASSES               15

/* ------------------------------------------------------------------------
 * Frequency index: 0..9 names the stereo field rate 75 + 5 x index Hz
 * (0 = 75 Hz ... 9 = 120 Hz). DUO_FREQ_DEFAULT, given to Enable_VR_System or
 * Set_VR_System_Frequency, stands for the default frequency index.
 * Enable_VR_System clamps other values into 0..9; Set_VR_System_Frequency
 * refuses them (error 301). Query code 101 answers DUO_FREQ_LINE_DOUBLE
 * instead of an index while the line-double mode is on.
 */
#define DUO_FREQ_MIN            0
#define DUO_FREQ_MAX            9
#define DUO_FREQ_COUNT          10
#define DUO_FREQ_DEFAULT        20
#define DUO_FREQ_LINE_DOUBLE    16
#define DUO_FREQ_HZ(index)      (75 + 5 * (index))
#define DUO_FREQ_INDEX(hz)      (((hz) - 75) / 5)
/* Notification 604's mask: bit i set when frequency index i is available. */
#define DUO_FREQ_AVAILABLE(mask, index) ((((mask) >> (index)) & 1) != 0)

/* Entries of the frequency status table (query code 104): 0..9 belong to
   the frequency indexes, 10..19 carry no meaning. 1 means available. */
#define DUO_STATUS_ENTRIES      20

/* Up to this many processes hold the library at once. */
#define DUO_MAX_CLIENTS         8

/* ------------------------------------------------------------------------
 * Notifications. The library posts (never sends) DUO_WM_NOTIFY, the first
 * user message plus 100 (1124), to the host windows registered with
 * Init_VR_System; wParam is one of the codes below.
 */
#define DUO_WM_NOTIFY               (WM_USER + 100)
/* lParam: mask of available frequencies (DUO_FREQ_AVAILABLE). Posted by a
   successful Init_VR_System to its own host window, and by the frequency
   test dialog (Diagnosis_VR_System) to every host window when it closes. */
#define DUO_N_AVAILABLE             604
/* lParam: the current frequency index. Posted by Enable_VR_System to every
   host window but the one it was given, also when stereo was already on;
   and by Init_VR_System to its own host window when stereo is already on. */
#define DUO_N_STEREO_ON             605
/* lParam: 0. Posted by Disable_VR_System (also from Close_VR_System) to
   every host window but the one it was given, also when stereo was off. */
#define DUO_N_STEREO_OFF            606
/* lParam: the current frequency index (in line-double mode the index the
   mode will return to). Posted by Set_VR_System_Frequency on success and
   by the line-double commands to every host window, the caller's too. */
#define DUO_N_FREQUENCY             607
/* lParam: the default frequency index. Posted as DUO_N_AVAILABLE is. */
#define DUO_N_DEFAULT_FREQUENCY     608

/* ------------------------------------------------------------------------
 * Last error code: one value shared by every process, read with query code
 * DUO_Q_LAST_ERROR. Each export that sets it overwrites the previous value.
 */
#define DUO_ERR_NONE                0   /* no error */
#define DUO_ERR_MODE_REFUSED        100 /* Init: display mode not supported on this chip */
#define DUO_ERR_NO_DRIVER           101 /* Init: no way to the ports: no DUOGATE, and not Windows 95/98/ME */
#define DUO_ERR_UNKNOWN_CHIP        102 /* Init: no supported graphics chip found */
#define DUO_ERR_ALREADY_INITIALISED 103 /* Init: already initialised (the call returns 1) */
#define DUO_ERR_LEFT_INTERLACED     104 /* Init: the adapter runs interlaced timing a program left behind */
#define DUO_ERR_NOT_INITIALISED     201 /* this process does not hold the library */
#define DUO_ERR_STEREO_OFF          300 /* Set_VR_System_Frequency: stereo is off */
#define DUO_ERR_BAD_FREQUENCY       301 /* index outside 0..9, or a frequency without timing or clock */
#define DUO_ERR_UNKNOWN_QUERY       400 /* Query_VR_System: unknown code or index */

/* ------------------------------------------------------------------------
 * Query codes for Query_VR_System(code, index). The index is used by
 * DUO_Q_STATUS only. An unknown code (or a status index outside 0..19)
 * answers -1 with error 400; DUO_Q_LAST_ERROR leaves the error as it is,
 * every other known code sets it to 0.
 */
#define DUO_Q_CHIP                  100 /* chip code, family in the high byte (DUO_CHIP_FAMILY) */
#define DUO_Q_FREQUENCY             101 /* current frequency index, DUO_FREQ_LINE_DOUBLE in line-double mode */
#define DUO_Q_VERSION               102 /* library version in hundredths: 100 is 1.00 */
#define DUO_Q_LAST_ERROR            103 /* the last error code */
#define DUO_Q_STATUS                104 /* frequency status table entry at index 0..19 */
#define DUO_Q_DEFAULT_FREQUENCY     105 /* default frequency index */
#define DUO_Q_PORT_ACCESS           106 /* how this process reaches the adapter: DUO_ACCESS_... */

/* Answers of DUO_Q_PORT_ACCESS. */
#define DUO_ACCESS_NONE             0 /* not at all: Init has not succeeded in this process */
#define DUO_ACCESS_DRIVER           1 /* through the port driver DUOGATE */
#define DUO_ACCESS_OWN_PORTS        2 /* with the library's own IN/OUT (Windows 95/98/ME without DUOGATE) */

/* Chip codes answered by DUO_Q_CHIP: the family in the high byte, the
   model in the low byte; 0 when no chip was recognised. */
#define DUO_CHIP_FAMILY(chip)       (((chip) >> 8) & 0xFF)
#define DUO_FAMILY_TRIDENT          0x01 /* 0x101..0x105 */
#define DUO_FAMILY_S3               0x02 /* 0x201..0x207 */
#define DUO_FAMILY_CIRRUS           0x03 /* 0x301..0x304 */
#define DUO_FAMILY_ATI              0x04 /* 0x401 mach64; 0x402 mach32, not supported */
#define DUO_FAMILY_TSENG            0x05 /* 0x501 ET6000 */

/* ------------------------------------------------------------------------
 * Line-double commands for Set_VR_System and Set_VR_Reserved. 501, with
 * stereo on, switches to the 120 Hz clock and shows every row on two scan
 * lines; 502 goes back to the frequency and timing 501 replaced. Other
 * values do nothing.
 */
#define DUO_LINE_DOUBLE_ON          501
#define DUO_LINE_DOUBLE_OFF         502

/* ------------------------------------------------------------------------
 * The exports, with their ordinals.
 */

/* @1: registers hwndHost for notifications and makes the library usable in
   this process. 1 on success (also when already initialised: error 103);
   0 with error 100, 101 or 102. */
DUOSCOPE_API INT WINAPI Init_VR_System(HWND hwndHost);

/* @2: switches stereo on at nFrequency (0..9, or DUO_FREQ_DEFAULT).
   Returns the index used; 0 with error 201 or 301 when refused.
   hwndSkip (normally the caller's host window) is not notified. */
DUOSCOPE_API INT WINAPI Enable_VR_System(HWND hwndSkip, INT nFrequency);

/* @3: switches stereo off, restoring the desktop timing, and posts 606 to
   every host window but hwndSkip. Error 201 in a process without the
   driver. */
DUOSCOPE_API VOID WINAPI Disable_VR_System(HWND hwndSkip);

/* @4: switches stereo off if on, unregisters this process's host window,
   closes the driver and writes the settings file. 1 when the file was
   written, else 0. */
DUOSCOPE_API INT WINAPI Close_VR_System(HWND hwndSkip);

/* @5: answers a query code (DUO_Q_...), or -1. */
DUOSCOPE_API INT WINAPI Query_VR_System(INT nCode, INT nIndex);

/* @6: changes the stereo frequency while stereo is on. 1 on success; 0 with
   error 201, 300 or 301. */
DUOSCOPE_API INT WINAPI Set_VR_System_Frequency(INT nFrequency);

/* @7: the modal screen adjustment dialog; -1 with error 201 when this
   process does not hold the library. */
DUOSCOPE_API INT WINAPI Adjust_VR_System(HWND hwndOwner);

/* @8: the modal frequency test dialog; -1 with error 201 when this process
   does not hold the library. */
DUOSCOPE_API INT WINAPI Diagnosis_VR_System(HWND hwndOwner);

/* @9: programs the running stereo state again (after something else has
   reset the adapter). Returns 1. */
DUOSCOPE_API INT WINAPI Resume_VR_System(VOID);

/* @10: line-double command (DUO_LINE_DOUBLE_ON or _OFF). Returns 1. */
DUOSCOPE_API INT WINAPI Set_VR_System(INT nCommand);

/* @11: the screen adjustment dialog's procedure; not for calling. */
DUOSCOPE_API DUO_DLGRESULT CALLBACK AdjustVRSystemDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

/* @12: window procedure for a small floating window whose button swaps the
   eyes; register a window class with it to use it. */
DUOSCOPE_API LRESULT CALLBACK PopupWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

/* @13: the frequency test dialog's procedure; not for calling. */
DUOSCOPE_API DUO_DLGRESULT CALLBACK DiagnosisVRSystemDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

/* @14: as Set_VR_System. Returns 1. */
DUOSCOPE_API INT WINAPI Set_VR_Reserved(INT nCommand);

/* @15: swaps the eyes (moves the display start by one line, or back). */
DUOSCOPE_API VOID WINAPI SwitchGlasses(VOID);

#ifdef __cplusplus
}
#endif

#endif /* DUOSCOPE_H */
