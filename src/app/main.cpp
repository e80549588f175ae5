// Program entry: start-up in order, then the message loop that drives the
// console poll.
#include <windows.h>

#include "app/ui.h"
#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "core/timers.h"
#include "wiring/poll.h"
#include "wiring/startup.h"

namespace {

// How long the loop waits for commands still queued for the game at exit:
// long enough for a game that pumps, short enough for one loading a map.
constexpr unsigned kFlushAtExitMs = 2000;

// The main window's timer wakes the loop when the next core timer is due.
void setLoopTimer() {
    const int64_t due = msUntilNextTimer();
    if (due < 0)
        KillTimer(ui.mainWindow, kLoopTimerId);
    else
        SetTimer(ui.mainWindow, kLoopTimerId, due > USER_TIMER_MINIMUM ? static_cast<UINT>(due) : USER_TIMER_MINIMUM,
                 nullptr);
}

// The console channel wakes the loop with a message whenever it has news, so
// a poll step follows every message taken, as the poll needs.
int runMessageLoop() {
    int32_t lastSearchTime = 0;
    MSG msg;
    for (;;) {
        BOOL result = GetMessageA(&msg, nullptr, 0, 0);
        if (result == 0) break;
        if (result > 0 && !IsDialogMessageA(ui.mainWindow, &msg) && GetFocus() != nullptr) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        pollConsole(lastSearchTime);
        setLoopTimer();
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    taskbarCreatedMessage();
    // A failed start-up still builds the window, then ends the loop at once.
    // The quit request waits until start-up is over: a message box opened
    // while it is pending would close at once, unseen.
    bool startupFailed = !loadStartSettings();

    MainWindowClass windowClass(instance);
    windowClass.registerClass();
    MainWindow window;
    window.create(instance);
    ui.mainWindow = window.handle();
    window.show(showCommand);

    addTrayIcon();
    const int listed = listMessageFiles();
    if (!loadStartMessageFile(listed, controlText(ui.messageFileBox))) startupFailed = true;
    if (startupFailed) PostQuitMessage(0);
    startConsoleChannel();

    int code = runMessageLoop();
    flushConsoleCommands(kFlushAtExitMs);
    return code;
}
