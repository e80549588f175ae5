// Win32-only extras of the console channel.
#pragma once

#include <windows.h>

// Posted to the main window when console events wait in the inbox.
constexpr UINT kConsoleEventsMessage = WM_APP + 1;
