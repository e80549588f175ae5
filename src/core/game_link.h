// The game the console transport is linked to, as the front-end's thread
// knows it: set when it takes the transport's "linked" event, cleared when it
// takes the "lost" one.
#pragma once

#include <cstdint>

enum class LinkKind : uint8_t {
    kNone,           // no game linked
    kConsoleWindow,  // the retail game's console window: read and typed into
    kGamePipes,      // a game started with its standard input and error as pipes
    kGameLog,        // the open-source engine's log file: read only
};

struct GameLink {
    LinkKind kind = LinkKind::kNone;
    // Tells one link from the next: a command is delivered only to the link
    // it was sent to.
    uint32_t id = 0;
    int edition = 0;  // index into kGameEditions
};

inline bool isLinked(const GameLink& link) { return link.kind != LinkKind::kNone; }
// Commands can reach the game only through its console window or its pipes.
inline bool takesCommands(const GameLink& link) {
    return link.kind == LinkKind::kConsoleWindow || link.kind == LinkKind::kGamePipes;
}
