// The real vorbix.exe: its main window, its ways to end, and its behaviour
// beside a simulated game console.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "console/editions.h"
#include "support/app_ui.h"
#include "support/harness.h"

namespace {

struct ExpectedControl {
    const char* className;
    const char* text;  // null: checked by the test itself
    DWORD style;
    int x, y, width, height;
    int id;
};

const char* const kGamePath = "C:\\Program Files\\EA GAMES\\MOHAA\\MOHAA.exe";

const ExpectedControl kControls[22] = {
    {"Button", "Vorbix3 Statistics", 0x50000F00, 10, 480, 250, 30, 3},
    {"Button", "Hide \\ Launch", 0x50000F00, 270, 480, 150, 30, 9},
    {"Button", "Close", 0x50000F00, 430, 480, 100, 30, 2},
    {"Button", "Status", 0x50000007, 10, 10, 520, 70, 0},
    {"Static", nullptr, 0x50000000, 20, 40, 300, 20, 0},
    {"Static", "", 0x50000000, 320, 40, 200, 20, 0},
    {"Button", "Message File", 0x50000007, 10, 90, 520, 70, 0},
    {"Static", "Server Language", 0x50000000, 20, 120, 300, 20, 0},
    {"ComboBox", "english.ini", 0x50210003, 200, 120, 300, 200, 0},
    {"Button", "Launch Mohaa", 0x50000007, 10, 170, 520, 160, 0},
    {"Button", " Launch MOHAA on \"Hide \\ Launch\"", 0x50000003, 20, 200, 500, 20, 7},
    {"Static", "Connect to IP:", 0x50000000, 20, 230, 120, 20, 0},
    {"Edit", "000.000.000.00:0000", 0x50800000, 150, 230, 200, 20, 6},
    {"Static", "Game Path:", 0x50000000, 20, 260, 120, 20, 0},
    {"Edit", kGamePath, 0x50800080, 150, 260, 370, 20, 6},
    {"Static", "Parameters:", 0x50000000, 20, 290, 120, 20, 0},
    {"Edit", "+set ui_console 1 +set cl_playintro 0", 0x50800080, 150, 290, 370, 20, 6},
    {"Button", "In Game", 0x50000007, 10, 340, 520, 130, 0},
    {"Button", "Sounds", 0x50000003, 20, 370, 200, 20, 7},
    {"Button", "Announcements", 0x50000003, 20, 400, 200, 20, 7},
    {"Button", "Customize", 0x50000000, 250, 400, 150, 20, 8},
    {"Button", "Displays", 0x50000003, 20, 430, 200, 20, 7},
};

// The style the platform reports for a window created with `style`: a
// control of `className` (edit and combo boxes adjust their own style bits),
// or without one a top-level window (an overlapped one always gets a caption).
DWORD reportedStyle(const char* className, DWORD style) {
    WNDCLASSA plain{};
    plain.lpfnWndProc = DefWindowProcA;
    plain.lpszClassName = "VorbixTestPlain";
    RegisterClassA(&plain);
    HWND parent = className ? CreateWindowExA(0, "VorbixTestPlain", "", WS_POPUP, 0, 0, 600, 600, nullptr, nullptr,
                                              nullptr, nullptr)
                            : nullptr;
    HWND window = CreateWindowExA(0, className ? className : "VorbixTestPlain", "", style & ~WS_VISIBLE, 0, 0, 100,
                                  20, parent, nullptr, nullptr, nullptr);
    DWORD reported = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) | (style & WS_VISIBLE);
    DestroyWindow(parent ? parent : window);
    return reported;
}

bool isStatusText(const std::string& text) {
    if (text == "Status") return true;
    for (const GameEdition& edition : kGameEditions)
        if (text == edition.statusText) return true;
    return false;
}

size_t countOf(const std::vector<std::string>& commands, size_t from, const std::string& text) {
    return static_cast<size_t>(std::count(commands.begin() + std::min(from, commands.size()), commands.end(), text));
}

// vorbix.exe running in a prepared folder.
class ShellTest : public ::testing::Test {
protected:
    TestDir dir;
    std::unique_ptr<VorbixProcess> vorbix;

    void start(const std::string& ini = "") {
        prepareRunDir(dir, ini);
        vorbix = std::make_unique<VorbixProcess>(dir);
        ASSERT_TRUE(vorbix->started()) << "vorbix.exe did not start";
        ASSERT_NE(vorbix->waitForMainWindow(), nullptr) << "no main window";
    }

