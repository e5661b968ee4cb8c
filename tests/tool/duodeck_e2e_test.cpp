// duodeck.exe end to end under Wine: real windows, real messages, synthetic
// mouse and keyboard input, the simulated adapter behind the library.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "sim/adapter.h"
#include "tests/tool/deck_driver_win.h"
#include "tool/dialog_text.h"
#include "tool/res/resource_ids.h"

namespace duo::deck_test {
namespace {

constexpr int kEnable = 100, kDisable = 101, kSelectFrequency = 102, kInformation = 103, kAdjust = 104, kTest = 105,
              kResume = 106, kToggle = 107, kExit = 108, kSetup = 109;
// Buttons of the library's own dialogs that close them.
constexpr int kAdjustCancel = 1003, kDiagnosisClose = 1005;
// The bar's dialogs' buttons.
constexpr int kFreqOk = 110, kFreqCancel = 111, kSettingsOk = 114, kSettingsCancel = 115;
constexpr char kErrorCaption[] = "Err! - DUO DECK";

// An empty name removes the variable: the library then finds no driver.
void use_adapter(const char* name) { SetEnvironmentVariableA("DUOGATE_ADAPTER", *name ? name : nullptr); }

struct Position {
    int layout, left, top, right, bottom;
};

std::string encode(const Position& p) {
    std::string s(20, '\0');
    const int v[5] = {p.layout, p.left, p.top, p.right, p.bottom};
    std::memcpy(s.data(), v, sizeof v);
    return s;
}

bool decode(const std::string& s, Position& p) {
    if (s.size() != 20) return false;
    std::memcpy(&p, s.data(), 20);
    return true;
}

bool enabled(HWND w) { return IsWindowEnabled(w) != FALSE; }

// The field rate of an interlaced monitor view in Hz, or 0.
double field_rate(const std::string& view) {
    const std::size_t at = view.find("field rate ");
    return at == std::string::npos ? 0.0 : std::strtod(view.c_str() + at + 11, nullptr);
}

// The state of the seven buttons that follow stereo mode.
bool shows_stereo_on(const Deck& d) {
    return !enabled(d.button(kEnable)) && enabled(d.button(kDisable)) && enabled(d.button(kSelectFrequency)) &&
           enabled(d.button(kInformation)) && enabled(d.button(kAdjust)) && enabled(d.button(kResume)) &&
           enabled(d.button(kToggle));
}

bool shows_stereo_off(const Deck& d) {
    return enabled(d.button(kEnable)) && !enabled(d.button(kDisable)) && !enabled(d.button(kSelectFrequency)) &&
           !enabled(d.button(kInformation)) && !enabled(d.button(kAdjust)) && !enabled(d.button(kResume)) &&
           !enabled(d.button(kToggle));
}

// A second library client that registers a host window of its own and so
// is told of every change the bar makes.
struct Observer {
    testing::ChildProcess client;
    // dir: its working directory, where the library writes its settings
    // file when this client closes it.
    explicit Observer(const std::string& dir = bin_dir()) : client("\"" + bin_dir() + "\\duoclient.exe\"", dir.c_str()) {
        EXPECT_EQ(client.read_line(), "loaded");
        const std::string init = client.ask("init own");
        EXPECT_EQ(init.substr(0, 1), "1") << init;
    }
    ~Observer() { client.send_line("exit"); }
    // Notifications received since the last call, e.g. "605:5 607:7".
    std::string messages() { return client.ask("messages"); }
    bool got(const std::string& item) {
        std::string all;
        return wait_until([&] { return (all += " " + messages()).find(item) != std::string::npos; });
    }
    int query(int code, int index = 0) {
        return std::atoi(client.ask("query " + std::to_string(code) + " " + std::to_string(index)).c_str());
    }
    // The frequency indexes of the bar's list (3..9) the library has available.
    std::vector<int> listed_available() {
        std::vector<int> out;
        for (int i = tool::kFirstListedFrequency; i <= tool::kLastListedFrequency; ++i)
            if (query(104, i) == 1) out.push_back(i);
        return out;
    }
};

// The frequency dialog, opened from the bar and painted.
HWND open_frequency_dialog(const Deck& d) {
    d.press(kSelectFrequency);
    HWND dialog = find_dialog(d.process->id(), d.bar);
    if (dialog != nullptr) Sleep(300);
    return dialog;
}

bool close_dialog(HWND dialog, int button) {
    click_window(GetDlgItem(dialog, button));
    return wait_until([&] { return !IsWindow(dialog); });
}

void click_frequency(HWND freq, int index) {
    const tool::Point label = tool::frequency_label_position(index);
    click_client(freq, label.x + 20, label.y + 7);
}

// The frequency the dialog marks: the list cell whose marker place holds
// the most drawn pixels, or -1 when none holds a marker.
int marked_frequency(HWND freq) {
    const Pixels p = capture_client(freq);
    const unsigned background = p.background();
    int marked = -1, most = 20;
    for (int i = tool::kFirstListedFrequency; i <= tool::kLastListedFrequency; ++i) {
        const tool::Point m = tool::frequency_marker_position(i);
        const int drawn = p.count_other(m.x, m.y, m.x + 20, m.y + 20, background);
        if (drawn > most) marked = i, most = drawn;
    }
    return marked;
}

// The frequency named after "Default:": the list label whose pixels its
// text repeats (leading blank aside), or -1 when it repeats none.
int named_default(HWND freq) {
    const Pixels p = capture_client(freq);
    for (int i = tool::kFirstListedFrequency; i <= tool::kLastListedFrequency; ++i) {
        std::string text = tool::default_frequency_text(i);
        const int lead = text[0] == ' ' ? tool::glyph_for(' ').width : 0;
        if (lead != 0) text.erase(0, 1);
        const int width = tool::bitmap_text_width(text);
        const tool::Point label = tool::frequency_label_position(i);
        bool same = true;
        for (int y = 0; y < tool::kGlyphHeight && same; ++y)
            for (int x = 0; x < width && same; ++x) same = p.at(280 + lead + x, 150 + y) == p.at(label.x + x, label.y + y);
        if (same) return i;
    }
    return -1;
}

// The text of the bar's error box, once it is shown; "" when none comes.
std::string error_box_text(DWORD pid, HWND* box_out = nullptr) {
    HWND box = find_window(pid, "#32770", kErrorCaption);
    if (box == nullptr) return "";
    char text[128] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    if (box_out) *box_out = box;
    return text;
}

void dismiss(HWND box) {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    wait_until([&] { return !IsWindow(box); });
}

RECT child_rect(HWND bar, int id) {
    RECT r = window_rect(GetDlgItem(bar, id));
    MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class Duodeck : public ::testing::Test {
protected:
    void SetUp() override {
        use_adapter("s3-765");
        reset_adapter();
        off_view_ = monitor_view();
    }
    // The adapter programmed for stereo: the monitor shows something other
    // than the desktop mode of a freshly reset adapter.
    bool stereo_programmed() { return monitor_view() != off_view_; }
    std::string off_view_;
};

TEST_F(Duodeck, FirstStartWithoutPositionFile) {
    const std::string dir = fresh_dir("first_start");
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    const RECT r = window_rect(d.bar);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 410);
    EXPECT_EQ(r.bottom - r.top, 50);
    EXPECT_TRUE(IsWindowVisible(d.bar));
    EXPECT_TRUE(GetWindowLongA(d.bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The creation row puts Test before Resume.
    EXPECT_EQ(child_rect(d.bar, kTest).left, 223);
    EXPECT_EQ(child_rect(d.bar, kResume).left, 259);
    EXPECT_TRUE(shows_stereo_off(d));
    EXPECT_TRUE(enabled(d.button(kTest)) && enabled(d.button(kSetup)) && enabled(d.button(kExit)));
    // Nothing switched stereo on by itself.
    EXPECT_FALSE(stereo_programmed());
    screenshot(d.bar, "bar_one_row_stereo_off");
    EXPECT_EQ(d.exit_by_button(), 0u);
    Position p{};
    ASSERT_TRUE(decode(read_file(dir + "\\DuoDeck.ini"), p));
    EXPECT_EQ(p.layout, 1019);
    EXPECT_EQ(p.left, 0);
    EXPECT_EQ(p.top, 0);
    EXPECT_EQ(p.right, 410);
    EXPECT_EQ(p.bottom, 50);
}

TEST_F(Duodeck, StartsWhereThePositionFileSays) {
    const std::string dir = fresh_dir("position_file");
    write_file(dir + "\\DuoDeck.ini", encode({1021, 120, 140, 0, 0}));
    {
        Deck d("", dir);
        ASSERT_NE(d.bar, nullptr);
        ASSERT_TRUE(wait_until([&] { return window_rect(d.bar).right - window_rect(d.bar).left == 230; }));
        const RECT r = window_rect(d.bar);
        EXPECT_EQ(r.left, 120);
        EXPECT_EQ(r.top, 140);
        EXPECT_EQ(r.bottom - r.top, 86);
        // Laid out: Resume now stands before Test, in the second row.
        EXPECT_EQ(child_rect(d.bar, kResume).left, 43);
        EXPECT_EQ(child_rect(d.bar, kResume).top, 43);
        EXPECT_EQ(child_rect(d.bar, kTest).left, 79);
        EXPECT_EQ(d.exit_by_button(), 0u);
    }
    Position p{};
    ASSERT_TRUE(decode(read_file(dir + "\\DuoDeck.ini"), p));
    EXPECT_EQ(p.layout, 1021);
    EXPECT_EQ(p.left, 120);
    EXPECT_EQ(p.right, 350);
    EXPECT_EQ(p.bottom, 226);
}

// The bar starts where and as it ended, also with a position file next to
// the program: the file is read where it is written.
TEST_F(Duodeck, PositionFileIsReadWhereItIsWritten) {
    const std::string dir = fresh_dir("position_place");
    const std::string beside_program = bin_dir() + "\\DuoDeck.ini";
    write_file(beside_program, encode({1022, 300, 200, 0, 0}));
    struct Remove {
        std::string path;
        ~Remove() { DeleteFileA(path.c_str()); }
    } remove{beside_program};
    RECT ended{};
    {
        Deck d("", dir);
        ASSERT_NE(d.bar, nullptr);
        click_client(d.bar, 20, 20, true); // one row to one column
        ASSERT_TRUE(wait_until([&] { return window_rect(d.bar).bottom - window_rect(d.bar).top == 410; }));
        ended = window_rect(d.bar);
        EXPECT_EQ(d.exit_by_button(), 0u);
    }
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    ASSERT_TRUE(wait_until([&] { return window_rect(d.bar).bottom - window_rect(d.bar).top == 410; }));
    const RECT r = window_rect(d.bar);
    EXPECT_EQ(r.left, ended.left);
    EXPECT_EQ(r.top, ended.top);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(d.exit_by_button(), 0u);
}

TEST_F(Duodeck, DamagedOrShortPositionFileNeverHurts) {
    const std::string dir = fresh_dir("damaged_file");
    // A layout code of no arrangement: one row at the stored place.
    write_file(dir + "\\DuoDeck.ini", encode({77777, 30, 40, 1, 1}));
    {
        Deck d("", dir);
        ASSERT_NE(d.bar, nullptr);
        const RECT r = window_rect(d.bar);
        EXPECT_EQ(r.left, 30);
        EXPECT_EQ(r.top, 40);
        EXPECT_EQ(r.right - r.left, 410);
        EXPECT_EQ(r.bottom - r.top, 50);
        EXPECT_EQ(d.exit_by_button(), 0u);
    }
    Position p{};
    ASSERT_TRUE(decode(read_file(dir + "\\DuoDeck.ini"), p));
    EXPECT_EQ(p.layout, 1019);
    // Stored on a bigger screen, or damaged: the bar is moved onto this
    // one, to the nearest place where all of it shows.
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        Position stored;
        int left, top;
    } off_screen[] = {{{1022, 5000, 70, 0, 0}, sw - 86, 70},
                      {{1019, -3000, sh - 20, 0, 0}, 0, sh - 50},
                      {{1020, 0x7FFFFFF0, -0x7FFFFFF0, 0, 0}, sw - 50, 0}};
    for (const auto& c : off_screen) {
        write_file(dir + "\\DuoDeck.ini", encode(c.stored));
        Deck d("", dir);
        ASSERT_NE(d.bar, nullptr);
        const RECT r = window_rect(d.bar);
        EXPECT_EQ(r.left, c.left) << c.stored.left;
        EXPECT_EQ(r.top, c.top) << c.stored.top;
        EXPECT_EQ(d.exit_by_button(), 0u);
    }
    // Two bytes only: the layout's low bytes, the position stays default.
    write_file(dir + "\\DuoDeck.ini", std::string("\xFE\x03", 2));
    {
        Deck d("", dir);
        ASSERT_NE(d.bar, nullptr);
        const RECT r = window_rect(d.bar);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right - r.left, 86); // two columns
        EXPECT_EQ(d.exit_by_button(), 0u);
    }
}

TEST_F(Duodeck, EveryButtonInBothStates) {
    const std::string dir = fresh_dir("buttons");
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    const DWORD pid = d.process->id();

    // Stereo off: the disabled buttons do nothing when clicked.
    for (int id : {kDisable, kSelectFrequency, kInformation, kAdjust, kResume, kToggle}) d.press(id);
    EXPECT_EQ(find_dialog(pid, d.bar, 300), nullptr);
    EXPECT_FALSE(stereo_programmed());
    EXPECT_TRUE(shows_stereo_off(d));

    // Setup and Test work in both states.
    d.press(kSetup);
    HWND settings = find_dialog(pid, d.bar);
    ASSERT_NE(settings, nullptr);
    click_window(GetDlgItem(settings, 115)); // Cancel
    EXPECT_TRUE(wait_until([&] { return !IsWindow(settings); }));
    d.press(kTest);
    HWND diagnosis = find_dialog(pid, d.bar);
    ASSERT_NE(diagnosis, nullptr);
    PostMessageA(diagnosis, WM_COMMAND, kDiagnosisClose, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(diagnosis); }));

