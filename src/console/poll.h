// The console poll step and the dispatch of console lines through table A.
#pragma once

#include <cstdint>

// One poll step on the front-end's thread: takes what the console transport
// reported (console/console_events.h): shows the search, links the game and
// publishes, handles a lost game, and dispatches each new line.
void pollConsole(int32_t& lastSearchTime);

// The game prints every chat line after this byte (the expansions print their
// join and leave notices after it as well).
constexpr char kChatByte = '\x02';

// Calls the handler of every table A slot whose phrase occurs in `line`. A
// line holding a chat print reaches none of them: see onChatByteLine.
void dispatchLine(char* line);
