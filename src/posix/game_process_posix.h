// Starting the game as a child process whose console is a pair of pipes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct GameLaunch {
    std::vector<std::string> arguments;  // the program (searched on PATH without a '/'), then its parameters
    std::string directory;               // its working directory; empty for ours
};

struct GameProcess {
    pid_t pid = -1;
    int input = -1;       // write end of the game's standard input (non-blocking)
    int inputProbe = -1;  // our copy of its read end, never read: what the game has not read yet
    bool inputEmptiesWritable = false;  // `input` polls writable only once the game has read everything
    int output = -1;      // read end of the game's standard output and error, in the order printed
};

// Starts the game in a process group of its own, so a Ctrl+C in the
// terminal reaches Vorbix and not the game. Its standard input is a pipe, so
// the engine reads it as a plain stream (no terminal console, no autochat).
// False, with `error` set, when the program cannot be started.
bool spawnGame(const GameLaunch& launch, GameProcess& game, std::string& error);
