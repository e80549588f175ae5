// The seam between the portable core and the platform. The Win32 build links
// the real implementations (*_win32.cpp); the native tests link recording
// fakes (tests/fakes). Plain functions, no interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/app_state.h"
#include "console/editions.h"

// --- Console channel (console/channel_win32.cpp) ---
// Looks for the edition's console window; sets app.console. True when found.
bool findConsole(const GameEdition& edition);
// True while app.console.consoleWindow names an existing window.
bool isConsoleLinked();
// Copies the whole text of the output box. False when there is no text or the
// game did not answer in time.
bool readConsoleText(std::string& text);
// Removes the first `length` characters of the output box (the text that was
// read), leaving whatever the game appended since.
void deleteConsoleText(size_t length);
// Types one command into the game's input line and presses Enter. Commands
// reach the game in the order sent, each text-and-Enter pair unsplit, from
// any thread, without waiting for the game. Lost when no console is linked.
void sendConsoleCommand(const std::string& command);

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
// A message box without owner: OK button, warning icon; waits until closed.
void showWarning(const char* text, const char* caption);

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
