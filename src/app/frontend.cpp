// The Win32 window's side of the front-end seam: the core's reports become
// control texts, check marks, message boxes; and the controls' own helpers.
#include <windows.h>

#include "app/ui.h"
#include "core/frontend.h"
#include "core/platform.h"

Ui ui;

std::string controlText(HWND control) {
    // The length can be an over-estimate (it may count double-byte text
    // twice); the copy reports what it really wrote.
    int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(control, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

bool isChecked(HWND checkBox) { return SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void setChecked(HWND checkBox, bool checked) {
    SendMessageA(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void showStatus(const char* text) { SetWindowTextA(ui.statusLabel, text); }

void showPlayerName(const char* name) { SetWindowTextA(ui.playerNameLabel, name); }

void showSwitch(Switch which, bool on) {
    switch (which) {
    case Switch::kSounds: setChecked(ui.soundsCheckBox, on); break;
    case Switch::kAnnouncements: setChecked(ui.announcementsCheckBox, on); break;
    case Switch::kDisplays: setChecked(ui.displaysCheckBox, on); break;
    }
}

void showGameGone() { showMainWindow(); }

void showRunCounts(const RunCounts&) {}  // the Statistics dialog shows the totals

void showWarning(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONWARNING); }

// A notice takes the status line until the status changes again: a message
// box would stop the player in the middle of a match.
void showNotice(const char* text) { SetWindowTextA(ui.statusLabel, text); }

void wakeMainLoop() {
    if (ui.mainWindow) PostMessageA(ui.mainWindow, kConsoleEventsMessage, 0, 0);
}
