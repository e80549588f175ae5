// The Win32 side of the application shell: what the entry, the main window,
// the tray icon and the dialogs need from each other.
#pragma once

#include <windows.h>

// Command ids of the main window, its buttons and the tray menu.
enum MainCommand {
    kCommandEnter = 1,
    kCommandClose = 2,
    kCommandStatistics = 3,
    kCommandShowHide = 5,
    kCommandCheckBoxes = 7,
    kCommandAnnouncements = 8,
    kCommandHideLaunch = 9,
    kCommandAbout = 10,
};

// The tray icon's callback message.
constexpr UINT kTrayCallbackMessage = WM_USER;

// Main window (main_window_win32.cpp).
extern const char* const kMainWindowClassName;
extern const char* const kMainWindowTitle;
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// "Hide" / "Restore": shows the hidden window, hides the shown one.
void toggleMainWindow();

// Window class "Vorbix WonClass" with its registration.
class MainWindowClass {
public:
    explicit MainWindowClass(HINSTANCE instance);
    void registerClass() const;

private:
    WNDCLASSEXA description_;
};

// The main window: its handle, creation and first show.
class MainWindow {
public:
    void create(HINSTANCE instance);
    void show(int showCommand) const;
    HWND handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
};

// Tray icon (tray_win32.cpp).
void addTrayIcon();
// Number of the shell's "TaskbarCreated" message, registered on first use.
UINT taskbarCreatedMessage();
// The icon goes again after the taskbar was re-created, unless it was removed.
void onTaskbarCreated();
void onTrayCallback(LPARAM mouseMessage);

// Modal dialogs owned by the main window (dialogs_win32.cpp).
void runStatisticsDialog();
void runAnnouncementsDialog();
void runAboutDialog();
void fillAnnouncementsDialog(HWND dialog);
void readAnnouncementsDialog(HWND dialog);
