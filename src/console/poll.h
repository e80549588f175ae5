// The console poll step and the dispatch of console lines through table A.
#pragma once

#include <cstdint>

// One poll step on the front-end's thread: takes what the console transport
// reported (console/console_events.h): shows the search, links the game and
// publishes, handles a lost game, and dispatches each new line.
void pollConsole(int32_t& lastSearchTime);

// Calls the handler of every table A slot whose phrase occurs in `line`.
void dispatchLine(char* line);
