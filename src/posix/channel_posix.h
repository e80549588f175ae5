// The console channel over a child process's pipes (Linux and macOS): the
// front-end starts the game through it, then startConsoleChannel() links it.
#pragma once

#include <string>

#include "posix/game_process_posix.h"

// The engine reads its standard input with one read() of at most this many
// bytes and takes the last byte read for the line feed (CON_Input).
constexpr size_t kEngineReadSize = 256;
// The longest command that reaches the game whole: one read, line feed included.
constexpr size_t kLongestCommand = kEngineReadSize - 1;

// Starts the game (see spawnGame). False with `error` set when it cannot be started.
bool startGame(const GameLaunch& launch, std::string& error);
// Called on the channel's reader thread with every line the game prints,
// without its line feed, before the line is posted to the poll. It must
// never wait: the game blocks on its next print once its pipe is full.
void setGameOutputSink(void (*sink)(const std::string& line));
// True once the game process has ended and its last line was posted.
bool gameEnded();
// The game's wait status (see waitpid) once it has ended.
int gameWaitStatus();
// Sends `signal` to the game's process group.
void signalGame(int signal);