    // Enable: other host windows are told, the bar that asked is not.
    Observer observer;
    d.press(kEnable);
    ASSERT_TRUE(wait_until([&] { return shows_stereo_on(d); }));
    EXPECT_TRUE(observer.got("605:"));
    const std::string on = monitor_view();
    EXPECT_NE(on.find("interlaced"), std::string::npos) << on;
    SetCursorPos(700, 400); // away from the bar: no hint in the picture
    Sleep(300);
    screenshot(d.bar, "bar_one_row_stereo_on");

    // Toggle glasses moves the display start by one line.
    d.press(kToggle);
    EXPECT_NE(monitor_view(), on);
    d.press(kToggle);
    EXPECT_EQ(monitor_view(), on);

    // Resume re-applies the same stereo timing.
    d.press(kResume);
    EXPECT_EQ(monitor_view(), on);

    // Select frequency: the dialog, a click on 110 Hz, OK.
    d.press(kSelectFrequency);
    HWND freq = find_dialog(pid, d.bar);
    ASSERT_NE(freq, nullptr);
    char caption[64] = {};
    GetWindowTextA(freq, caption, sizeof caption);
    EXPECT_STREQ(caption, "Frequency Select ");
    Sleep(300);
    screenshot(freq, "dialog_frequency_select");
    click_client(freq, 60, 157); // the 110 Hz cell
    click_window(GetDlgItem(freq, 110));
    EXPECT_TRUE(wait_until([&] { return !IsWindow(freq); }));
    EXPECT_TRUE(observer.got("607:7"));
    EXPECT_EQ(observer.query(101), 7);
    // Faster than the default 100 Hz it started with.
    const std::string at110 = monitor_view();
    EXPECT_GT(field_rate(at110), field_rate(on) + 4) << at110;
    // Cancel after a click keeps the frequency.
    d.press(kSelectFrequency);
    freq = find_dialog(pid, d.bar);
    ASSERT_NE(freq, nullptr);
    click_client(freq, 60, 37); // 90 Hz
    click_window(GetDlgItem(freq, 111));
    EXPECT_TRUE(wait_until([&] { return !IsWindow(freq); }));
    EXPECT_EQ(observer.query(101), 7);

