#include "replay/replay_platform.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/frontend.h"
#include "core/platform.h"

namespace replay {

ReplayWorld world;

}  // namespace replay

using replay::world;

void startConsoleChannel() {}
void sendConsoleCommand(const std::string& command) { world.commands.push_back(command); }
void releaseConsoleCommands() {}
bool flushConsoleCommands(unsigned) { return true; }
void wakeMainLoop() {}

void playSoundFile(const char*) {}
void sleepMs(unsigned) {}
int32_t nowSeconds() { return world.now; }
uint64_t nowMilliseconds() { return world.nowMs; }
void exitProcess(int code) { std::exit(code); }
std::string currentDirectory() { return std::filesystem::current_path().string(); }

void showStatus(const char*) {}
void showPlayerName(const char*) {}
void showSwitch(Switch, bool) {}
void showGameGone() {}
void showRunCounts(const RunCounts&) {}
void showWarning(const char* text, const char* caption) { std::fprintf(stderr, "vorbix: %s: %s\n", caption, text); }
void showNotice(const char* text) { std::fprintf(stderr, "vorbix: %s\n", text); }
void removeTrayIcon() {}
