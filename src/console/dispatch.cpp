#include "console/dispatch.h"

#include <cstring>

#include "core/app_state.h"
#include "text/find_phrase.h"

void matchTableA(char* line) {
    size_t lineLength = std::strlen(line);
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