    // Information box.
    d.press(kInformation);
    HWND info = find_dialog(pid, d.bar);
    ASSERT_NE(info, nullptr);
    const RECT ir = window_rect(info);
    EXPECT_EQ(ir.left, GetSystemMetrics(SM_CXSCREEN) / 4);
    EXPECT_EQ(ir.right - ir.left, GetSystemMetrics(SM_CXSCREEN) / 2);
    Sleep(300);
    screenshot(info, "dialog_information");
    click_window(GetDlgItem(info, 113));
    EXPECT_TRUE(wait_until([&] { return !IsWindow(info); }));

    // Adjust screen: the library's dialog, owned by the bar.
    d.press(kAdjust);
    HWND adjust = find_dialog(pid, d.bar);
    ASSERT_NE(adjust, nullptr);
    PostMessageA(adjust, WM_COMMAND, kAdjustCancel, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(adjust); }));

    // Disable.
    d.press(kDisable);
    ASSERT_TRUE(wait_until([&] { return shows_stereo_off(d); }));
    EXPECT_TRUE(observer.got("606:0"));
    EXPECT_EQ(monitor_view(), off_view_);
    EXPECT_EQ(d.exit_by_button(), 0u);
}

// The bar runs for days: painting, hints, re-arranging, stereo on and off
// and its dialogs must give back every GDI object they take.
TEST_F(Duodeck, GdiObjectsDoNotGrowAtRestOrInUse) {
    const std::string dir = fresh_dir("gdi");
    SetCursorPos(700, 500);
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    const DWORD pid = d.process->id();
    HWND hint = find_window(pid, "HINT");
    ASSERT_NE(hint, nullptr);
    const auto use = [&] {
        for (int id : {kExit, kSetup, kEnable}) {
            const RECT r = window_rect(d.button(id));
            SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            EXPECT_TRUE(wait_until([&] { return IsWindowVisible(hint) != FALSE; }, 2000)) << id;
        }
        SetCursorPos(700, 500);
        EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(hint); }, 1000));
        for (int i = 0; i < 4; ++i) {
            click_client(d.bar, 20, 20, true);
            Sleep(150);
        }
        d.press(kEnable);
        EXPECT_TRUE(wait_until([&] { return shows_stereo_on(d); }));
        for (const auto& [button, cancel] : {std::pair{kSelectFrequency, 111}, std::pair{kSetup, 115}}) {
            d.press(button);
            HWND dialog = find_dialog(pid, d.bar);
            EXPECT_NE(dialog, nullptr) << button;
            Sleep(200);
            if (dialog) click_window(GetDlgItem(dialog, cancel));
            EXPECT_TRUE(wait_until([&] { return !IsWindow(dialog); })) << button;
        }
        d.press(kDisable);
        EXPECT_TRUE(wait_until([&] { return shows_stereo_off(d); }));
        RedrawWindow(d.bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(300);
    };
    // A first round may create what the program keeps for its whole life.
    use();
    const int settled = remote_gdi_objects(pid);
    ASSERT_GT(settled, 0);
    Sleep(3000);
    EXPECT_EQ(remote_gdi_objects(pid), settled) << "at rest";
    for (int round = 0; round < 3; ++round) use();
    EXPECT_EQ(remote_gdi_objects(pid), settled) << "after three rounds of use";
    EXPECT_EQ(d.exit_by_button(), 0u);
}

