// Finding the game through its log when it has no console to read: the
// open-source engine's Windows client has no console window, but writes
// everything it prints to its log ("+set logfile 2").
#pragma once

#include "console/game_homes.h"

// One step of the search while no console window is found (at most one look
// a second): follows the newest log being written in the engine's home
// folders, and moves to another when the followed one's game has ended and
// another is written. Transport's thread.
void lookForLiveLog();
// Follows `log` from now on (the terminal's --follow), whatever is written.
void followLog(const FoundLog& log);
// The log at `path` as the search would have found it: its edition from its
// game folder's name, the config home beside its home (the engine's own
// homes are asked first, for Linux's separate config folder).
FoundLog logAt(const std::string& path);
// A console window was found: the log is no longer followed.
void stopFollowingLogs();
// The log followed now, for the name in the config beside it; empty path
// when none. Any thread.
FoundLog followedLog();
