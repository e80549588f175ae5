// Driving the real vorbix.exe as a user would, and hosting a simulated game
// console in the test process (Windows side of the end-to-end tests).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "consolesim/sim_window.h"
#include "core/stats_record.h"
#include "support/process.h"

// Commands one after the other: `a`, then `b`.
inline std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Polls `done` every 20 ms until it is true or `timeoutMs` passed.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Prepares `dir` as vorbix.exe's working directory: vorbix.ini with `ini` as
// its content, messages/ with the test message file (as "english.ini"),
// sounds/ (empty: missing sounds play nothing).
void prepareRunDir(const TestDir& dir, const std::string& ini = "");
// The totals of the stats file in `dir`; fails the test unless it holds 128 bytes.
StatsRecord statsFileIn(const TestDir& dir);
// Makes this Wine prefix open web pages with the stand-in game (MOHAA.exe,
// which records how it was started in launched.txt of its working folder),
// so "the default browser" opening vorbix.exe's report is seen.
void openPagesWithTheStandIn();

struct ChildWindow {
    HWND handle = nullptr;
    std::string className;
    std::string text;
    DWORD style = 0;
    RECT rect{};  // in the parent's client coordinates: left, top, right, bottom
    int id = 0;
};

// A direct child window of `parent`, in sibling order (the creation order
// and tab order of controls built with CreateWindow).
std::vector<ChildWindow> childWindows(HWND parent);
// The window text, asked with a bounded wait.
std::string windowTextOf(HWND window);
// The first top-level window of `pid` with class `className`, titled `title`
// when given, and visible when asked; null when none.
HWND findTopLevel(DWORD pid, const char* className, const char* title = nullptr, bool visibleOnly = false);

struct MessageBoxInfo {
    HWND handle = nullptr;
    std::string caption;
    std::string text;
};

// One run of vorbix.exe (from exeDir()) in a prepared folder.
class VorbixProcess {
public:
    explicit VorbixProcess(const TestDir& dir);
    // Ends the process if it still runs.
    ~VorbixProcess();
    VorbixProcess(const VorbixProcess&) = delete;
    VorbixProcess& operator=(const VorbixProcess&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    DWORD pid() const { return process_.dwProcessId; }

    // The main window "Vorbix3 Beta2" of this process, once start-up is over
    // and the message loop waits; null when none came.
    HWND waitForMainWindow(DWORD timeoutMs = 30000);
    HWND mainWindow() const { return mainWindow_; }
    std::vector<ChildWindow> controls() const { return childWindows(mainWindow_); }
    HWND control(int index) const;  // by creation order, 0-based

    // User actions, posted so a message box they open never blocks the test.
    void click(HWND button) const;
    void pressKey(WPARAM virtualKey) const;  // key down and up at the main window
    void closeWindow() const;                // WM_CLOSE
    void closeFromTitleBar() const;          // WM_SYSCOMMAND SC_CLOSE

    // A message box (#32770) of this process; handle null when none came.
    MessageBoxInfo waitForMessageBox(DWORD timeoutMs = 10000) const;
    static void pressOk(HWND messageBox);

    // Whether the process ended within `timeoutMs`.
    bool waitForExit(DWORD timeoutMs = 30000) const;
    DWORD exitCode() const;

private:
    PROCESS_INFORMATION process_{};
    HWND mainWindow_ = nullptr;
};

// A simulated game console on its own thread, in the test process. Fails the
// running test when the game would have crashed or cut a command, when one
// pump took more than vorbix.exe's budget, or when vorbix.exe asked the game
// to print (a bare "echo") more often than its commands needed.
using consolesim::SimOptions;
class SimConsole : public consolesim::SimConsole {
public:
    using consolesim::SimConsole::SimConsole;
    ~SimConsole();

    // The commands the game ran, without the bare "echo" lines vorbix.exe
    // sends to see when the game has taken its input.
    std::vector<consolesim::ReceivedCommand> commands() const;
    std::vector<std::string> commandTexts() const;
    bool waitForCommands(size_t count, unsigned timeoutMs) const;
    size_t echoes() const;
};