TEST_F(Duodeck, EnableSwitchAndHiddenMode) {
    const std::string dir = fresh_dir("switches");
    {
        Deck d("/E/H", dir);
        ASSERT_NE(d.bar, nullptr);
        EXPECT_TRUE(wait_until([&] { return stereo_programmed(); }, 8000));
        EXPECT_FALSE(IsWindowVisible(d.bar));
        EXPECT_FALSE(IsWindowVisible(d.button(kEnable)));
        // Hidden, it ends only from outside.
        PostMessageA(d.bar, WM_CLOSE, 0, 0);
        EXPECT_EQ(d.process->wait(10000), 0u);
    }
    // Closing the library switched stereo off again.
    EXPECT_EQ(monitor_view(), off_view_);
    EXPECT_TRUE(file_exists(dir + "\\DuoDeck.ini"));
    {
        // Lower case letters are no switches.
        Deck d("/e /h", dir);
        ASSERT_NE(d.bar, nullptr);
        Sleep(500);
        EXPECT_TRUE(IsWindowVisible(d.bar));
        EXPECT_FALSE(stereo_programmed());
        EXPECT_EQ(d.exit_by_button(), 0u);
    }
}

// The /F: frequency wins over the default the library reports at start-up.
TEST_F(Duodeck, FrequencySwitchChoosesTheEnableFrequency) {
    const std::string dir = fresh_dir("frequency_switch");
    double rates[2] = {};
    int run = 0;
    for (const auto& [arguments, index] : {std::pair{"/F:90 /E", 3}, std::pair{"/F:120 /E", 9}}) {
        Deck d(arguments, dir);
        ASSERT_NE(d.bar, nullptr);
        ASSERT_TRUE(wait_until([&] { return shows_stereo_on(d); }));
        Observer observer;
        EXPECT_EQ(observer.query(101), index) << arguments;
        rates[run++] = field_rate(monitor_view());
        EXPECT_EQ(d.exit_by_button(), 0u);
    }
    EXPECT_GT(rates[0], 0.0);
    EXPECT_GT(rates[1], rates[0] + 20);
    // A value that cannot be chosen leaves the library's default.
    Deck d("/F:85 /E", dir);
    ASSERT_NE(d.bar, nullptr);
    ASSERT_TRUE(wait_until([&] { return shows_stereo_on(d); }));
    Observer observer;
    EXPECT_EQ(observer.query(101), observer.query(105));
    EXPECT_EQ(d.exit_by_button(), 0u);
}

TEST_F(Duodeck, HotKeyTogglesTheGlasses) {
    const std::string dir = fresh_dir("hot_key");
    Deck d("/E", dir);
    ASSERT_NE(d.bar, nullptr);
    ASSERT_TRUE(wait_until([&] { return stereo_programmed(); }, 8000));
    const std::string on = monitor_view();
    press_ctrl_alt('T');
    const std::string swapped = monitor_view();
    EXPECT_NE(swapped, on);
    press_ctrl_alt('T');
    EXPECT_EQ(monitor_view(), on);

    // The settings dialog's "disable" releases the hot key.
    d.press(kSetup);
    HWND settings = find_dialog(d.process->id(), d.bar);
    ASSERT_NE(settings, nullptr);
    RECT c;
    GetClientRect(settings, &c);
    click_client(settings, 3 * c.right / 5 + 20 + 10, c.bottom / 3 + 4 * c.bottom / 10 + 5); // "disable"
    click_window(GetDlgItem(settings, 114));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(settings); }));
    press_ctrl_alt('T');
    EXPECT_EQ(monitor_view(), on);
    EXPECT_EQ(d.exit_by_button(), 0u);
}

TEST_F(Duodeck, HotKeyTakenByAnotherProgramWarns) {
    const std::string dir_a = fresh_dir("hot_key_a"), dir_b = fresh_dir("hot_key_b");
    write_file(dir_b + "\\DuoDeck.ini", encode({1019, 0, 300, 0, 0}));
    Deck a("", dir_a);
    ASSERT_NE(a.bar, nullptr);
    Deck b("", dir_b);
    ASSERT_NE(b.bar, nullptr);
    // Both choose Ctrl+Alt+O; the second cannot have it.
    for (Deck* d : {&a, &b}) {
        d->press(kSetup);
        HWND settings = find_dialog(d->process->id(), d->bar);
        ASSERT_NE(settings, nullptr);
        RECT c;
        GetClientRect(settings, &c);
        click_client(settings, 3 * c.right / 5 + 30, c.bottom / 3 + 3 * c.bottom / 10 + 5); // "Alt+Ctl+O"
        click_window(GetDlgItem(settings, 114));
    }
    HWND warning = find_window(b.process->id(), "#32770", "Warning");
    ASSERT_NE(warning, nullptr);
    char message[64] = {};
    GetDlgItemTextA(warning, 0xFFFF, message, sizeof message);
    EXPECT_STREQ(message, "RegisterHotKey() fails.");
    PostMessageA(warning, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(find_window(a.process->id(), "#32770", "Warning", 300), nullptr);
    EXPECT_TRUE(wait_until([&] { return find_dialog(b.process->id(), b.bar, 100) == nullptr; }));
    EXPECT_EQ(b.exit_by_button(), 0u);
    EXPECT_EQ(a.exit_by_button(), 0u);
}

// The hint: the name of the button under the resting cursor, for about
// three seconds.
TEST_F(Duodeck, HintNamesTheButtonUnderTheCursor) {
    const std::string dir = fresh_dir("hint");
    SetCursorPos(700, 500);
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    HWND hint = find_window(d.process->id(), "HINT");
    ASSERT_NE(hint, nullptr);
    EXPECT_FALSE(IsWindowVisible(hint));
    const RECT exit_button = window_rect(d.button(kExit));
    const POINT at{(exit_button.left + exit_button.right) / 2, (exit_button.top + exit_button.bottom) / 2};
    SetCursorPos(at.x, at.y);
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(hint) != FALSE; }, 2000));
    const DWORD shown = GetTickCount();
    const RECT r = window_rect(hint);
    EXPECT_EQ(r.right - r.left, 36); // "Exit": 4 characters of 9 pixels
    EXPECT_EQ(r.bottom - r.top, 20);
    EXPECT_EQ(r.left, at.x);
    EXPECT_EQ(r.top, at.y + 15);
    Sleep(100);
    screenshot(nullptr, "hint_exit");
    ASSERT_TRUE(wait_until([&] { return !IsWindowVisible(hint); }, 6000));
    const DWORD stood = GetTickCount() - shown;
    EXPECT_GT(stood, 2500u);
    EXPECT_LT(stood, 4500u);
    // It does not come back while the cursor stays.
    Sleep(1000);
    EXPECT_FALSE(IsWindowVisible(hint));
    // Over the bar's body, then onto a disabled button: shown again.
    POINT body{20, 20};
    ClientToScreen(d.bar, &body);
    SetCursorPos(body.x, body.y);
    Sleep(300);
    const RECT disable = window_rect(d.button(kDisable));
    SetCursorPos(disable.left + 5, disable.top + 5);
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(hint) != FALSE; }, 2000));
    EXPECT_EQ(window_rect(hint).right - window_rect(hint).left, 17 * 9); // "Disable VR system"
    // Another program's window under the cursor hides it at once.
    SetCursorPos(700, 500);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(hint); }, 1000));
    EXPECT_EQ(d.exit_by_button(), 0u);
}

