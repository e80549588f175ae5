// Program entry: start-up in order, then the message loop that drives the
// console poll.
#include <windows.h>

#include "core/settings.h"
#include "app/ui_win32.h"
#include "console/channel_win32.h"
#include "console/keywords.h"
#include "console/poll.h"
#include "platform/platform.h"
#include "player/message_files.h"

namespace {

constexpr UINT_PTR kWakeUpTimer = 1;
// How long the loop waits for commands still queued for the game at exit.
constexpr unsigned kFlushAtExitMs = 3000;

// Period of the loop's wake-up, so the poll runs while the window is hidden
// or idle and no other messages arrive. Fast while the game is printing, so a
// line is read within a few milliseconds; slow while the game is quiet or only
// searched for, so an idle loop costs next to nothing. Under Wine one poll of
// a linked console costs about 0.1 ms of CPU.
constexpr UINT kBusyPeriodMs = 10;
constexpr UINT kQuietPeriodMs = 100;
constexpr UINT kSearchPeriodMs = 100;
// How long the game counts as printing after the last text it printed.
constexpr unsigned kBusyForMs = 2000;

UINT wakeUpPeriodMs() {
    if (app.console.consoleWindow == nullptr) return kSearchPeriodMs;
    return msSinceConsoleText() < kBusyForMs ? kBusyPeriodMs : kQuietPeriodMs;
}

void updateWakeUpTimer() {
    static UINT currentPeriod = 0;
    UINT period = wakeUpPeriodMs();
    if (period == currentPeriod) return;
    if (SetTimer(static_cast<HWND>(app.mainWindow), kWakeUpTimer, period, nullptr) != 0) currentPeriod = period;
}

// The selected message file's name, kept for the life of the program.
char startMessageFile[100];

// False when no message file was found.
bool loadStartMessageFile() {
    if (listMessageFiles() == 0) {
        showWarning("Failed to find any message files", "Vorbix3");
        return false;
    }
    GetWindowTextA(static_cast<HWND>(app.messageFileBox), startMessageFile, sizeof startMessageFile);
    loadMessageFile(startMessageFile);
    return true;
}

int runMessageLoop() {
    int32_t searchIndex = 0;
    int32_t lastSearchTime = 0;
    MSG msg;
    for (;;) {
        BOOL result = GetMessageA(&msg, nullptr, 0, 0);
        if (result == 0) break;
        if (result > 0 && !IsDialogMessageA(static_cast<HWND>(app.mainWindow), &msg) && GetFocus() != nullptr) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        pollConsole(searchIndex, lastSearchTime);
        updateWakeUpTimer();
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    taskbarCreatedMessage();
    app.pendingStats = StatsRecord{};
    // A failed start-up still builds the window, then ends the loop at once.
    // The quit request waits until start-up is over: a message box opened
    // while it is pending would close at once, unseen.
    bool startupFailed = false;
    if (!loadSettingsFile()) {
        showWarning("Failed to load vorbix.ini", "Vorbix3");
        startupFailed = true;
    }
    loadSettings();
    loadKillTime();

    MainWindowClass windowClass(instance);
    windowClass.registerClass();
    MainWindow window;
    window.create(instance);
    app.mainWindow = window.handle();
    window.show(showCommand);

    addTrayIcon();
    if (!loadStartMessageFile()) startupFailed = true;
    if (startupFailed) PostQuitMessage(0);
    updateWakeUpTimer();

    int code = runMessageLoop();
    flushConsoleCommands(kFlushAtExitMs);
    return code;
}
