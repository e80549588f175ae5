// The console poll step and the dispatch of console lines through table A.
#pragma once

#include <cstdint>
#include <vector>

// One poll step: search one game edition while no console is linked, or read
// the console and dispatch its new complete lines while one is.
void pollConsole(int32_t& searchIndex, int32_t& lastSearchTime);

// Cuts `text` into lines in place (terminators written into it): pieces
// between line feeds, last character (the CR) removed, pieces of 5
// characters or fewer dropped.
std::vector<char*> splitConsoleLines(char* text);

// The game prints every chat line after this byte (the expansions print their
// join and leave notices after it as well).
constexpr char kChatByte = '\x02';

// Calls the handler of every table A slot whose phrase occurs in `line`. A
// line holding a chat print reaches none of them: see onChatByteLine.
void dispatchLine(char* line);
