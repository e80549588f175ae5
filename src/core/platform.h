// The platform seam: what the portable core needs of the platform. The
// Windows build links src/windows, the native build src/posix, the native
// tests recording fakes (tests/fakes). Plain functions, no interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// --- Console transport (windows/channel_win32.cpp, posix/channel_posix.cpp) ---
// Starts the transport on a thread of its own: it looks for the game, reads
// what the game prints and posts it as console events (console/console_events.h).
void startConsoleChannel();
// Types one command into the linked game's console, without waiting for the
// game. Commands reach the game in the order sent, each whole and in one
// piece, never faster than the game takes them; those sent in one poll step
// go out together once it ends (releaseConsoleCommands). Lost when no game
// is linked, or when the game it was sent to has gone. Front-end's thread.
void sendConsoleCommand(const std::string& command);
// The poll step is over: the commands it sent go to the game.
void releaseConsoleCommands();
// Releases the commands sent so far and waits until each has reached the
// game (or was dropped with a game that has gone), or until `timeoutMs` has
// passed. False on the timeout.
bool flushConsoleCommands(unsigned timeoutMs);
// Wakes the front-end's loop from any thread: console events are waiting.
// The front-end implements it, since the loop is its own.
void wakeMainLoop();

// --- Sound, time, process ---
// Plays a WAV file; sounds play one after another in the order asked, each
// to its end, without holding up the caller. A missing file plays nothing.
void playSoundFile(const char* path);
void sleepMs(unsigned milliseconds);
// The standard clock in whole seconds, as a signed 32-bit value.
int32_t nowSeconds();
// A monotonic clock in milliseconds, for timers.
uint64_t nowMilliseconds();
// Ends the process at once with `code`, without the exit path.
[[noreturn]] void exitProcess(int code);
// The current directory, without a trailing separator.
std::string currentDirectory();
