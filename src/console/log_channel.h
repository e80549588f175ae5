// A console transport that follows the open-source engine's console log
// (qconsole.log) instead of a console: for a game that has no console to read,
// as OpenMoHAA's Windows client. It only reads: no command reaches the game.
//
// A thread follows the one file and posts console events
// (console/console_events.h): kLinked when the log is live (when following
// starts, written within the last half minute and not ended by the game's
// shutdown lines; else as soon as it grows or the game writes it anew), kLines for every complete line the game adds from
// then on, and kLost when the game has ended: its shutdown line was followed
// by two seconds without a write, the file was written anew (the next game
// started: kLost, then kLinked), the file went away, or following stopped.
// Lines already in the file when following starts are not handed out: an
// earlier run may have counted them, or their game has ended.
#pragma once

#include <string>

// Starts following `path`, which need not exist yet: every line the game
// writes from now on is handed out. Its links are of kind kGameLog, for
// `edition` (an index of kGameEditions). False when a log is already followed.
bool startLogFollow(const std::string& path, int edition = 0);
// Stops following and waits for the thread to end; kLost first when linked.
void stopLogFollow();
// Any thread: the followed log is linked (a game is writing it).
bool followedLogLinked();
