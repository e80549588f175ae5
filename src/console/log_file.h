// The platform's side of following the game's log file
// (windows/log_file_win32.cpp, posix/log_file_posix.cpp): looking at the
// file, reading it, and waking when its folder changes. Nothing here ever
// stops the game from writing, emptying, renaming or deleting its log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "console/log_follow.h"

// Opens the file at `path` for this look alone, notes what it is (identity,
// size, last write, first bytes) and reads up to `count` bytes from `offset`
// into `data`, all through the one open file, then closes it. A file that is
// missing or cannot be opened gives `look.exists` false.
void lookAtLogFile(const std::string& path, uint64_t offset, size_t count, LogLook& look, std::string& data);

// A watch over the folder that holds a log.
struct LogWatch;
// Never null; a folder that cannot be watched gives a watch that only waits.
LogWatch* startLogWatch(const std::string& logPath);
// Waits until something in the folder changes, wakeLogWatch is called, or
// `timeoutMs` passes. True when a change or a wake ended the wait.
bool waitForLogChange(LogWatch* watch, unsigned timeoutMs);
// True when the watch reports changes at all (inotify, a Windows change
// notification); not that every write is reported, nor at once.
bool logWatchReports(LogWatch* watch);
// Any thread: ends the current or next wait at once.
void wakeLogWatch(LogWatch* watch);
void stopLogWatch(LogWatch* watch);
