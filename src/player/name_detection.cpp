#include "player/name_detection.h"

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "console/format.h"
#include "platform/platform.h"

namespace {

// The name starts this many characters into the detect-name phrase's occurrence.
constexpr size_t kNameSkip = 10;
// Names this long or longer are refused.
constexpr size_t kNameLimit = 64;

}  // namespace

KeywordEntry* nameEntry() {
    int index = app.nameEntryIndex;
    if (index <= 0 || index > app.tableA.count || index >= MAX_KEYWORDS) return nullptr;
    return &app.tableA.entries[index];
}

void switchVorbixOff() {
    if (KeywordEntry* entry = nameEntry()) entry->handler = onDisabled;
    sendConsoleCommand("exec vorbixoff.cfg");
}

void onDetectName(const char* match, char*) {
    // A line too short for the skip, or with no closing quote, names nobody.
    if (::strnlen(match, kNameSkip) < kNameSkip) return;
    const char* begin = match + kNameSkip;
    const char* quote = std::strchr(begin, '"');
    if (quote == nullptr) return;

    size_t length = size_t(quote - begin);
    if (length >= kNameLimit) {
        switchVorbixOff();
        sendConsoleCommand("set sfx_message \"Vorbix Off-Name too long\"");
        sendConsoleCommand("subtitle1 \"Vorbix Off-Name too long\"");
        return;
    }
    const std::string name(begin, length);
    setControlText(app.playerNameLabel, name.c_str());
    registerPlayerName(name.c_str());
}

void registerPlayerName(const char* name) {
    sendConsoleCommand(formatWithName("set sfx_name_message \"Name Detected '%s' \"", name));
    if (KeywordEntry* entry = nameEntry()) {
        setPhrase(entry->phrase, name);
        return;
    }
    // With table A full the name stays unknown rather than overrunning the table.
    int index = appendKeyword(app.tableA, name, onNameSeen);
    if (index > 0) app.nameEntryIndex = index;
}

void onNameSeen(const char* match, char* line) {
    const KeywordEntry* entry = nameEntry();
    if (entry == nullptr) return;
    const std::string name = entry->phrase;
    // The player's own chat line: the name's first occurrence followed by a colon.
    if (::strnlen(match, name.size()) == name.size() && match[name.size()] == ':') return;

    for (int i = 1; i <= app.tableB.count && i < MAX_KEYWORDS; ++i) {
        const KeywordEntry& candidate = app.tableB.entries[i];
        const std::string probe = formatWithName(candidate.phrase, name.c_str());
        if (const char* found = std::strstr(line, probe.c_str())) {
            if (candidate.handler != nullptr) candidate.handler(found, line);
            return;
        }
    }
}

void onConfigWritten(const char*, char*) { sendConsoleCommand("name"); }

void onDisabled(const char*, char*) {}
