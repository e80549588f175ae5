#include "console/poll.h"

#include <cstring>
#include <string>

#include "core/app_state.h"
#include "console/find_phrase.h"
#include "platform/platform.h"
#include "player/name_detection.h"
#include "stats/announce.h"
#include "stats/stats_store.h"

namespace {

// A poll step while no console is linked: forget a lost game, try one edition.
void searchForConsole(int32_t& searchIndex, int32_t& lastSearchTime) {
    const int32_t now = nowSeconds();
    if (app.console.consoleWindow != nullptr) {
        showMainWindow();
        setControlText(app.playerNameLabel, "");
        saveStats();
        resetSessionStats();
    }
    if (searchIndex > 2) searchIndex = 0;
    const GameEdition& edition = kGameEditions[searchIndex == 1 || searchIndex == 2 ? searchIndex : 0];
    ++searchIndex;

    if (!findConsole(edition)) {
        // The status text changes at most once a second.
        if (lastSearchTime < now) {
            setControlText(app.statusLabel, edition.statusText);
            lastSearchTime = now;
        }
        return;
    }
    app.consoleReadLength = 0;
    setControlText(app.statusLabel, "Found Game");
    publishAllStats();
}

// A poll step while linked: dispatch the complete lines the game printed since
// the last step. An unterminated last line waits for its line feed.
void readConsole() {
    std::string text;
    if (!readConsoleText(text) || text.empty()) return;

    // A box shorter than what was dispatched was cleared or replaced by the game.
    size_t start = app.consoleReadLength <= text.size() ? app.consoleReadLength : 0;
    size_t lastLineFeed = text.rfind('\n');
    if (lastLineFeed == std::string::npos || lastLineFeed < start) return;
    size_t end = lastLineFeed + 1;

    if (app.nameEntryIndex != 0) {
        // Remove exactly what was read; whatever the game appended since stays.
        deleteConsoleText(end);
        app.consoleReadLength = 0;
    } else {
        app.consoleReadLength = end;
    }

    std::string buffer = text.substr(start, end - start);
    for (char* line : splitConsoleLines(&buffer[0])) dispatchLine(line);
}

}  // namespace

void pollConsole(int32_t& searchIndex, int32_t& lastSearchTime) {
    if (isConsoleLinked())
        readConsole();
    else
        searchForConsole(searchIndex, lastSearchTime);
}

std::vector<char*> splitConsoleLines(char* text) {
    std::vector<char*> lines;
    char* piece = text;
    for (;;) {
        char* lineFeed = std::strchr(piece, '\n');
        size_t length = lineFeed != nullptr ? size_t(lineFeed - piece) : std::strlen(piece);
        if (length > 0) {
            // Drop the carriage return of the CR LF line break.
            piece[length - 1] = '\0';
            if (length - 1 > 5) lines.push_back(piece);
        }
        if (lineFeed == nullptr) break;
        *lineFeed = '\0';
        piece = lineFeed + 1;
    }
    return lines;
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
