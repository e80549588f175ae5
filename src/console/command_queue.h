// The commands on their way to the game, shared by the console transports.
// The front-end's thread sends; the commands of one poll step wait until the
// step ends (releaseCommands), so everything one console line causes reaches
// the transport together; the transport's thread takes them in order, as fast
// as its game takes them, and reports when they have reached the game. A
// command goes only to the link it was sent to: losing the game drops it.
// A command that cannot reach the game whole is refused with a notice.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

struct CommandQueue {
    explicit CommandQueue(size_t longestCommand) : longest(longestCommand) {}

    // The longest command that reaches the game whole; longer ones, and
    // ones holding a line break, are refused.
    const size_t longest;
    // Called, without the lock, when commands become ready for the transport.
    void (*wake)() = nullptr;

    std::mutex mutex;
    std::condition_variable changed;
    uint32_t openLink = 0;  // the link commands are delivered to; 0: none
    struct Command {
        uint32_t link;
        std::string text;
    };
    std::vector<Command> held;   // sent in the poll step under way
    std::deque<Command> ready;   // for the transport, oldest first
    size_t inFlight = 0;         // taken by the transport, not yet known to have reached the game
};

// Front-end's thread: queues `command` for link `link` (0: none linked, the
// command is lost). False when the command will not be delivered.
bool queueCommand(CommandQueue& queue, uint32_t link, const std::string& command);
// Front-end's thread: the poll step is over; its commands go to the transport.
void releaseCommands(CommandQueue& queue);
// Transport: commands go to `link` from now on (0: the game is gone, every
// waiting command is dropped).
void openCommands(CommandQueue& queue, uint32_t link);
// Transport: takes whole commands from the front, each counted with the one
// byte that ends it (line feed or Enter), while they fit in `room` bytes;
// the first always comes when `takeFirstAnyway`. At most `most` commands.
// Commands for an older link are dropped on the way.
std::vector<std::string> takeCommands(CommandQueue& queue, size_t room, size_t most, bool takeFirstAnyway);
// Transport: the size of the next command with its ending byte; 0 when none waits.
size_t nextCommandBytes(CommandQueue& queue);
// Transport: `count` commands taken earlier have reached the game.
void commandsReached(CommandQueue& queue, size_t count);
// Any thread but the transport's: releases the held commands, then waits
// until none is left to deliver (each reached the game, or was dropped with
// its game), or `timeoutMs` passed. False on the timeout.
bool waitUntilReached(CommandQueue& queue, unsigned timeoutMs);
