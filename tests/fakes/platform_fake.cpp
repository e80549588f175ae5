#include "fakes/platform_fake.h"

#include <cstring>

#include "console/console_events.h"
#include "core/app_state.h"
#include "core/timers.h"
#include "stats/map_history.h"
#include "wiring/poll.h"

FakePlatform fake;

namespace {

const char* const kSwitchNames[] = {"sounds", "announcements", "displays"};

}  // namespace

void resetFakes() {
    closeMapHistory();
    resetAppState();
    clearConsoleEvents();
    clearTimers();
    fake = FakePlatform{};
}

void FakePlatform::runTimers() {
    for (int64_t due; (due = msUntilNextTimer()) >= 0;) {
        nowMs += static_cast<uint64_t>(due);
        runDueTimers();
    }
}

std::vector<std::string> FakePlatform::logOf(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& entry : log)
        if (entry.compare(0, prefix.size(), prefix) == 0) out.push_back(entry);
    return out;
}

void FakePlatform::consoleStep() {
    if (linked && !consoleAlive) {
        linked = false;
        postLost();
    } else if (linked) {
        if (!consoleText.empty()) postNewLines(reader, consoleText);
        return;
    }
    const int index = nextSearchEdition(searchIndex);
    const bool found = editionPresent[index];
    log.push_back("find " + std::to_string(index) + (found ? " found" : " none"));
    if (!found) {
        postSearched(index);
        return;
    }
    linked = consoleAlive = true;
    reader = BoxReader{};
    postLinked(makeLink(LinkKind::kConsoleWindow, index));
}

void pollFakeConsole(int32_t& lastSearchTime) {
    fake.consoleStep();
    pollConsole(lastSearchTime);
}

// --- The platform seam ---

void startConsoleChannel() {}

void sendConsoleCommand(const std::string& command) {
    fake.log.push_back("cmd " + command);
    fake.commands.push_back(command);
}

void releaseConsoleCommands() {}

bool flushConsoleCommands(unsigned) { return true; }

void wakeMainLoop() { ++fake.wakes; }

void playSoundFile(const char* path) { fake.log.push_back(std::string("sound ") + path); }

void sleepMs(unsigned milliseconds) { fake.log.push_back("sleep " + std::to_string(milliseconds)); }

int32_t nowSeconds() { return fake.now; }

uint64_t nowMilliseconds() { return fake.nowMs; }

void exitProcess(int code) { throw FakeExit{code}; }

std::string currentDirectory() { return fake.cwd; }

// --- The front-end seam ---

void showStatus(const char* text) {
    fake.log.push_back(std::string("status ") + text);
    fake.status = text;
}

void showPlayerName(const char* name) {
    fake.log.push_back(std::string("player ") + name);
    fake.playerName = name;
}

void showSwitch(Switch which, bool on) {
    const char* name = kSwitchNames[static_cast<int>(which)];
    fake.log.push_back(std::string("switch ") + name + "|" + (on ? "1" : "0"));
    fake.switches[name] = on;
}

void showGameGone() { fake.log.push_back("gone"); }

void showRunCounts(const RunCounts& run) { fake.runCounts = run; }

void showWarning(const char* text, const char* caption) {
    fake.log.push_back(std::string("box ") + caption + "|" + text);
}

void showNotice(const char* text) { fake.log.push_back(std::string("notice ") + text); }

void removeTrayIcon() { fake.log.push_back("tray remove"); }

// --- The Win32 front-end's launcher, compiled into the unit tests ---

void openProgram(const std::string& program, const std::string& parameters, const std::string& directory) {
    fake.log.push_back("open " + program + "|" + parameters + "|" + directory);
}