TEST_F(Duodeck, FourArrangementsByDoubleClick) {
    const std::string dir = fresh_dir("double_click");
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    const struct {
        int w, h;
        const char* shot;
    } cycle[] = {{50, 410, "bar_one_column"}, {230, 86, "bar_two_rows"}, {86, 230, "bar_two_columns"},
                 {410, 50, "bar_one_row"}};
    for (const auto& step : cycle) {
        // The logo cell is body: a double-click there re-arranges the bar.
        click_client(d.bar, 20, 20, true);
        ASSERT_TRUE(wait_until([&] {
            const RECT r = window_rect(d.bar);
            return r.right - r.left == step.w && r.bottom - r.top == step.h;
        })) << step.shot;
        EXPECT_EQ(window_rect(d.bar).left, 0);
        EXPECT_EQ(window_rect(d.bar).top, 0);
        Sleep(200);
        screenshot(d.bar, step.shot);
    }
    EXPECT_EQ(d.exit_by_button(), 0u);
}

// The pixels of a group box's frame: the 2-pixel bands along its left,
// right and bottom edges that differ from the background (its top edge
// is crossed by labels).
int frame_pixels(const Pixels& p, const RECT& box) {
    const unsigned bg = p.background();
    const int top = box.top + 20;
    return p.count_other(box.left, top, box.left + 2, box.bottom, bg) +
           p.count_other(box.right - 2, top, box.right, box.bottom, bg) +
           p.count_other(box.left + 2, box.bottom - 2, box.right - 2, box.bottom, bg);
}

// The settings dialog's two frames are whole when it is first shown and
// after a click on an item: pixel for pixel what a full repaint draws.
void expect_frames_whole(HWND settings) {
    const Pixels first = capture_client(settings);
    RedrawWindow(settings, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The bar's process repaints in its own time; on a busy machine 300 ms
    // may catch it between the erase and the frames. Wait until two
    // captures agree (at most 3 s).
    Sleep(300);
    Pixels repainted = capture_client(settings);
    for (int i = 0; i < 10; ++i) {
        Sleep(300);
        Pixels again = capture_client(settings);
        if (again.rgb == repainted.rgb) break;
        repainted = std::move(again);
    }
    RECT c;
    GetClientRect(settings, &c);
    click_client(settings, c.right / 5 + 10, c.bottom / 3 + 3 * c.bottom / 7 + 5); // "two columns"
    Sleep(300);
    const Pixels clicked = capture_client(settings);
    for (int id : {DUO_TOOL_GROUP_HOT_KEY, DUO_TOOL_GROUP_LAYOUT}) {
        RECT box = window_rect(GetDlgItem(settings, id));
        MapWindowPoints(nullptr, settings, reinterpret_cast<POINT*>(&box), 2);
        const int whole = frame_pixels(repainted, box);
        const int band = 2 * 2 * (box.bottom - box.top - 20) + 2 * (box.right - box.left - 4);
        std::printf("group box %d: %d frame pixels at first display, %d after a click, %d repainted, of %d\n", id,
                    frame_pixels(first, box), frame_pixels(clicked, box), whole, band);
        EXPECT_GT(whole, band * 9 / 10) << id;
        EXPECT_EQ(frame_pixels(first, box), whole) << id;
        EXPECT_EQ(frame_pixels(clicked, box), whole) << id;
        int differ = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) differ += first.at(x, y) != repainted.at(x, y) ? 1 : 0;
        EXPECT_EQ(differ, 0) << id;
    }
}

TEST_F(Duodeck, ArrangementAndStackingBySettingsDialog) {
    const std::string dir = fresh_dir("settings");
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    const struct {
        int item_row; // label y = H/3 + row*H/7
        int w, h;
    } choices[] = {{1, 230, 86}, {2, 50, 410}, {3, 86, 230}, {0, 410, 50}};
    for (const auto& choice : choices) {
        d.press(kSetup);
        HWND settings = find_dialog(d.process->id(), d.bar);
        ASSERT_NE(settings, nullptr);
        RECT c;
        GetClientRect(settings, &c);
        if (choice.item_row == 1) {
            Sleep(300);
            screenshot(settings, "dialog_settings");
            expect_frames_whole(settings);
        }
        click_client(settings, c.right / 5 + 10, c.bottom / 3 + choice.item_row * c.bottom / 7 + 5);
        click_window(GetDlgItem(settings, 114));
        ASSERT_TRUE(wait_until([&] { return !IsWindow(settings); }));
        const RECT r = window_rect(d.bar);
        EXPECT_EQ(r.right - r.left, choice.w);
        EXPECT_EQ(r.bottom - r.top, choice.h);
    }
    // "Always on top" cleared: an ordinary window.
    d.press(kSetup);
    HWND settings = find_dialog(d.process->id(), d.bar);
    ASSERT_NE(settings, nullptr);
    RECT c;
    GetClientRect(settings, &c);
    click_client(settings, c.right / 5 + 10, c.bottom / 20 + 3 + 5);
    click_window(GetDlgItem(settings, 114));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(settings); }));
    EXPECT_FALSE(GetWindowLongA(d.bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // Cancel changes nothing.
    d.press(kSetup);
    settings = find_dialog(d.process->id(), d.bar);
    ASSERT_NE(settings, nullptr);
    GetClientRect(settings, &c);
    click_client(settings, c.right / 5 + 10, c.bottom / 3 + c.bottom / 7 + 5);
    click_window(GetDlgItem(settings, 115));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(settings); }));
    EXPECT_EQ(window_rect(d.bar).right - window_rect(d.bar).left, 410);
    EXPECT_EQ(d.exit_by_button(), 0u);
    Position p{};
    ASSERT_TRUE(decode(read_file(dir + "\\DuoDeck.ini"), p));
    EXPECT_EQ(p.layout, 1019);
}

