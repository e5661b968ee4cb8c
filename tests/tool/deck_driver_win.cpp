#include "tests/tool/deck_driver_win.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace duo::deck_test {

std::string bin_dir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/"));
}

std::string fresh_dir(const std::string& name) {
    const std::string root = bin_dir() + "\\decktest";
    CreateDirectoryA(root.c_str(), nullptr);
    const std::string dir = root + "\\" + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    DeleteFileA((dir + "\\DuoDeck.ini").c_str());
    DeleteFileA((dir + "\\duoscope.ini").c_str());
    return dir;
}

bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string read_file(const std::string& path) {
    std::string out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[256];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

void write_file(const std::string& path, const std::string& bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > timeout_ms) return false;
        Sleep(20);
    }
}

namespace {

struct Search {
    DWORD pid;
    const char* cls;
    const char* title;
    HWND owner;
    bool match_owner;
    HWND found;
};

BOOL CALLBACK match_window(HWND hwnd, LPARAM lparam) {
    auto* s = reinterpret_cast<Search*>(lparam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid) return TRUE;
    char cls[64] = {}, title[128] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    if (lstrcmpiA(cls, s->cls) != 0) return TRUE;
    if (s->title && lstrcmpA(title, s->title) != 0) return TRUE;
    if (s->match_owner && GetWindow(hwnd, GW_OWNER) != s->owner) return TRUE;
    s->found = hwnd;
    return FALSE;
}

HWND search(Search s, DWORD timeout_ms) {
    wait_until(
        [&] {
            s.found = nullptr;
            EnumWindows(match_window, reinterpret_cast<LPARAM>(&s));
            return s.found != nullptr;
        },
        timeout_ms);
    return s.found;
}

void send_mouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

void send_key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

} // namespace

HWND find_window(DWORD pid, const char* cls, const char* title, DWORD timeout_ms) {
    return search({pid, cls, title, nullptr, false, nullptr}, timeout_ms);
}

HWND find_dialog(DWORD pid, HWND owner, DWORD timeout_ms) {
    return search({pid, "#32770", nullptr, owner, true, nullptr}, timeout_ms);
}

void click_screen(int x, int y, bool double_click) {
    SetCursorPos(x, y);
    Sleep(30);
    for (int i = 0; i < (double_click ? 2 : 1); ++i) {
        send_mouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(10);
        send_mouse(MOUSEEVENTF_LEFTUP);
        Sleep(10);
    }
    Sleep(100);
}

void click_window(HWND window, bool double_click) {
    const RECT r = window_rect(window);
    click_screen((r.left + r.right) / 2, (r.top + r.bottom) / 2, double_click);
}

void click_client(HWND window, int x, int y, bool double_click) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    click_screen(p.x, p.y, double_click);
}

void press_ctrl_alt(char letter) {
    send_key(VK_CONTROL, false);
    send_key(VK_MENU, false);
    send_key(static_cast<WORD>(letter), false);
    Sleep(20);
    send_key(static_cast<WORD>(letter), true);
    send_key(VK_MENU, true);
    send_key(VK_CONTROL, true);
    Sleep(150);
}

RECT window_rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::string monitor_view() {
    testing::ChildProcess sim("duogate-sim.exe");
    std::string view;
    for (;;) {
        const std::string line = sim.read_line(10000);
        if (line == "<eof>" || line == "<timeout>") break;
        if (line.rfind("monitor:", 0) == 0) view = line;
    }
    sim.wait();
    return view;
}

void reset_adapter() {
    testing::ChildProcess sim("duogate-sim.exe --reset");
    while (true) {
        const std::string line = sim.read_line(10000);
        if (line == "<eof>" || line == "<timeout>") break;
    }
    sim.wait();
}

unsigned Pixels::background() const {
    std::map<unsigned, int> count;
    for (unsigned c : rgb) ++count[c];
    unsigned best = 0;
    int most = -1;
    for (const auto& [colour, n] : count)
        if (n > most) best = colour, most = n;
    return best;
}

int Pixels::count_other(int left, int top, int right, int bottom, unsigned colour) const {
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, width); ++x) n += at(x, y) != colour ? 1 : 0;
    return n;
}

