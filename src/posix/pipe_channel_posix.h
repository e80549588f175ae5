// The pipe channel's state, shared by its two halves: reading the game's
// output (channel_posix.cpp) and typing commands into its input
// (pipe_writer_posix.cpp). Internal to src/posix.
#pragma once

#include <mutex>
#include <string>

#include "console/command_queue.h"
#include "posix/channel_posix.h"

struct PipeChannel {
    CommandQueue queue{kLongestCommand};
    std::mutex mutex;
    bool started = false;  // the game was started
    bool linked = false;   // startConsoleChannel ran: commands are taken
    bool ended = false;    // the game has ended: commands go nowhere
    int waitStatus = 0;
    GameProcess game;
    void (*sink)(const std::string& line) = nullptr;
};

// Never destroyed: the channel's threads may still run during process exit.
PipeChannel& pipeChannel();
bool pipeGameEnded(PipeChannel& ch);
// The writer thread's body: types the released commands into the game's
// input, one engine read's worth at a time, as fast as the game reads.
void runPipeWriter();
