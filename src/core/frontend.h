// The front-end seam: what the core reports for the player to see. The Win32
// window (src/app) and the terminal (src/terminal) each show it in their own
// words; the native tests link a recording fake. Front-end's thread only.
#pragma once

#include <cstdint>

#include "core/stats_record.h"

// The feature switches an in-game command can turn on and off.
enum class Switch { kSounds, kAnnouncements, kDisplays };

// What the run has counted so far, saved or not.
struct RunCounts {
    StatsRecord tally{};
    uint32_t killsInARow = 0;
};

// Where the search for the game stands ("Searching for Spearhead.", "Found Game").
void showStatus(const char* text);
// The player's name as detected; empty once the game has gone.
void showPlayerName(const char* name);
// An in-game command turned a switch on or off.
void showSwitch(Switch which, bool on);
// The linked game has gone: the front-end comes back into view.
void showGameGone();
// The run's counts after a poll step that handled something.
void showRunCounts(const RunCounts& run);
// A failure the player must acknowledge (a message box on Windows, a line on
// standard error in the terminal); waits until it is acknowledged.
void showWarning(const char* text, const char* caption);
// Something the player should know, shown without stopping anything.
void showNotice(const char* text);
// The exit path: the front-end's icon outside its window (the notification
// area's) goes.
void removeTrayIcon();
