// The front-end seam: what the core reports for the player to see. The Win32
// window (src/app) and the terminal (src/terminal) each show it in their own
// words; the native tests link a recording fake.
#pragma once

// A failure the player must acknowledge (a message box on Windows, a line on
// standard error in the terminal); waits until it is acknowledged.
void showWarning(const char* text, const char* caption);
// Something the player should know, shown without stopping anything.
void showNotice(const char* text);
