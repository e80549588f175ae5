#include "console/poll.h"

#include <cstring>
#include <string>

#include "core/app_state.h"
#include "console/console_events.h"
#include "console/editions.h"
#include "text/find_phrase.h"
#include "core/platform.h"
#include "player/name_detection.h"
#include "stats/announce.h"
#include "stats/stats_store.h"

namespace {

// Events handled per poll step, so a flood of lines never holds the window.
constexpr int kEventsPerStep = 256;

// The status text names the edition being searched for, at most once a second.
void showSearch(int edition, int32_t& lastSearchTime) {
    const int32_t now = nowSeconds();
    if (lastSearchTime < now && edition >= 0 && edition < kEditionCount) {
        setControlText(app.statusLabel, kGameEditions[edition].statusText);
        lastSearchTime = now;
    }
}

// The linked game has gone: the window comes back, and the game's counts are
// saved and start again from zero.
void forgetLostGame() {
    if (!isLinked(app.link)) return;
    app.link = GameLink{};
    showMainWindow();
    setControlText(app.playerNameLabel, "");
    saveStats();
    resetSessionStats();
}

void linkGame(const GameLink& link) {
    app.link = link;
    setControlText(app.statusLabel, "Found Game");
    publishAllStats();
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

}  // namespace

void pollConsole(int32_t& lastSearchTime) {
    ConsoleEvent event;
    int handled = 0;
    while (handled < kEventsPerStep && takeConsoleEvent(event)) {
        handleEvent(event, lastSearchTime);
        ++handled;
    }
    releaseConsoleCommands();
    if (handled == kEventsPerStep) wakeMainLoop();  // more may wait: the next step takes them
}

void dispatchLine(char* line) {
    size_t lineLength = std::strlen(line);
    // Nothing other players type may count, command or rename anything.
    if (std::memchr(line, kChatByte, lineLength) != nullptr) {
        onChatByteLine(line);
        return;
    }
    // The count is read again before every slot: entries appended by a handler
    // are tried on this same line, and a reloaded table A is walked on. A
    // handler may shorten the line, so its length is taken again after one.
    for (int i = 0; i <= app.tableA.count && i < MAX_KEYWORDS; ++i) {
        const KeywordEntry& entry = app.tableA.entries[i];
        KeywordHandler handler = entry.handler;
        if (handler == nullptr) continue;
        if (const char* match = findPhrase(line, lineLength, entry.phrase, std::strlen(entry.phrase))) {
            handler(match, line);
            lineLength = std::strlen(line);
        }
    }
}
