// Texts and check boxes of windows and dialog items, and the warning box.
#include <windows.h>

#include "core/platform.h"

namespace {

HWND asWindow(WindowHandle handle) { return static_cast<HWND>(handle); }

}  // namespace

void setControlText(WindowHandle control, const char* text) { SetWindowTextA(asWindow(control), text); }

std::string getControlText(WindowHandle control) {
    // The length can be an over-estimate (it may count double-byte text
    // twice); the copy reports what it really wrote.
    int length = GetWindowTextLengthA(asWindow(control));
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(asWindow(control), &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void setCheckBox(WindowHandle checkBox, bool checked) {
    SendMessageA(asWindow(checkBox), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool isCheckBoxChecked(WindowHandle checkBox) {
    return SendMessageA(asWindow(checkBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setDialogItemText(WindowHandle dialog, int id, const char* text) { SetDlgItemTextA(asWindow(dialog), id, text); }

void showWarning(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONWARNING); }

// A notice takes the status line until the status changes again: a message
// box would stop the game's player in the middle of a match.
void showNotice(const char* text) { SetWindowTextA(asWindow(app.statusLabel), text); }