    // Waits until vorbix linked `console` and has sent all it sends on
    // linking, the last being the name the game answered with.
    void waitUntilLinked(const SimConsole& console) {
        ASSERT_TRUE(console.waitForCommand("name", 30000)) << "vorbix never linked the console";
        ASSERT_TRUE(waitUntil(
            [&] {
                const std::vector<std::string> commands = console.commandTexts();
                size_t detected = 0;
                for (const std::string& command : commands) detected += command.rfind("set sfx_name_message ", 0) == 0;
                return detected >= countOf(commands, 0, "name");
            },
            30000))
            << "the game's answer to \"name\" was not taken";
    }

    static bool waitForCount(const SimConsole& console, const std::string& text, size_t count) {
        return waitUntil([&] { return countOf(console.commandTexts(), 0, text) >= count; }, 30000);
    }

    void expectCleanExit() {
        ASSERT_TRUE(vorbix->waitForExit(30000)) << "vorbix.exe did not end";
        EXPECT_EQ(vorbix->exitCode(), 0u);
    }
};

TEST_F(ShellTest, MainWindowHoldsItsControlsInOrder) {
    start();
    HWND window = vorbix->mainWindow();
    EXPECT_EQ(windowTextOf(window), "Vorbix3 Beta2");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), reportedStyle(nullptr, 0x140A0100));
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 547);
    EXPECT_EQ(outer.bottom - outer.top, 560);

    std::vector<ChildWindow> controls = vorbix->controls();
    ASSERT_EQ(controls.size(), 22u);
    for (size_t i = 0; i < controls.size(); ++i) {
        const ExpectedControl& want = kControls[i];
        const ChildWindow& got = controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(lstrcmpiA(got.className.c_str(), want.className), 0) << got.className;
        if (want.text) {
            EXPECT_EQ(got.text, want.text);
        } else {
            EXPECT_TRUE(isStatusText(got.text)) << got.text;
        }
        EXPECT_EQ(got.style, reportedStyle(want.className, want.style)) << std::hex << got.style;
        EXPECT_EQ(got.rect.left, want.x);
        EXPECT_EQ(got.rect.top, want.y);
        EXPECT_EQ(got.rect.right - got.rect.left, want.width);
        // A drop-down list shows only its closed height.
        if (i != 8) {
            EXPECT_EQ(got.rect.bottom - got.rect.top, want.height);
        }
        EXPECT_EQ(got.id, want.id);
    }
    for (int checkBox : {10, 18, 19, 21})
        EXPECT_EQ(SendMessageA(controls[checkBox].handle, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    vorbix->pressKey(VK_ESCAPE);
    expectCleanExit();
}

TEST_F(ShellTest, ControlsShowTheSettings) {
    start("[vorbix]\r\nsounds=1\r\ndisplays=0\r\nannouncements=2\r\n"
          "[game]\r\nlaunchmohaa=1\r\nip=10.0.0.1:12203\r\ngamepath=D:\\Games\\mohaa.exe\r\n"
          "gameparameters=+set developer 1\r\n");
    std::vector<ChildWindow> controls = vorbix->controls();
    ASSERT_EQ(controls.size(), 22u);
    EXPECT_EQ(controls[12].text, "10.0.0.1:12203");
    EXPECT_EQ(controls[14].text, "D:\\Games\\mohaa.exe");
    EXPECT_EQ(controls[16].text, "+set developer 1");
    EXPECT_EQ(SendMessageA(controls[10].handle, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(controls[18].handle, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(controls[19].handle, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(controls[21].handle, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    vorbix->closeWindow();
    expectCleanExit();
}

// Each way to end the program runs the exit path exactly once.
enum class Ending { EscapeKey, TitleBarClose, CloseButton };

class ShellEndingTest : public ShellTest, public ::testing::WithParamInterface<Ending> {
protected:
    void end() {
        switch (GetParam()) {
        case Ending::EscapeKey: vorbix->pressKey(VK_ESCAPE); break;
        case Ending::TitleBarClose: vorbix->closeFromTitleBar(); break;
        case Ending::CloseButton: vorbix->click(vorbix->control(2)); break;
        }
    }
};

TEST_P(ShellEndingTest, LinkedConsoleGetsOneGoodbye) {
    SimConsole console;
    start();
    waitUntilLinked(console);
    size_t before = console.commands().size();
    end();
    expectCleanExit();
    console.waitForFrameEnd();
    EXPECT_EQ(countOf(console.commandTexts(), before, "exec vorbixoff.cfg"), 1u);
    EXPECT_EQ(console.commandTexts().back(), "exec vorbixoff.cfg");
}

TEST_P(ShellEndingTest, WithoutAConsoleEndsCleanly) {
    start();
    end();
    expectCleanExit();
}

INSTANTIATE_TEST_SUITE_P(Endings, ShellEndingTest,
                         ::testing::Values(Ending::EscapeKey, Ending::TitleBarClose, Ending::CloseButton));

TEST_F(ShellTest, VanishedConsoleGetsNothingAtExit) {
    auto console = std::make_unique<SimConsole>();
    start();
    waitUntilLinked(*console);
    console->close();
    ASSERT_TRUE(console->waitUntilClosed(10000));
    // The poll notices the game is gone and searches again.
    HWND status = vorbix->control(4);
    ASSERT_TRUE(waitUntil([&] { return windowTextOf(status).rfind("Searching for", 0) == 0; }, 30000));
    size_t before = console->commands().size();
    vorbix->closeWindow();
    expectCleanExit();
    EXPECT_EQ(console->commands().size(), before);
}

// The console's lines reach the program once each, before and after the
// player's name is known.
TEST_F(ShellTest, EachConsoleLineIsHandledOnce) {
    SimOptions options;
    options.playerName = "Bob";
    SimConsole console(options);
    start();
    waitUntilLinked(console);
    const std::string nameShown = "set sfx_name_message \"Name Detected 'Bob' \"";
    EXPECT_EQ(countOf(console.commandTexts(), 0, nameShown), 1u);

    ASSERT_TRUE(console.printAndWait("\x04" "Alice was shot by Bob"));
    ASSERT_TRUE(waitForCount(console, "set sfx_kills 1", 1));
    ASSERT_TRUE(console.printAndWait("CL_InitCGame:  1.23 seconds"));
    ASSERT_TRUE(waitForCount(console, nameShown, 2));
    ASSERT_TRUE(console.printAndWait("\x04" "Carol was shot by Bob"));
    ASSERT_TRUE(waitForCount(console, "set sfx_kills 1", 2));
    // Its answer proves every line before it handled.
    console.print("vorbixoption sounds_on");
    ASSERT_TRUE(waitForCount(console, "exec soundson.cfg", 1));

    std::vector<std::string> commands = console.commandTexts();
    EXPECT_EQ(countOf(commands, 0, nameShown), 2u);
    EXPECT_EQ(countOf(commands, 0, "set sfx_kills 1"), 2u);  // once per map
    EXPECT_EQ(countOf(commands, 0, "set sfx_kills 2"), 0u);
    vorbix->closeWindow();
    expectCleanExit();
}

// The commands of linking, and of a map load and ten kills printed in one
// frame (about 1,100 bytes with menus and announcements on), reach the game
// whole whatever its frame rate, with its console shown or hidden and the
// player's mouse moving: the console checks the game's input buffer.
TEST_F(ShellTest, BurstsReachTheGameWhole) {
    start("kill_time=10\r\n[vorbix]\r\nsounds=0\r\ndisplays=1\r\nannouncements=1\r\n[game]\r\nlaunchmohaa=0\r\n"
          "[announcements]\r\nkillingspree=say \"Killing Spree! x%u\"\r\n");
    struct Game {
        int fps;
        bool visible;
        int mouseMovesPerSecond;
    };
    for (const Game& game :
         {Game{20, true, 0}, Game{60, true, 0}, Game{250, true, 0}, Game{60, false, 0}, Game{60, true, 1000}}) {
        SCOPED_TRACE(std::to_string(game.fps) + " fps, " + (game.visible ? "shown" : "hidden") + ", mouse " +
                     std::to_string(game.mouseMovesPerSecond));
        SimOptions options;
        options.playerName = "Bob";
        options.framesPerSecond = game.fps;
        options.visible = game.visible;
        options.mouseMovesPerSecond = game.mouseMovesPerSecond;
        SimConsole console(options);
        waitUntilLinked(console);
        std::string burst = "CL_InitCGame:  1.23 seconds";
        for (int victim = 1; victim <= 10; ++victim)
            burst += "\r\n\x04" "Axis" + std::to_string(victim) + " was shot by Bob";
        console.print(burst);
        ASSERT_TRUE(console.waitForCommand("set sfx_kills 10", 30000));
        console.close();
        ASSERT_TRUE(console.waitUntilClosed(10000));
    }
    vorbix->closeWindow();
    expectCleanExit();
}

// Milliseconds until `done` holds, or -1 when it did not within `timeoutMs`.
long msUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    return waitUntil(done, timeoutMs) ? static_cast<long>(GetTickCount() - start) : -1;
}

// While the game loads a map it pumps no messages for seconds. A user's
// input, which is posted, still takes effect at once: a click on the main
// window, the tray menu, a dialog; and the program ends at once, totals saved.
TEST_F(ShellTest, AStalledGameFreezesNothing) {
    constexpr DWORD kAnswerMs = 1000;
    SimOptions options;
    options.playerName = "Bob";
    SimConsole console(options);
    start();
    waitUntilLinked(console);
    console.print("\x04" "Alice was shot by Bob");
    ASSERT_TRUE(console.waitForCommand("set sfx_kills 1", 30000));
    ASSERT_TRUE(console.waitForReader(10000));

    console.pause(10000);
    const DWORD pid = vorbix->pid();
    HWND displays = vorbix->control(21);
    const bool displaysWereOn = isChecked(displays);
    vorbix->click(displays);
    long ms = msUntil([&] { return isChecked(displays) != displaysWereOn; }, kAnswerMs);
    EXPECT_NE(ms, -1) << "a click on \"Displays\" took no effect";

    PostMessageA(vorbix->mainWindow(), WM_USER, 0, WM_RBUTTONUP);  // the tray icon's right click
    HWND menu = nullptr;
    ms = msUntil([&] { return (menu = findPopupMenu(pid)) != nullptr; }, kAnswerMs);
    ASSERT_NE(ms, -1) << "the tray menu did not open";
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_NE(msUntil([&] { return findPopupMenu(pid) == nullptr; }, kAnswerMs), -1) << "the tray menu stayed";

    vorbix->click(vorbix->control(0));  // "Vorbix3 Statistics"
    HWND dialog = waitForDialog(pid, "Statistics", kAnswerMs);
    ASSERT_NE(dialog, nullptr) << "the Statistics dialog did not open";
    EXPECT_EQ(windowTextOf(GetDlgItem(dialog, 1038)), "1");  // Total Kills
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_NE(msUntil([&] { return !IsWindow(dialog); }, kAnswerMs), -1) << "the dialog did not close";

    vorbix->closeWindow();
    EXPECT_TRUE(vorbix->waitForExit(3000)) << "vorbix.exe did not end while the game stalled";
    EXPECT_EQ(iniValue(dir.file("vorbix.ini"), "vorbix", "displays"), displaysWereOn ? "0" : "1");
    std::string bytes = dir.read("vorbix.vbx");
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes[0], 1) << "the kill was not saved";
}

// Sounds are mono 16-bit WAVs at this rate, recorded back the same way.
constexpr int kSampleRate = 22050;

// A WAV file's bytes: a tone of `hz` for `ms` milliseconds.
std::string toneWav(int hz, int ms) {
    const uint32_t samples = static_cast<uint32_t>(kSampleRate) * static_cast<uint32_t>(ms) / 1000;
    std::string wav;
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) wav += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    wav += "RIFF";
    put(36 + samples * 2, 4);
    wav += "WAVEfmt ";
    put(16, 4), put(WAVE_FORMAT_PCM, 2), put(1, 2), put(kSampleRate, 4), put(kSampleRate * 2, 4), put(2, 2), put(16, 2);
    wav += "data";
    put(samples * 2, 4);
    for (uint32_t i = 0; i < samples; ++i)
        put(static_cast<uint16_t>(static_cast<int16_t>(12000 * std::sin(6.283185 * hz * i / kSampleRate))), 2);
    return wav;
}

// Records what the sound device plays (the default input is the monitor of
// the test sound server's only output), in 100 ms pieces for `ms` ms.
class Recording {
public:
    explicit Recording(unsigned ms) : samples_(static_cast<size_t>(kSampleRate) * ms / 1000), headers_(ms / 100) {
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, kSampleRate, kSampleRate * 2, 2, 16, 0};
        if (waveInOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return;
        const size_t piece = samples_.size() / headers_.size();
        for (size_t i = 0; i < headers_.size(); ++i) {
            headers_[i].lpData = reinterpret_cast<LPSTR>(samples_.data() + i * piece);
            headers_[i].dwBufferLength = static_cast<DWORD>(piece * 2);
            waveInPrepareHeader(device_, &headers_[i], sizeof headers_[i]);
            waveInAddBuffer(device_, &headers_[i], sizeof headers_[i]);
        }
        waveInStart(device_);
    }
    ~Recording() { finish(); }

    // Whether sound is coming in: the first piece is full.
    bool started(DWORD timeoutMs) const {
        return device_ && waitUntil([&] { return (headers_.front().dwFlags & WHDR_DONE) != 0; }, timeoutMs);
    }
    // Waits until the recording is done; empty when there was none.
    std::vector<int16_t> finish() {
        if (!device_) return {};
        waitUntil([&] { return (headers_.back().dwFlags & WHDR_DONE) != 0; }, 30000);
        waveInReset(device_);
        for (WAVEHDR& header : headers_) waveInUnprepareHeader(device_, &header, sizeof header);
        waveInClose(device_);
        device_ = nullptr;
        return samples_;
    }

private:
    std::vector<int16_t> samples_;
    std::vector<WAVEHDR> headers_;
    HWAVEIN device_ = nullptr;
};

// The tones heard in `samples`, in order, each as its index in `tonesHz`, or
// -1 for sound that is none of them (two sounds at once). A tone is heard
// where 20 ms stretches of it last 100 ms or more.
std::vector<int> tonesHeard(const std::vector<int16_t>& samples, const std::vector<int>& tonesHz) {
    const size_t window = kSampleRate / 50;
    std::vector<int> heard;
    int current = -2, length = 0;  // -2: silence
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        double energy = 0;
        int crossings = 0;
        for (size_t i = start; i < start + window; ++i) {
            energy += double(samples[i]) * samples[i];
            crossings += i > start && (samples[i] < 0) != (samples[i - 1] < 0);
        }
        int tone = -2;
        if (std::sqrt(energy / double(window)) > 1000) {
            tone = -1;
            const double hz = crossings * 25.0;
            for (size_t t = 0; t < tonesHz.size(); ++t)
                if (std::abs(hz - tonesHz[t]) < tonesHz[t] / 5.0) tone = static_cast<int>(t);
        }
        length = tone == current ? length + 1 : 1;
        current = tone;
        if (length == 5 && tone != -2 && (heard.empty() || heard.back() != tone)) heard.push_back(tone);
    }
    return heard;
}

// Sounds play on a thread of their own: neither a kill's commands nor the
// window wait for one, and the sounds still play one after another, in the
// order asked, each to its end.
TEST_F(ShellTest, SoundsHoldNothingBack) {
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "no sound device: Wine plays through the sound server of scripts/wine-env.sh";
    const std::vector<int> tonesHz = {400, 800, 1200, 1600};
    const char* const sounds[] = {"double_kill", "multikill", "ultrakill", "monsterkill"};
    dir.mkdir("sounds");
    for (size_t i = 0; i < tonesHz.size(); ++i) dir.write(std::string("sounds\\") + sounds[i] + ".wav", toneWav(tonesHz[i], 500));
    SimOptions options;
    options.playerName = "Bob";
    SimConsole console(options);
    start("kill_time=10\r\n[vorbix]\r\nsounds=1\r\ndisplays=0\r\nannouncements=0\r\n[game]\r\nlaunchmohaa=0\r\n");
    waitUntilLinked(console);

    Recording recording(5000);
    ASSERT_TRUE(recording.started(5000)) << "nothing to record from";
    // Five kills: a double, multi, ultra and monster kill.
    const DWORD printedAt = GetTickCount();
    for (const char* victim : {"Alice", "Carl", "Dave", "Eve", "Fred"})
        console.print(std::string("\x04") + victim + " was shot by Bob");
    ASSERT_TRUE(console.waitForCommand("set sfx_kills 5", 10000));
    EXPECT_LT(GetTickCount() - printedAt, 1000u) << "the kills' commands waited for their sounds";
    HWND displays = vorbix->control(21);
    const bool displaysWereOn = isChecked(displays);
    vorbix->click(displays);
    EXPECT_NE(msUntil([&] { return isChecked(displays) != displaysWereOn; }, 1000), -1)
        << "a click while the sounds play took no effect";

    EXPECT_EQ(tonesHeard(recording.finish(), tonesHz), (std::vector<int>{0, 1, 2, 3}))
        << "sounds dropped, cut off, mixed or out of order";
    vorbix->closeWindow();
    expectCleanExit();
}

}  // namespace
