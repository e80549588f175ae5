// What the terminal front-end writes: the game's own output (or a log file
// of it), Vorbix's notes, and on a terminal a status line kept at the
// bottom. Every function may be called from any thread.
#pragma once

#include <string>

// Sends the game's output to `path` (appended, bytes as printed) instead of
// the terminal. False when the file cannot be opened.
bool openGameLog(const char* path);
// One line the game printed. On a terminal its control bytes are left out.
void showGameLine(const std::string& line);
// One line of Vorbix's own, "vorbix: <text>", on standard output.
void showNote(const std::string& text);
// A warning, "vorbix: <caption>: <text>", on standard error.
void showWarningLine(const char* caption, const char* text);
// The status line's text; shown only when standard output is a terminal.
void showStatus(const std::string& status);
// Takes the status line off the screen and closes the log file.
void closeDisplay();