TEST_F(Duodeck, DraggingTheBodyMovesTheBar) {
    const std::string dir = fresh_dir("drag");
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    POINT p{20, 20};
    ClientToScreen(d.bar, &p);
    SetCursorPos(p.x, p.y);
    Sleep(50);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
    Sleep(100);
    for (int i = 1; i <= 10; ++i) {
        SetCursorPos(p.x + 10 * i, p.y + 15 * i);
        in.mi.dwFlags = MOUSEEVENTF_MOVE;
        in.mi.dx = 0;
        in.mi.dy = 0;
        SendInput(1, &in, sizeof in);
        Sleep(30);
    }
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    EXPECT_TRUE(wait_until([&] { return window_rect(d.bar).left == 100 && window_rect(d.bar).top == 150; }))
        << window_rect(d.bar).left << "," << window_rect(d.bar).top;
    EXPECT_EQ(d.exit_by_button(), 0u);
    Position pos{};
    ASSERT_TRUE(decode(read_file(dir + "\\DuoDeck.ini"), pos));
    EXPECT_EQ(pos.left, 100);
    EXPECT_EQ(pos.top, 150);
}

TEST_F(Duodeck, SecondBarFollowsTheFirst) {
    const std::string dir_a = fresh_dir("bar_a"), dir_b = fresh_dir("bar_b");
    write_file(dir_b + "\\DuoDeck.ini", encode({1019, 0, 300, 0, 0}));
    Deck a("", dir_a);
    ASSERT_NE(a.bar, nullptr);
    Deck b("", dir_b);
    ASSERT_NE(b.bar, nullptr);
    a.press(kEnable);
    EXPECT_TRUE(wait_until([&] { return shows_stereo_on(a) && shows_stereo_on(b); }));
    a.press(kDisable);
    EXPECT_TRUE(wait_until([&] { return shows_stereo_off(a) && shows_stereo_off(b); }));
    // And the other way round.
    b.press(kEnable);
    EXPECT_TRUE(wait_until([&] { return shows_stereo_on(a); }));
    b.press(kDisable);
    EXPECT_TRUE(wait_until([&] { return shows_stereo_off(a); }));
    EXPECT_EQ(b.exit_by_button(), 0u);
    EXPECT_EQ(a.exit_by_button(), 0u);
}

// Two bars and another client change the frequency in any order. Whenever
// a bar's frequency dialog opens it marks the frequency the library runs
// and names the library's default, and OK without a click keeps both. The
// second bar's library answers 103 and posts it nothing at start.
TEST_F(Duodeck, FrequencyDialogShowsWhatTheLibraryRuns) {
    std::mt19937 random(duo::sim::run_seed());
    const std::string dir_a = fresh_dir("follow_a"), dir_b = fresh_dir("follow_b");
    write_file(dir_b + "\\DuoDeck.ini", encode({1019, 0, 300, 0, 0}));
    Deck a("/F:90", dir_a);
    ASSERT_NE(a.bar, nullptr);
    Deck b("", dir_b);
    ASSERT_NE(b.bar, nullptr);
    Observer observer;
    const std::vector<int> available = observer.listed_available();
    ASSERT_GE(available.size(), 2u);
    const int library_default = observer.query(105);
    // What each bar's Enable asks for: /F:90, and the library's default.
    const std::pair<Deck*, int> bars[2] = {{&a, 3}, {&b, library_default}};

    a.press(kEnable);
    ASSERT_TRUE(wait_until([&] { return shows_stereo_on(a) && shows_stereo_on(b); }));
    ASSERT_EQ(observer.query(101), 3);
    const auto check_dialog = [&](Deck& d, const std::string& step) {
        HWND freq = open_frequency_dialog(d);
        ASSERT_NE(freq, nullptr) << step;
        const int running = observer.query(101);
        EXPECT_EQ(marked_frequency(freq), running) << step;
        EXPECT_EQ(named_default(freq), library_default) << step;
        ASSERT_TRUE(close_dialog(freq, kFreqOk)) << step;
        EXPECT_EQ(observer.query(101), running) << step << ": OK without a click";
    };
    check_dialog(a, "after /F:90 and Enable");
    check_dialog(b, "second bar after the first's Enable");
    for (int round = 0; round < 6; ++round) {
        const auto& [deck, asks] = bars[random() % 2];
        const int pick = available[random() % available.size()];
        std::string step = "round " + std::to_string(round);
        switch (random() % 3) {
        case 0: // another client
            step += ": client sets " + std::to_string(pick);
            EXPECT_EQ(observer.client.ask("freq " + std::to_string(pick)), "1 0");
            break;
        case 1: { // a bar's dialog
            step += ": dialog selects " + std::to_string(pick);
            HWND freq = open_frequency_dialog(*deck);
            ASSERT_NE(freq, nullptr) << step;
            click_frequency(freq, pick);
            ASSERT_TRUE(close_dialog(freq, kFreqOk)) << step;
            EXPECT_EQ(observer.query(101), pick) << step;
            break;
        }
        default: { // stereo off by one bar, on by the other
            Deck& other = deck == &a ? b : a;
            step += ": off and on again";
            other.press(kDisable);
            ASSERT_TRUE(wait_until([&] { return shows_stereo_off(a) && shows_stereo_off(b); })) << step;
            deck->press(kEnable);
            ASSERT_TRUE(wait_until([&] { return shows_stereo_on(a) && shows_stereo_on(b); })) << step;
            EXPECT_EQ(observer.query(101), asks) << step;
            break;
        }
        }
        check_dialog(*bars[random() % 2].first, step);
    }
    EXPECT_EQ(b.exit_by_button(), 0u);
    EXPECT_EQ(a.exit_by_button(), 0u);
}

