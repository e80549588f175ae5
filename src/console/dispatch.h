// Matching one console line against table A.
#pragma once

// The game prints every chat line after this byte (the expansions print their
// join and leave notices after it as well).
constexpr char kChatByte = '\x02';

// Calls the handler of every table A slot whose phrase occurs in `line`, in
// slot order. The count is read again before every slot: entries appended by
// a handler are tried on this same line, and a reloaded table A is walked on.
// A handler may shorten the line; the slots after it see the shorter line.
void matchTableA(char* line);
