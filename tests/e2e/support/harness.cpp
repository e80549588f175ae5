#include "support/harness.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr const char* kMainWindowClass = "Vorbix WonClass";
constexpr const char* kMainWindowTitle = "Vorbix3 Beta2";
// Longest a call into vorbix.exe may wait for its answer.
constexpr UINT kAnswerMs = 5000;

constexpr const char* kDefaultIni =
    "kill_time=10\r\n"
    "[vorbix]\r\n"
    "sounds=0\r\n"
    "displays=0\r\n"
    "announcements=0\r\n"
    "[game]\r\n"
    "launchmohaa=0\r\n";

std::string classNameOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

DWORD processOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

}  // namespace

HWND findTopLevel(DWORD pid, const char* className, const char* title, bool visibleOnly) {
    struct Search {
        DWORD pid;
        const char* className;
        const char* title;
        bool visibleOnly;
        HWND found;
    } search{pid, className, title, visibleOnly, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (processOf(window) != s->pid || classNameOf(window) != s->className) return TRUE;
            if ((s->visibleOnly && !IsWindowVisible(window)) || (s->title && windowTextOf(window) != s->title))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {
bool isEcho(const consolesim::ReceivedCommand& command) { return command.text == "echo"; }
}  // namespace

SimConsole::~SimConsole() {
    const consolesim::SimFaults faults = this->faults();
    EXPECT_FALSE(faults.overrun) << "the game's console input buffer overflowed: the game crashed";
    EXPECT_TRUE(faults.cut.empty()) << faults.cut.size() << " command(s) cut, first: " << faults.cut.front();
    // vorbix.exe gives a pump at most 400 bytes; only a longer command goes
    // beyond, alone but for a 5-byte "echo" before and after it. It asks for
    // an echo only once its commands filled the budget.
    size_t longest = 0, bytes = 0;
    for (const std::string& text : commandTexts()) {
        longest = std::max(longest, text.size() + 1);
        bytes += text.size() + 1;
    }
    EXPECT_LE(faults.mostInOnePump, std::max<size_t>(400, longest + 10)) << "one pump took too much of the input buffer";
    EXPECT_LE(echoes(), 1 + bytes / 200) << "more echoes than " << bytes << " bytes of commands need";
}

std::vector<consolesim::ReceivedCommand> SimConsole::commands() const {
    std::vector<consolesim::ReceivedCommand> all = consolesim::SimConsole::commands();
    all.erase(std::remove_if(all.begin(), all.end(), isEcho), all.end());
    return all;
}

std::vector<std::string> SimConsole::commandTexts() const {
    std::vector<std::string> texts;
    for (const consolesim::ReceivedCommand& command : commands()) texts.push_back(command.text);
    return texts;
}

bool SimConsole::waitForCommands(size_t count, unsigned timeoutMs) const {
    return waitUntil([&] { return commands().size() >= count; }, timeoutMs);
}

size_t SimConsole::echoes() const {
    const std::vector<consolesim::ReceivedCommand> all = consolesim::SimConsole::commands();
    return static_cast<size_t>(std::count_if(all.begin(), all.end(), isEcho));
}

bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        Sleep(20);
    }
}

void prepareRunDir(const TestDir& dir, const std::string& ini) {
    dir.write("vorbix.ini", ini.empty() ? kDefaultIni : ini);
    dir.copyFromSource("tests/e2e/data/messages", "messages");
    dir.mkdir("sounds");
}

StatsRecord statsFileIn(const TestDir& dir) {
    const std::string bytes = dir.read(kStatsFileName);
    EXPECT_EQ(bytes.size(), kStatsFileSize);
    return decodeStats(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void openPagesWithTheStandIn() {
    const std::string command = "\"" + exeDir() + "\\MOHAA.exe\" \"%1\"";
    const auto setDefault = [](const char* key, const std::string& value) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(handle);
    };
    setDefault(".html", "VorbixTestPage");
    setDefault("VorbixTestPage\\shell\\open\\command", command);
}

std::string windowTextOf(HWND window) {
    // Asked as UTF-16 and converted back: the ANSI form of WM_GETTEXT comes
    // back empty from another process's combo box under Wine.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length)) return {};
    std::wstring wide(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                             kAnswerMs, &copied))
        return {};
    wide.resize(copied < length ? copied : length);
    if (wide.empty()) return {};
    int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

std::vector<ChildWindow> childWindows(HWND parent) {
    std::vector<ChildWindow> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ChildWindow info;
        info.handle = child;
        info.className = classNameOf(child);
        info.text = windowTextOf(child);
        info.style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        info.id = GetDlgCtrlID(child);
        GetWindowRect(child, &info.rect);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&info.rect), 2);
        children.push_back(info);
    }
    return children;
}

VorbixProcess::VorbixProcess(const TestDir& dir) {
    std::string program = exeDir() + "\\vorbix.exe";
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.path().c_str(),
                        &startup, &process_))
        process_ = PROCESS_INFORMATION{};
}

VorbixProcess::~VorbixProcess() {
    if (!started()) return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND VorbixProcess::waitForMainWindow(DWORD timeoutMs) {
    if (!started()) return nullptr;
    waitUntil(
        [&] {
            mainWindow_ = findTopLevel(pid(), kMainWindowClass, kMainWindowTitle);
            return mainWindow_ != nullptr;
        },
        timeoutMs);
    // Start-up goes on after the window exists (the message-file list is
    // filled later); it is over once the loop first waits for input.
    if (mainWindow_) WaitForInputIdle(process_.hProcess, timeoutMs);
    return mainWindow_;
}

HWND VorbixProcess::control(int index) const {
    std::vector<ChildWindow> children = controls();
    return index >= 0 && index < static_cast<int>(children.size()) ? children[index].handle : nullptr;
}

void VorbixProcess::click(HWND button) const { PostMessageA(button, BM_CLICK, 0, 0); }

void VorbixProcess::pressKey(WPARAM virtualKey) const {
    UINT scanCode = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    PostMessageA(mainWindow_, WM_KEYDOWN, virtualKey, 1 | (scanCode << 16));
    PostMessageA(mainWindow_, WM_KEYUP, virtualKey, 1 | (scanCode << 16) | 0xC0000000);
}

void VorbixProcess::closeWindow() const { PostMessageA(mainWindow_, WM_CLOSE, 0, 0); }

void VorbixProcess::closeFromTitleBar() const { PostMessageA(mainWindow_, WM_SYSCOMMAND, SC_CLOSE, 0); }

MessageBoxInfo VorbixProcess::waitForMessageBox(DWORD timeoutMs) const {
    MessageBoxInfo box;
    if (!started()) return box;
    waitUntil(
        [&] {
            box.handle = findTopLevel(pid(), "#32770", nullptr);
            return box.handle != nullptr;
        },
        timeoutMs);
    if (box.handle) {
        box.caption = windowTextOf(box.handle);
        // A message box shows its text in the static control with id 0xFFFF.
        if (HWND text = GetDlgItem(box.handle, 0xFFFF)) box.text = windowTextOf(text);
    }
    return box;
}

void VorbixProcess::pressOk(HWND messageBox) {
    PostMessageA(messageBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(messageBox, IDOK)));
}

bool VorbixProcess::waitForExit(DWORD timeoutMs) const {
    return started() && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD VorbixProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (started()) GetExitCodeProcess(process_.hProcess, &code);
    return code;
}
