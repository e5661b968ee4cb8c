/*
 * stereo_client.c - a small client of duoscope.dll.
 *
 * Shows a line-interleaved picture: the left eye's view on the even screen
 * lines, the right eye's on the odd ones. A red square is drawn further
 * right for the left eye than for the right one, so through the glasses it
 * stands in front of the screen; a blue bar, shifted the other way, lies
 * behind it. Keys: S switches stereo on and off, Space swaps the eyes, Esc
 * ends. Given a number of seconds on the command line, it switches stereo
 * on by itself, swaps the eyes twice a second and ends after that time.
 * The exit code is 0, or the library's error code when it refused.
 *
 * Build with mingw-w64 from the SDK folder (x86_64: lib/x86_64 and the
 * x86_64-w64-mingw32- compiler):
 *   i686-w64-mingw32-gcc -std=c89 -pedantic -Iinclude
 *       examples/stereo_client/stereo_client.c -Llib/i686 -lduoscope
 *       -mwindows -o stereo_client.exe
 * Run it beside duoscope.dll.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "duoscope.h"

#define SWAP_TIMER 1
#define END_TIMER 2
#define SQUARE_SIZE 120
#define SQUARE_SHIFT 6 /* pixels between the two eyes' squares */
#define BAR_SHIFT 4    /* the other way, between the eyes' bars */

static const char kClassName[] = "DuoStereoClient";

static int g_stereo;     /* 1 while stereo runs, switched on by any client */
static int g_frequency;  /* the frequency index it runs at */
static int g_timed;      /* run by itself for a number of seconds */
static int g_exit_code;  /* the first refusal's error code */

static void show_state(HWND window)
{
    char title[96];
    if (g_stereo)
        sprintf(title, "Stereo client - stereo at %d Hz (S: off, Space: swap eyes)", DUO_FREQ_HZ(g_frequency));
    else
        sprintf(title, "Stereo client - stereo off (S: on)");
    SetWindowTextA(window, title);
}

/* A refusal: kept as the exit code, and told to the user unless running
   by itself. */
static void refused(HWND window, const char *what)
{
    char text[96];
    int error = Query_VR_System(DUO_Q_LAST_ERROR, 0);
    if (g_exit_code == 0) g_exit_code = error != 0 ? error : -1;
    if (g_timed) return;
    sprintf(text, "%s refused, error %d", what, error);
    MessageBoxA(window, text, "Stereo client", MB_ICONEXCLAMATION | MB_OK);
}

static void switch_stereo(HWND window)
{
    if (g_stereo) {
        /* The window is left out of the stereo-off notification. */
        Disable_VR_System(window);
        g_stereo = 0;
    } else {
        int f = Enable_VR_System(window, DUO_FREQ_DEFAULT);
        if (Query_VR_System(DUO_Q_LAST_ERROR, 0) != DUO_ERR_NONE) {
            refused(window, "Stereo");
            return;
        }
        g_stereo = 1;
        g_frequency = f;
    }
    show_state(window);
}

/* One scan line of the picture, for one eye. */
static void draw_line(HDC dc, int y, int width, int height, int right_eye, HBRUSH square, HBRUSH bar)
{
    RECT r;
    int square_left = (width - SQUARE_SIZE) / 2 + (right_eye ? -SQUARE_SHIFT : SQUARE_SHIFT);
    int bar_top = height / 2 - SQUARE_SIZE / 4;
    if (y >= bar_top && y < bar_top + SQUARE_SIZE / 2) {
        r.left = width / 8 + (right_eye ? BAR_SHIFT : -BAR_SHIFT);
        r.right = width - width / 8 + (right_eye ? BAR_SHIFT : -BAR_SHIFT);
        r.top = y;
        r.bottom = y + 1;
        FillRect(dc, &r, bar);
    }
    if (y >= (height - SQUARE_SIZE) / 2 && y < (height + SQUARE_SIZE) / 2) {
        r.left = square_left;
        r.right = square_left + SQUARE_SIZE;
        r.top = y;
        r.bottom = y + 1;
        FillRect(dc, &r, square);
    }
}

static void paint(HWND window)
{
    PAINTSTRUCT ps;
    RECT client;
    POINT origin;
    HBRUSH square, bar;
    int y;
    HDC dc = BeginPaint(window, &ps);
    GetClientRect(window, &client);
    /* The eye of a line follows its screen line, not its window line. */
    origin.x = 0;
    origin.y = 0;
    ClientToScreen(window, &origin);
    FillRect(dc, &client, (HBRUSH)GetStockObject(GRAY_BRUSH));
    square = CreateSolidBrush(RGB(200, 0, 0));
    bar = CreateSolidBrush(RGB(0, 0, 160));
    for (y = 0; y < client.bottom; ++y)
        draw_line(dc, y, client.right, client.bottom, (origin.y + y) & 1, square, bar);
    DeleteObject(bar);
    DeleteObject(square);
    EndPaint(window, &ps);
}

static LRESULT CALLBACK ClientWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case DUO_WM_NOTIFY:
        /* Other clients' changes, and frequency changes. */
        if (wparam == DUO_N_STEREO_ON || wparam == DUO_N_FREQUENCY) {
            g_stereo = 1;
            g_frequency = (int)lparam;
        } else if (wparam == DUO_N_STEREO_OFF) {
            g_stereo = 0;
        }
        show_state(window);
        return 0;
    case WM_KEYDOWN:
        if (wparam == 'S') switch_stereo(window);
        else if (wparam == VK_SPACE && g_stereo) SwitchGlasses();
        else if (wparam == VK_ESCAPE) DestroyWindow(window);
        return 0;
    case WM_TIMER:
        /* The eye swap acts on the adapter also with stereo off. */
        if (wparam != SWAP_TIMER) DestroyWindow(window);
        else if (g_stereo) SwitchGlasses();
        return 0;
    case WM_MOVE:
        InvalidateRect(window, NULL, FALSE);
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, SWAP_TIMER);
        KillTimer(window, END_TIMER);
        /* Close switches stereo off when it is on. */
        Close_VR_System(window);
        PostQuitMessage(g_exit_code);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show)
{
    WNDCLASSA wc;
    MSG msg;
    HWND window;
    long seconds = strtol(command_line, NULL, 10);
    (void)previous;
    g_timed = seconds > 0;
    if (seconds > 3600) seconds = 3600;

    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = ClientWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return -1;
    window = CreateWindowA(kClassName, "Stereo client", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                           320, NULL, NULL, instance, NULL);
    if (!window) return -1;
    ShowWindow(window, show);
    UpdateWindow(window);

    /* The window is registered for notifications even if Init fails. 1
       also when another client initialised the library first. */
    if (!Init_VR_System(window)) {
        refused(window, "Duoscope");
        DestroyWindow(window);
    } else {
        show_state(window);
        if (g_timed) {
            switch_stereo(window);
            SetTimer(window, SWAP_TIMER, 500, NULL);
            SetTimer(window, END_TIMER, (UINT)(seconds * 1000), NULL);
        }
    }
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    UnregisterClassA(kClassName, instance);
    return g_exit_code;
}