// A bar started after another client gets no notification from Init: it
// asks the library what is available and its default. /F: wins over no
// later default: a frequency test's replaces it.
TEST_F(Duodeck, BarStartedAfterAnotherClientAsksTheLibrary) {
    Observer observer; // the first client
    const std::string dir = fresh_dir("after_client");
    Deck d("/F:110", dir);
    ASSERT_NE(d.bar, nullptr);
    const DWORD pid = d.process->id();
    const int library_default = observer.query(105);
    ASSERT_NE(library_default, 7);
    d.press(kEnable);
    ASSERT_TRUE(wait_until([&] { return shows_stereo_on(d); }));
    EXPECT_EQ(observer.query(101), 7);
    // Every frequency the library has can be chosen.
    const std::vector<int> available = observer.listed_available();
    ASSERT_GE(available.size(), 2u);
    for (int index : available) {
        HWND freq = open_frequency_dialog(d);
        ASSERT_NE(freq, nullptr);
        EXPECT_EQ(named_default(freq), library_default);
        click_frequency(freq, index);
        ASSERT_TRUE(close_dialog(freq, kFreqOk));
        EXPECT_EQ(observer.query(101), index);
    }
    d.press(kDisable);
    ASSERT_TRUE(wait_until([&] { return shows_stereo_off(d); }));
    // The frequency test tells every bar the default it keeps.
    d.press(kTest);
    HWND diagnosis = find_dialog(pid, d.bar);
    ASSERT_NE(diagnosis, nullptr);
    PostMessageA(diagnosis, WM_COMMAND, kDiagnosisClose, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(diagnosis); }));
    ASSERT_TRUE(observer.got("608:" + std::to_string(library_default)));
    d.press(kEnable);
    ASSERT_TRUE(wait_until([&] { return shows_stereo_on(d); }));
    EXPECT_EQ(observer.query(101), library_default);
    // A bar that joins while stereo runs shows it on from the start.
    Deck late("", fresh_dir("after_client_late"));
    ASSERT_NE(late.bar, nullptr);
    EXPECT_TRUE(wait_until([&] { return shows_stereo_on(late); }));
    EXPECT_EQ(late.exit_by_button(), 0u);
    EXPECT_EQ(d.exit_by_button(), 0u);
}

// A request the library refuses shows the bar's error box, and the bar is
// left in the library's state.
TEST_F(Duodeck, RefusedRequestsShowAnErrorBox) {
    const std::string dir = fresh_dir("refused");
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    const DWORD pid = d.process->id();
    Observer observer(fresh_dir("refused_client"));
    // Another client closes the library: it is no longer initialised.
    ASSERT_EQ(observer.client.ask("close own").substr(0, 1), "1");
    d.press(kEnable);
    HWND box = nullptr;
    EXPECT_EQ(error_box_text(pid, &box), "VR system is not initialized");
    if (box) dismiss(box);
    EXPECT_TRUE(shows_stereo_off(d));
    EXPECT_FALSE(stereo_programmed());
    // The bar did not take the hot key.
    EXPECT_TRUE(RegisterHotKey(nullptr, 1, MOD_ALT | MOD_CONTROL, 'T'));
    UnregisterHotKey(nullptr, 1);

    // Initialised again: stereo on; then another client switches it off
    // under the open frequency dialog.
    ASSERT_EQ(observer.client.ask("init own").substr(0, 1), "1");
    d.press(kEnable);
    ASSERT_TRUE(wait_until([&] { return shows_stereo_on(d); }));
    const int running = observer.query(101);
    const std::vector<int> available = observer.listed_available();
    ASSERT_GE(available.size(), 2u);
    const int other = available[0] == running ? available[1] : available[0];
    HWND freq = open_frequency_dialog(d);
    ASSERT_NE(freq, nullptr);
    observer.client.ask("disable own");
    ASSERT_TRUE(wait_until([&] { return shows_stereo_off(d); }));
    observer.messages();
    click_frequency(freq, other);
    click_window(GetDlgItem(freq, kFreqOk));
    EXPECT_EQ(error_box_text(pid, &box), "VR system is not enabled");
    if (box) dismiss(box);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(freq); }));
    EXPECT_EQ(observer.messages().find("607"), std::string::npos);
    EXPECT_EQ(observer.query(101), running);
    EXPECT_TRUE(shows_stereo_off(d));
    EXPECT_EQ(d.exit_by_button(), 0u);
}

