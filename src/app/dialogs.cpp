// The modal dialogs: Statistics, Announcements and About.
#include <windows.h>

#include "app/resource.h"
#include "app/statistics_dialog.h"
#include "app/ui.h"
#include "core/app_state.h"
#include "stats/stats_store.h"

namespace {

// OK, Enter, Cancel, Escape and the close box end every dialog with result 0.
bool isEndCommand(WPARAM wParam) { return wParam == IDOK || wParam == IDCANCEL; }

INT_PTR CALLBACK statisticsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const auto& [id, text] : statisticsDialogTexts(lifetimeTotals())) SetDlgItemTextA(dialog, id, text.c_str());
        return TRUE;
    }
    if (message == WM_COMMAND && isEndCommand(wParam)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK announcementsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        fillAnnouncementsDialog(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND && isEndCommand(wParam)) {
        if (wParam == IDOK) readAnnouncementsDialog(dialog);
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && isEndCommand(wParam)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

void runDialog(int resource, DLGPROC procedure) {
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), ui.mainWindow,
                    procedure, 0);
}

}  // namespace

void runStatisticsDialog() { runDialog(IDD_STATISTICS, statisticsDialogProc); }
void runAnnouncementsDialog() { runDialog(IDD_ANNOUNCEMENTS, announcementsDialogProc); }
void runAboutDialog() { runDialog(IDD_ABOUT, aboutDialogProc); }

void fillAnnouncementsDialog(HWND dialog) {
    for (int key = 0; key < kAnnouncementCount; ++key) {
        const std::optional<std::string>& text = app.announcementTexts[key];
        SetDlgItemTextA(dialog, IDC_ANNOUNCE_FIRST + key, text ? text->c_str() : "");
    }
}

void readAnnouncementsDialog(HWND dialog) {
    for (int key = 0; key < kAnnouncementCount; ++key)
        app.announcementTexts[key] = controlText(GetDlgItem(dialog, IDC_ANNOUNCE_FIRST + key));
}
