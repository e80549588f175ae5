// The seam between the portable core and the platform. The Win32 build links
// the real implementations (*_win32.cpp); the native tests link recording
// fakes (tests/fakes). Plain functions, no interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/app_state.h"
#include "core/frontend.h"

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
// Wakes the front-end's loop: console events are waiting.
void wakeMainLoop();

// --- Windows and controls (app/*_win32.cpp) ---
void setControlText(WindowHandle control, const char* text);
std::string getControlText(WindowHandle control);
void setCheckBox(WindowHandle checkBox, bool checked);
bool isCheckBoxChecked(WindowHandle checkBox);
void showMainWindow();
void hideMainWindow();
// Text of control `id` inside a dialog.
void setDialogItemText(WindowHandle dialog, int id, const char* text);
// Removes the notification-area icon.
void removeTrayIcon();
// Asks the shell to "open" `program` with `parameters` in `directory`.
void openProgram(const std::string& program, const std::string& parameters, const std::string& directory);

// --- Sound, time, threads, process ---
// Plays a WAV file to its end (synchronous); a missing file plays nothing.
void playSoundFile(const char* path);
// Runs `work` on a new detached thread.
void startWorker(void (*work)());
void sleepMs(unsigned milliseconds);
// The standard clock in whole seconds, as a signed 32-bit value.
int32_t nowSeconds();
// Ends the process at once with `code`, without the exit path.
[[noreturn]] void exitProcess(int code);
// The current directory, without a trailing separator.
std::string currentDirectory();
