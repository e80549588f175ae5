// The notification-area icon and its popup menu.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/resource.h"
#include "app/ui.h"
#include "core/frontend.h"

namespace {

constexpr UINT kTrayIconId = 1;
constexpr UINT kTrayMenuFlags = TPM_RETURNCMD | TPM_RIGHTBUTTON;  // 0x180

// True from addTrayIcon to removeTrayIcon.
bool trayIconShown = false;

HWND mainWindowHandle() { return ui.mainWindow; }

// The record's first version: its size, owner and id name the icon.
NOTIFYICONDATAA trayIconRecord() {
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = mainWindowHandle();
    record.uID = kTrayIconId;
    return record;
}

void addIcon() {
    NOTIFYICONDATAA record = trayIconRecord();
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
    record.uCallbackMessage = kTrayCallbackMessage;
    static const HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VORBIX), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    record.hIcon = icon;
    lstrcpynA(record.szTip, "My very own system tray icon!", sizeof record.szTip);
    Shell_NotifyIconA(NIM_ADD, &record);
}

void showTrayMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kCommandAbout, "About");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCommandShowHide, ui.windowHidden ? "Restore" : "Hide");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCommandClose, "Exit");

    DWORD position = GetMessagePos();
    HWND window = mainWindowHandle();
    SetForegroundWindow(window);
    int chosen = TrackPopupMenu(menu, kTrayMenuFlags, GET_X_LPARAM(position), GET_Y_LPARAM(position), 0, window,
                                nullptr);
    // Lets the menu close properly when the user clicks elsewhere.
    SendMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);

    switch (chosen) {
    case kCommandClose: SendMessageA(window, WM_DESTROY, 0, 0); break;
    case kCommandShowHide: toggleMainWindow(); break;
    case kCommandAbout: runAboutDialog(); break;
    default: break;  // closed without a choice
    }
}

}  // namespace

void addTrayIcon() {
    addIcon();
    trayIconShown = true;
}

void removeTrayIcon() {
    NOTIFYICONDATAA record = trayIconRecord();
    Shell_NotifyIconA(NIM_DELETE, &record);
    trayIconShown = false;
}

UINT taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

void onTaskbarCreated() {
    if (trayIconShown) addIcon();
}

void onTrayCallback(LPARAM mouseMessage) {
    // 0 arrives when the dialog keyboard handling asks for a default button
    // with the same message number; it is ignored like any other.
    switch (mouseMessage) {
    case WM_LBUTTONUP: showMainWindow(); break;
    case WM_RBUTTONUP: showTrayMenu(); break;
    default: break;
    }
}
