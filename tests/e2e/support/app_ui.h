// Reaching into vorbix.exe's own windows from a test: controls by their
// text, its dialogs and its popup menu, and the settings file it wrote.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/harness.h"

// The main window's control of `className` showing `text`; null when none.
HWND controlWithText(const VorbixProcess& vorbix, const char* className, const std::string& text);
// Sets a control's text as a program would (WM_SETTEXT), waiting for it.
// Both fail the test when the control does not answer.
void setWindowText(HWND window, const std::string& text);
bool isChecked(HWND checkBox);
// A top-level dialog (#32770) of the process with this caption, once it is
// visible: a dialog shows only after its WM_INITDIALOG filled it.
HWND waitForDialog(DWORD pid, const std::string& caption, DWORD timeoutMs = 10000);
// Ends a dialog with the command of its button (IDOK, IDCANCEL) and waits
// until it is gone; fails the test when it stays.
void endDialog(HWND dialog, WPARAM command);
// The process's open popup menu window (#32768); null when none.
HWND findPopupMenu(DWORD pid);
HWND waitForPopupMenu(DWORD pid, DWORD timeoutMs = 10000);
// The texts of the open popup menu's entries, separators as "", read from
// inside vorbix.exe by tools/menu_probe (vorbix.exe runs in `runDir`).
std::vector<std::string> popupMenuEntries(HWND menuWindow, const TestDir& runDir);

// One value of an INI file as the program will read it next start, or
// `absent` when the key is not there.
std::string iniValue(const std::string& path, const char* section, const char* key,
                     const char* absent = "<absent>");
