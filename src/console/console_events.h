// What a console transport reports to the front-end's thread, in order: the
// search for the game, finding it, losing it, and the complete lines it
// printed. Transports run on threads of their own and post here; the
// front-end takes the events in its poll step (console/poll.cpp), so the
// handlers, AppState and the controls stay on one thread.
#pragma once

#include <string>

#include <cstdint>

#include "core/game_link.h"

struct ConsoleEvent {
    enum Kind {
        kSearched,  // `edition` was looked for and not found
        kLinked,    // the game was found: `link` holds its handles
        kLost,      // the linked game is gone
        kLines,     // complete lines, in order
    };
    Kind kind = kLines;
    int edition = 0;
    GameLink link;  // kLinked
    // kLines: each line without its own line break and followed by '\n', so
    // one event carries all that one read found.
    std::string lines;
};

// Any thread: queues an event and wakes the front-end's loop.
void postConsoleEvent(ConsoleEvent event);
// Any thread: posts `lines` (each followed by '\n') as one kLines event;
// nothing when empty.
void postConsoleLines(std::string lines);
// Any thread: a transport's news of the link. A new link gets a number that
// tells it from every link before it (makeLink); the transport opens its
// command queue for it before it posts it.
GameLink makeLink(LinkKind kind, int edition);
void postLinked(const GameLink& link);
void postLost();
void postSearched(int edition);
// Front-end thread: the oldest event not taken yet; false when there is none.
bool takeConsoleEvent(ConsoleEvent& event);
// Drops every event not taken yet (tests, and a front-end starting over).
void clearConsoleEvents();