// The bar's failure paths in the real program, with the system refusing
// what the bar asks for (deck_faults.dll). Without its timer or its hint
// class the bar works on without hints; below 256 colours it closes the
// library it has initialised and ends.
TEST_F(Duodeck, RefusedTimerHintClassAndColourDepth) {
    const struct {
        const char* faults;
        const char* caption;
        const char* text;
    } cases[] = {{"timer", "Error!", "Set timer fails."},
                 {"hint", "Err! - Hint", "Hint(): RegisterClass() failed"},
                 {"depth", kErrorCaption, "Display driver must be 256 colors or above to run this program"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        const std::string dir = fresh_dir(std::string("fault_") + c.faults);
        // Another client holds the library, to see whether the bar closes it.
        Observer observer(fresh_dir(std::string("fault_client_") + c.faults));
        DWORD pid = 0;
        HANDLE process = start_with_faults(dir, c.faults, &pid);
        ASSERT_NE(process, nullptr);
        struct Close {
            HANDLE h;
            ~Close() {
                if (WaitForSingleObject(h, 5000) != WAIT_OBJECT_0) TerminateProcess(h, 99);
                CloseHandle(h);
            }
        } close{process};
        HWND box = find_window(pid, "#32770", c.caption, 10000);
        ASSERT_NE(box, nullptr);
        char text[128] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        EXPECT_STREQ(text, c.text);
        dismiss(box);
        DWORD code = STILL_ACTIVE;
        if (std::strcmp(c.faults, "depth") == 0) {
            ASSERT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
            GetExitCodeProcess(process, &code);
            EXPECT_EQ(code, 0u);
            EXPECT_TRUE(file_exists(dir + "\\DuoDeck.ini"));
            // The bar closed the library: it is no longer initialised.
            EXPECT_EQ(observer.client.ask("freq 3"), "0 201");
            continue;
        }
        HWND bar = find_window(pid, "DUODECK", "DUO DECK");
        ASSERT_NE(bar, nullptr);
        // No hint, however long the cursor rests on a button.
        const RECT exit_button = window_rect(GetDlgItem(bar, kExit));
        SetCursorPos(exit_button.left + 5, exit_button.top + 5);
        Sleep(800);
        HWND hint = find_window(pid, "HINT", nullptr, 200);
        EXPECT_TRUE(hint == nullptr || !IsWindowVisible(hint));
        SetCursorPos(700, 500);
        // The rest of the bar works.
        click_client(bar, 20, 20, true);
        EXPECT_TRUE(wait_until([&] { return window_rect(bar).right - window_rect(bar).left == 50; }));
        click_window(GetDlgItem(bar, kEnable));
        EXPECT_TRUE(wait_until([&] { return stereo_programmed(); }, 8000));
        click_window(GetDlgItem(bar, kDisable));
        EXPECT_TRUE(wait_until([&] { return !stereo_programmed(); }, 8000));
        click_window(GetDlgItem(bar, kExit));
        ASSERT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        GetExitCodeProcess(process, &code);
        EXPECT_EQ(code, 0u);
    }
}

// A face sheet as this screen shows it, through a bitmap of the screen's
// own format as the bar's are.
Pixels sheet_on_screen(HMODULE art, int id) {
    Pixels out;
    HBITMAP sheet = LoadBitmapA(art, MAKEINTRESOURCEA(id));
    if (sheet == nullptr) return out;
    out.width = 230;
    out.height = 86;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), device = CreateCompatibleDC(screen), flat = CreateCompatibleDC(screen);
    HBITMAP device_bitmap = CreateCompatibleBitmap(screen, out.width, out.height);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, out.width, -out.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old_from = SelectObject(from, sheet), old_device = SelectObject(device, device_bitmap),
            old_flat = SelectObject(flat, dib);
    BitBlt(device, 0, 0, out.width, out.height, from, 0, 0, SRCCOPY);
    BitBlt(flat, 0, 0, out.width, out.height, device, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* px = static_cast<const unsigned*>(bits);
    out.rgb.assign(px, px + out.width * out.height);
    for (unsigned& v : out.rgb) v &= 0xFFFFFF;
    SelectObject(from, old_from);
    SelectObject(device, old_device);
    SelectObject(flat, old_flat);
    DeleteObject(dib);
    DeleteObject(device_bitmap);
    DeleteObject(sheet);
    DeleteDC(from);
    DeleteDC(device);
    DeleteDC(flat);
    ReleaseDC(nullptr, screen);
    return out;
}

// Whether a 36x36 cell of the bar shows the sheet's cell, colours compared
// at the precision the screen keeps (5, 6 and 5 bits at 16 bits per pixel).
bool same_cell(const Pixels& shown, POINT at, const Pixels& sheet, POINT from, unsigned kept) {
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 36; ++x)
            if (((shown.at(at.x + x, at.y + y) ^ sheet.at(from.x + x, from.y + y)) & kept) != 0) return false;
    return true;
}

// The bar's pictures come from the sheets of the screen's depth: the
// 16-colour sheets on a 256-colour screen, the true-colour ones above it.
// Both kinds hold the same picture, so this shows that each depth's sheets
// load and draw whole, through the palette too.
TEST_F(Duodeck, FacesComeFromTheSheetsOfTheScreenDepth) {
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    HMODULE art = LoadLibraryExA((bin_dir() + "\\duodeck.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(art, nullptr);
    const bool palette = depth == 8;
    const Pixels normal = sheet_on_screen(art, palette ? DUO_TOOL_FACE_NORMAL16 : DUO_TOOL_FACE_NORMAL);
    const Pixels disabled = sheet_on_screen(art, palette ? DUO_TOOL_FACE_DISABLED16 : DUO_TOOL_FACE_DISABLED);
    FreeLibrary(art);
    ASSERT_FALSE(normal.rgb.empty() || disabled.rgb.empty());
    const std::string dir = fresh_dir("faces");
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 20, GetSystemMetrics(SM_CYSCREEN) - 20);
    Deck d("", dir);
    ASSERT_NE(d.bar, nullptr);
    Sleep(300);
    const Pixels shown = capture_client(d.bar);
    ASSERT_EQ(shown.width, 410);
    const auto at = [&](int id) {
        const RECT r = child_rect(d.bar, id);
        return POINT{r.left, r.top};
    };
    // The logo, an enabled button (Exit) and a disabled one (Disable).
    const struct {
        POINT at, face;
        const Pixels& sheet;
    } cells[] = {{{7, 7}, {7, 7}, normal}, {at(kExit), {187, 43}, normal}, {at(kDisable), {79, 7}, disabled}};
    const unsigned kept = depth == 16 ? 0xF8FCF8 : 0xFFFFFF;
    for (const auto& c : cells)
        EXPECT_TRUE(same_cell(shown, c.at, c.sheet, c.face, kept))
            << depth << " bits, face " << c.face.x << "," << c.face.y;
    screenshot(d.bar, "bar_" + std::to_string(depth) + "_bits");
    EXPECT_EQ(d.exit_by_button(), 0u);
}

// Each initialisation error: its box, then the program ends with 0 and
// still writes its position file.
void expect_init_error(const char* adapter, const char* text, const char* dir_name) {
    use_adapter(adapter);
    const std::string dir = fresh_dir(dir_name);
    Deck d("", dir, false);
    ASSERT_TRUE(d.process->started());
    HWND box = find_window(d.process->id(), "#32770", "Err! - DUO DECK", 10000);
    ASSERT_NE(box, nullptr) << adapter;
    char message[128] = {};
    GetDlgItemTextA(box, 0xFFFF, message, sizeof message);
    EXPECT_STREQ(message, text);
    Sleep(300);
    screenshot(box, dir_name);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(d.process->wait(10000), 0u);
    EXPECT_TRUE(file_exists(dir + "\\DuoDeck.ini"));
}

TEST_F(Duodeck, InitialisationErrorBoxes) {
    expect_init_error("", "DUOGATE.VXD is missing", "error_101");
    expect_init_error("vga", "Unknown VGA manufacturer", "error_102");
}

// A mode the chip refuses: the Trident 9440 at 640x480 with 16 bits per
// pixel; only on a screen in that mode.
TEST_F(Duodeck, DisplayModeRefusedBox) {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL), width = GetDeviceCaps(screen, HORZRES);
    ReleaseDC(nullptr, screen);
    if (bits != 16 || width != 640) GTEST_SKIP() << "needs a 640x480x16 screen";
    expect_init_error("trident-9440", "Display mode is not supported", "error_100");
}

} // namespace
} // namespace duo::deck_test
