// Program entry: start-up in order, then the message loop that drives the
// console poll.
#include <windows.h>

#include "core/settings.h"
#include "app/ui.h"
#include "console/keywords.h"
#include "console/poll.h"
#include "core/platform.h"
#include "player/message_files.h"

namespace {

// How long the loop waits for commands still queued for the game at exit:
// long enough for a game that pumps, short enough for one loading a map.
constexpr unsigned kFlushAtExitMs = 2000;

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

// The console channel wakes the loop with a message whenever it has news, so
// a poll step follows every message taken, as the poll needs.
int runMessageLoop() {
    int32_t lastSearchTime = 0;
    MSG msg;
    for (;;) {
        BOOL result = GetMessageA(&msg, nullptr, 0, 0);
        if (result == 0) break;
        if (result > 0 && !IsDialogMessageA(static_cast<HWND>(app.mainWindow), &msg) && GetFocus() != nullptr) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        pollConsole(lastSearchTime);
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
    startConsoleChannel();

    int code = runMessageLoop();
    flushConsoleCommands(kFlushAtExitMs);
    return code;
}
