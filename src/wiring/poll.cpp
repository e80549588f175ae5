#include "wiring/poll.h"

#include <cstring>
#include <string>

#include "console/console_events.h"
#include "console/dispatch.h"
#include "console/editions.h"
#include "console/log_search.h"
#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "core/settings.h"
#include "core/timers.h"
#include "player/game_config.h"
#include "player/name_detection.h"
#include "stats/announce.h"
#include "stats/history.h"
#include "stats/map_history.h"
#include "stats/stats_store.h"

namespace {

// Events handled per poll step, so a flood of lines never holds the window.
constexpr int kEventsPerStep = 256;

// The status text names the edition being searched for, at most once a second.
void showSearch(int edition, int32_t& lastSearchTime) {
    const int32_t now = nowSeconds();
    if (lastSearchTime < now && edition >= 0 && edition < kEditionCount) {
        showStatus(kGameEditions[edition].statusText);
        lastSearchTime = now;
    }
}

// The linked game has gone: the front-end comes back, and the game's counts
// are saved and start again from zero.
void forgetLostGame() {
    if (!isLinked(app.link)) return;
    showGameGone();
    showPlayerName("");
    saveStats();
    endMap();
    app.link = GameLink{};
    resetSessionStats();
}

// A game followed through its log cannot be asked for the player's name: it
// comes from vorbix.ini, or from the game's own config beside the log.
void takeNameOfFollowedGame() {
    std::string name = playerNameSetting();
    if (name.empty()) {
        const FoundLog log = followedLog();
        if (std::optional<std::string> configured = playerNameFromGameHome(log.configHome, log.gameFolder))
            name = *configured;
    }
    if (name.empty()) return;
    showPlayerName(name.c_str());
    registerPlayerName(name.c_str());
}

void linkGame(const GameLink& link) {
    app.link = link;
    if (link.kind == LinkKind::kGameLog) {
        // Read only: in-game counters, menus, announcements and commands
        // cannot reach the game, and nothing is sent.
        showStatus("Reading the game's log (no in-game displays)");
        beginMap();
        takeNameOfFollowedGame();
        return;
    }
    showStatus("Found Game");
    publishAllStats();
    beginMap();
    askMapName();
}

// Lines the match history learns the map's name from; they go on to the
// keyword tables like any other.
void noteMapLines(const char* line) {
    std::string map;
    if (line[0] == '"' && mapNameFromLine(line, map)) setMapName(map);
    if (std::strcmp(line, "------ Server Initialization ------") == 0) app.serverStarting = true;
}

// Each line in turn, cut in place; lines of 5 characters or fewer carry
// nothing worth matching. A line is read up to a NUL byte in it, and the
// lines after it still count.
void dispatchLines(std::string& lines) {
    char* piece = &lines[0];
    char* const last = piece + lines.size();
    for (char* end; (end = static_cast<char*>(std::memchr(piece, '\n', last - piece))) != nullptr; piece = end + 1) {
        *end = '\0';
        if (end - piece > 5) dispatchLine(piece);
    }
}

void handleEvent(ConsoleEvent& event, int32_t& lastSearchTime) {
    switch (event.kind) {
    case ConsoleEvent::kSearched: showSearch(event.edition, lastSearchTime); break;
    case ConsoleEvent::kLost: forgetLostGame(); break;
    case ConsoleEvent::kLinked: linkGame(event.link); break;
    case ConsoleEvent::kLines:
        if (isLinked(app.link)) dispatchLines(event.lines);
        break;
    }
}

RunCounts runCounts() {
    RunCounts run;
    run.tally = mergeStats(app.savedThisRun, app.pendingStats);
    run.killsInARow = app.killsInARow;
    return run;
}

}  // namespace

void pollConsole(int32_t& lastSearchTime) {
    ConsoleEvent event;
    int handled = 0;
    while (handled < kEventsPerStep && takeConsoleEvent(event)) {
        handleEvent(event, lastSearchTime);
        ++handled;
    }
    runDueTimers();
    if (handled > 0) showRunCounts(runCounts());
    releaseConsoleCommands();
    if (handled == kEventsPerStep) wakeMainLoop();  // more may wait: the next step takes them
}

void dispatchLine(char* line) {
    noteMapLines(line);
    if (std::memchr(line, kChatByte, std::strlen(line)) != nullptr) {
        onChatByteLine(line);
        return;
    }
    matchTableA(line);
}
