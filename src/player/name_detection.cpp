#include "player/name_detection.h"

#include <cstring>
#include <string>
#include <vector>

#include "console/dispatch.h"
#include "console/quoted_command.h"
#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "text/find_phrase.h"
#include "text/format.h"

namespace {

// The name starts this many characters into the detect-name phrase's occurrence.
constexpr size_t kNameSkip = 10;
// Names this long or longer are refused.
constexpr size_t kNameLimit = 64;
// The game keeps at most this many characters of a player's name (a 32-byte
// buffer) and prints no more of it anywhere.
constexpr size_t kPrintedNameLimit = 31;

// Obituaries print a name's last character as '?' when it is a blank or
// below. The game compares a signed char, so bytes from 0x80 up count as
// below too ("Kestrel\xE9" is "Kestrel?").
bool obituaryHidesLastCharacter(const std::string& printed) {
    if (printed.empty()) return false;
    const unsigned char last = static_cast<unsigned char>(printed.back());
    return last <= ' ' || last >= 0x80;
}

// The name as the game prints it in its notices ("<name> has entered the battle").
std::string noticeName(const std::string& name) { return name.substr(0, kPrintedNameLimit); }

// The name as the game prints it in obituaries.
std::string obituaryName(const std::string& name) {
    std::string printed = noticeName(name);
    if (obituaryHidesLastCharacter(printed)) printed.back() = '?';
    return printed;
}

// What every line that names the player holds, obituaries and notices alike:
// the name entry's phrase.
std::string sharedName(const std::string& name) {
    std::string printed = noticeName(name);
    if (obituaryHidesLastCharacter(printed)) printed.pop_back();
    return printed;
}

// Table B's patterns with the player's name filled in as the game prints it
// there. Built again only when the name or table B changed, not for every
// line that holds the name.
struct NameProbes {
    std::string name;
    int count = -1;
    KeywordEntry entries[MAX_KEYWORDS] = {};  // the table B slots they were built from
    std::vector<std::string> probes;
};

// The probe of each table B slot from 1 to `count`, in slot order.
const std::vector<std::string>& probesFor(const std::string& name, int count) {
    static NameProbes cache;
    const size_t slotBytes = sizeof(KeywordEntry) * size_t(count);
    if (cache.count == count && cache.name == name &&
        std::memcmp(&cache.entries[1], &app.tableB.entries[1], slotBytes) == 0)
        return cache.probes;
    cache.name = name;
    cache.count = count;
    std::memcpy(&cache.entries[1], &app.tableB.entries[1], slotBytes);
    cache.probes.clear();
    const std::string inNotice = noticeName(name), inObituary = obituaryName(name);
    for (int i = 1; i <= count; ++i) {
        const std::string& printed = i == kJoinNoticeSlot ? inNotice : inObituary;
        cache.probes.push_back(formatWithName(app.tableB.entries[i].phrase, printed.c_str()));
    }
    return cache.probes;
}

// Table B's count, kept inside the table.
int tableBCount() {
    return app.tableB.count < 0 ? 0 : app.tableB.count < MAX_KEYWORDS ? app.tableB.count : MAX_KEYWORDS - 1;
}

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

void onDetectName(const char* match, char* line) {
    // Only the game's own answer to "name", which starts the line: at most its
    // opening quote stands before the phrase.
    if (match != line && !(match == line + 1 && line[0] == '"')) return;
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
    showPlayerName(name.c_str());
    registerPlayerName(name.c_str());
}

void registerPlayerName(const char* name) {
    sendWithQuotedText("set sfx_name_message ", std::string("Name Detected '") + name + "' ");
    app.playerName = name;
    const std::string phrase = sharedName(app.playerName);
    if (KeywordEntry* entry = nameEntry()) {
        setPhrase(entry->phrase, phrase.c_str());
        return;
    }
    // With table A full the name stays unknown rather than overrunning the table.
    int index = appendKeyword(app.tableA, phrase.c_str(), onNameSeen);
    if (index > 0) app.nameEntryIndex = index;
}

void onNameSeen(const char* match, char* line) {
    const KeywordEntry* entry = nameEntry();
    if (entry == nullptr) return;
    const char* name = entry->phrase;
    const size_t nameLength = std::strlen(name);
    // The player's own chat line: the name's first occurrence followed by a colon.
    if (::strnlen(match, nameLength) == nameLength && match[nameLength] == ':') return;

    const int count = tableBCount();
    const std::vector<std::string>& probes = probesFor(app.playerName, count);
    const size_t lineLength = std::strlen(line);
    for (int i = 1; i <= count; ++i) {
        const std::string& probe = probes[i - 1];
        if (const char* found = findPhrase(line, lineLength, probe.c_str(), probe.size())) {
            // A handler may rebuild the tables; it is the last thing done here.
            KeywordHandler handler = app.tableB.entries[i].handler;
            if (handler != nullptr) handler(found, line);
            return;
        }
    }
}

void onChatByteLine(char* line) {
    // Only the whole line counts: chat puts its sender's name and ": " before
    // the text, so no chat line is exactly the notice (unless the player's own
    // name holds ": ").
    const KeywordEntry* entry = nameEntry();
    const int count = tableBCount();
    if (entry == nullptr || entry->handler != onNameSeen || count < kJoinNoticeSlot || line[0] != kChatByte) return;
    const std::string& notice = probesFor(app.playerName, count)[kJoinNoticeSlot - 1];
    KeywordHandler handler = app.tableB.entries[kJoinNoticeSlot].handler;
    if (handler != nullptr && notice == line + 1) handler(line + 1, line);
}

void onConfigWritten(const char*, char*) { sendConsoleCommand("name"); }

void onDisabled(const char*, char*) {}
