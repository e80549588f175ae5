// The poll step: what the console transport reported, handled on the
// front-end's thread, and the dispatch of one console line.
#pragma once

#include <cstdint>

// One poll step: takes what the console transport reported
// (console/console_events.h) — shows the search, links the game and
// publishes, handles a lost game, dispatches each new line — runs the timers
// that are due, reports the run's counts when something happened, and
// releases the commands the step sent.
void pollConsole(int32_t& lastSearchTime);

// Dispatches one console line through table A. A line holding a chat print
// reaches none of its handlers: nothing other players type may count,
// command or rename anything (see onChatByteLine).
void dispatchLine(char* line);
