// The message-file wiring: which phrase calls which handler, and the fixed
// entries every message file gets.
#pragma once

// Rebuilds the four tables from messages/<name>: the fixed entries, then the
// sections of the file in their order. A file that cannot be read leaves the
// tables as they were and says so (in the game, and in a message box while
// no game is linked).
void loadMessageFile(const char* name);
// Appends "timed out" / onTimedOut to table A when a slot is free.
void addTimedOutEntry();
// Private mode: a "<name> timed out" line makes the game reconnect.
void onTimedOut(const char* match, char* line);
