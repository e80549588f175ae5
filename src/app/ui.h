// The Win32 front-end: its own record of windows and controls, and what the
// entry, the main window, the tray icon and the dialogs need from each other.
#pragma once

#include <windows.h>

#include <string>

// The main window and the controls the program reads or changes.
struct Ui {
    HWND mainWindow = nullptr;
    bool windowHidden = false;  // hidden to the tray
    HWND statusLabel = nullptr;
    HWND playerNameLabel = nullptr;
    HWND messageFileBox = nullptr;
    HWND launchCheckBox = nullptr;
    HWND soundsCheckBox = nullptr;
    HWND announcementsCheckBox = nullptr;
    HWND displaysCheckBox = nullptr;
    HWND connectBox = nullptr;
    HWND gamePathBox = nullptr;
    HWND parametersBox = nullptr;
};
extern Ui ui;

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
// Posted to the main window when console events wait in the inbox.
constexpr UINT kConsoleEventsMessage = WM_APP + 1;
// The main window's timer that wakes the loop when a core timer falls due.
constexpr UINT_PTR kLoopTimerId = 1;

// Controls (controls.cpp).
std::string controlText(HWND control);
bool isChecked(HWND checkBox);
void setChecked(HWND checkBox, bool checked);

// Main window (main_window.cpp).
extern const char* const kMainWindowClassName;
extern const char* const kMainWindowTitle;
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void showMainWindow();
void hideMainWindow();
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

// Tray icon (tray.cpp).
void addTrayIcon();
// Number of the shell's "TaskbarCreated" message, registered on first use.
UINT taskbarCreatedMessage();
// The icon goes again after the taskbar was re-created, unless it was removed.
void onTaskbarCreated();
void onTrayCallback(LPARAM mouseMessage);

// Modal dialogs owned by the main window (dialogs.cpp).
void runStatisticsDialog();
void runAnnouncementsDialog();
void runAboutDialog();
void fillAnnouncementsDialog(HWND dialog);
void readAnnouncementsDialog(HWND dialog);

// The message-file list (message_file_list.cpp): fills the box from
// messages\* and selects the saved, the English or the first file; returns
// the number of items.
int listMessageFiles();
