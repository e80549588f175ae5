// What the terminal front-end writes: the game's own output (or a log file
// of it), Vorbix's notes, and on a terminal a status line kept at the
// bottom. Every function may be called from any thread and never waits for
// the terminal: a display thread does the writing, so a terminal that stops
// reading (Ctrl+S, a stalled pseudo-terminal) never holds up the reading of
// the game's pipe, the counting or the commands. While it is stalled the
// game's lines beyond a bounded backlog are dropped, and the count of them
// is told once the terminal reads again.
#pragma once

#include <string>

// Sends the game's output to `path` (appended, bytes as printed) instead of
// the terminal. False when the file cannot be opened.
bool openGameLog(const char* path);
// One line the game printed. On a terminal its control bytes are left out.
void writeGameLine(const std::string& line);
// One line of Vorbix's own, "vorbix: <text>", on standard output.
void writeNote(const std::string& text);
// A warning, "vorbix: <caption>: <text>", on standard error.
void writeWarning(const char* caption, const char* text);
// The status line's text; shown only when standard output is a terminal.
void setStatusLine(const std::string& status);
// Writes what is still waiting (giving a stalled terminal `timeoutMs` to
// take it), takes the status line off the screen and closes the log file.
void closeDisplay(unsigned timeoutMs = 2000);
