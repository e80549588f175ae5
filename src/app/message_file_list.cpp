// Fills the main window's message-file list from messages\* and selects the
// file to start with.
#include <windows.h>

#include <cstdio>

#include "app/ui.h"
#include "core/app_state.h"
#include "core/platform.h"

namespace {

constexpr const char* kFallbackMessageFile = "english.ini";

HWND messageFileList() { return ui.messageFileBox; }

// Selects the first item that begins with `prefix`, ignoring case.
bool selectItemStartingWith(const char* prefix) {
    return SendMessageA(messageFileList(), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(prefix)) != CB_ERR;
}

}  // namespace

int listMessageFiles() {
    // A current directory too long for the pattern lists nothing, so start-up
    // reports that no message file was found.
    char pattern[MAX_PATH];
    int length = std::snprintf(pattern, sizeof pattern, "%s\\messages\\*", currentDirectory().c_str());
    if (length > 0 && static_cast<size_t>(length) < sizeof pattern)
        SendMessageA(messageFileList(), CB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(pattern));

    const char* saved = app.settingsIni.GetValue("", "defaultmsgfile", nullptr);
    if (!(saved && selectItemStartingWith(saved)) && !selectItemStartingWith(kFallbackMessageFile))
        SendMessageA(messageFileList(), CB_SETCURSEL, 0, 0);
    return static_cast<int>(SendMessageA(messageFileList(), CB_GETCOUNT, 0, 0));
}