Pixels capture_client(HWND window) {
    Pixels out;
    RECT r;
    GetClientRect(window, &r);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    out.width = r.right;
    out.height = r.bottom;
    if (out.width <= 0 || out.height <= 0) return out;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height; // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, out.width, out.height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* px = static_cast<const unsigned*>(bits);
    out.rgb.assign(px, px + static_cast<size_t>(out.width) * out.height);
    for (unsigned& c : out.rgb) c &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

bool screenshot(HWND window, const std::string& name) {
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window != nullptr) r = window_rect(window);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD row = static_cast<DWORD>((w * 3 + 3) & ~3);
    const DWORD image = row * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + image;
    const std::string dir = bin_dir() + "\\screenshots";
    CreateDirectoryA(dir.c_str(), nullptr);
    bool ok = false;
    if (FILE* f = std::fopen((dir + "\\" + name + ".bmp").c_str(), "wb")) {
        ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, 1, image, f) == image;
        std::fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

Deck::Deck(const std::string& arguments, const std::string& dir, bool expect_bar) {
    const std::string command = "\"" + bin_dir() + "\\duodeck.exe\"" + (arguments.empty() ? "" : " " + arguments);
    process = std::make_unique<testing::ChildProcess>(command, dir.c_str());
    if (!expect_bar || !process->started()) return;
    bar = find_window(process->id(), "DUODECK", "DUO DECK", 10000);
    // Ready once its start-up is done and its loop waits for input.
    if (HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process->id())) {
        WaitForInputIdle(h, 10000);
        CloseHandle(h);
    }
    Sleep(100);
}

Deck::~Deck() {
    // Ends the program if a test left it running: first politely.
    if (process && process->started() && process->wait(0) == STILL_ACTIVE && bar != nullptr && IsWindow(bar))
        PostMessageA(bar, WM_CLOSE, 0, 0);
}

DWORD Deck::exit_by_button() {
    press(108);
    return process->wait(10000);
}

namespace {

struct Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
};

std::string probe_name(DWORD pid, const char* what) {
    return "DuoGdiProbe." + std::to_string(pid) + "." + what;
}

// Runs LoadLibraryA(dll in the program folder) on a new thread of the
// process.
bool load_into(DWORD pid, const char* dll) {
    Handle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
    if (!process.h) return false;
    const std::string path = bin_dir() + "\\" + dll;
    void* remote = VirtualAllocEx(process.h, nullptr, path.size() + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return false;
    bool loaded = false;
    if (WriteProcessMemory(process.h, remote, path.c_str(), path.size() + 1, nullptr)) {
        // kernel32 lies at the same address in every process of a session.
        auto* load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
        Handle thread(CreateRemoteThread(process.h, nullptr, 0, load, remote, 0, nullptr));
        DWORD module = 0;
        loaded = thread.h && WaitForSingleObject(thread.h, 5000) == WAIT_OBJECT_0 &&
                 GetExitCodeThread(thread.h, &module) && module != 0;
    }
    VirtualFreeEx(process.h, remote, 0, MEM_RELEASE);
    return loaded;
}

} // namespace

int remote_gdi_objects(DWORD pid) {
    Handle ask(OpenEventA(EVENT_MODIFY_STATE, FALSE, probe_name(pid, "ask").c_str()));
    if (!ask.h) {
        if (!load_into(pid, "gdi_probe.dll")) return -1;
        ask.h = OpenEventA(EVENT_MODIFY_STATE, FALSE, probe_name(pid, "ask").c_str());
    }
    Handle done(OpenEventA(SYNCHRONIZE, FALSE, probe_name(pid, "done").c_str()));
    Handle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, probe_name(pid, "count").c_str()));
    if (!ask.h || !done.h || !mapping.h) return -1;
    const auto* count = static_cast<const volatile LONG*>(MapViewOfFile(mapping.h, FILE_MAP_READ, 0, 0, sizeof(LONG)));
    if (!count) return -1;
    int result = -1;
    if (SetEvent(ask.h) && WaitForSingleObject(done.h, 5000) == WAIT_OBJECT_0) result = *count;
    UnmapViewOfFile(const_cast<LONG*>(count));
    return result;
}

HANDLE start_with_faults(const std::string& dir, const char* faults, DWORD* pid) {
    const std::string command = "\"" + bin_dir() + "\\duodeck.exe\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    SetEnvironmentVariableA("DUO_DECK_FAULTS", faults);
    const BOOL started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, dir.c_str(), &si, &pi);
    SetEnvironmentVariableA("DUO_DECK_FAULTS", nullptr);
    if (!started) return nullptr;
    if (!load_into(pi.dwProcessId, "deck_faults.dll")) {
        TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return nullptr;
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    *pid = pi.dwProcessId;
    return pi.hProcess;
}

} // namespace duo::deck_test
