// Resource ids of vorbix.exe, shared by vorbix.rc and the Win32 code.
#pragma once

#define IDI_VORBIX 102
#define IDD_STATISTICS 103
#define IDD_ANNOUNCEMENTS 104
#define IDD_ABOUT 105

// The Statistics dialog's button that writes and opens the history report.
#define IDC_REPORT 1045

// The Announcements dialog's text boxes, in the order of AnnouncementKey.
#define IDC_ANNOUNCE_FIRST 1010
#define IDC_ANNOUNCE_LAST 1017
