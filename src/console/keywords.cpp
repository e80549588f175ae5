#include "console/keywords.h"

#include <SimpleIni.h>

#include <cstring>
#include <string>

#include "core/app_state.h"
#include "core/platform.h"
#include "wiring/ingame_commands.h"
#include "player/name_detection.h"
#include "stats/events.h"

namespace {

#ifdef _WIN32
const char kMessagesFolder[] = "\\messages\\";
#else
const char kMessagesFolder[] = "/messages/";
#endif
// The message-file path is held in a buffer of this size on Windows.
constexpr size_t kMaxPathSize = 260;

template <typename Handler>
int appendEntry(BasicKeywordTable<Handler>& table, const char* phrase, Handler handler) {
    if (table.count < -1 || table.count >= MAX_KEYWORDS - 1) return -1;
    int index = ++table.count;
    setPhrase(table.entries[index].phrase, phrase);
    table.entries[index].handler = handler;
    return index;
}

// Appends one entry per value of `section`, in the library's key order. A
// value that would need a 31st slot ends the program.
template <typename Handler>
void addKeywords(BasicKeywordTable<Handler>& table, const char* section, Handler handler, const CSimpleIniA& ini) {
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys(section, keys);
    for (const auto& key : keys) {
        const char* value = ini.GetValue(section, key.pItem, nullptr);
        if (value == nullptr) continue;
        if (table.count >= MAX_KEYWORDS - 1) {
            showWarning("MAX_KEYWORDS met", "Error");
            exitProcess(1);
        }
        appendEntry(table, value, handler);
    }
}

void reportLoadFailure(const std::string& name) {
    sendConsoleCommand("subtitle2 \"Error: Failed to load: " + name);
    if (!isLinked(app.link)) showWarning("Failed to load message file", "Vorbix3");
}

}  // namespace

void setPhrase(char (&phrase)[kPhraseSize], const char* text) {
    size_t length = ::strnlen(text, kPhraseSize - 1);
    std::memcpy(phrase, text, length);
    phrase[length] = '\0';
}

int appendKeyword(KeywordTable& table, const char* phrase, KeywordHandler handler) {
    return appendEntry(table, phrase, handler);
}

int appendKeyword(HitLocationTable& table, const char* phrase, HitHandler handler) {
    return appendEntry(table, phrase, handler);
}

void loadMessageFile(const char* fileName) {
    // Own copy: the caller's buffer may be released or rewritten meanwhile.
    const std::string name = fileName;
    const std::string path = currentDirectory() + kMessagesFolder + name;
    CSimpleIniA ini(false, false, false);
    if (path.size() >= kMaxPathSize || ini.LoadFile(path.c_str()) < 0) {
        reportLoadFailure(name);
        return;
    }

    sendConsoleCommand("subtitle2 \"Loading language from " + name);
    app.currentMessageFile = name;
    sendConsoleCommand("set sfx_current_language " + name);

    app.tableA = KeywordTable{};
    app.tableA.count = -1;
    app.tableB = KeywordTable{};
    app.tableC = KeywordTable{};
    app.tableD = HitLocationTable{};

    appendKeyword(app.tableA, "writing to: ", onConfigWritten);
    appendKeyword(app.tableA, "vorbixoption", handleInGameCommand);
    appendKeyword(app.tableB, "%s has entered the battle", onCinematic);  // kJoinNoticeSlot
    if (app.privateMode) addTimedOutEntry();
    app.nameEntryIndex = 0;

    addKeywords(app.tableA, "detect name", onDetectName, ini);
    addKeywords(app.tableA, "change map", onMapChange, ini);
    addKeywords(app.tableB, "gotbash", onGotBash, ini);
    addKeywords(app.tableB, "gotkill messages", onGotKill, ini);
    addKeywords(app.tableB, "killed messages", onKilled, ini);
    addKeywords(app.tableC, "killed self messages", onKilledSelf, ini);
    addKeywords(app.tableC, "bashed", onBashed, ini);
    addKeywords(app.tableD, "headshot", onHeadshot, ini);
    addKeywords(app.tableD, "torso", onTorsoHit, ini);
    addKeywords(app.tableD, "pelvis", onPelvisHit, ini);
    addKeywords(app.tableD, "right arm", onRightArmHit, ini);
    addKeywords(app.tableD, "left arm", onLeftArmHit, ini);
    addKeywords(app.tableD, "right leg", onRightLegHit, ini);
    addKeywords(app.tableD, "left leg", onLeftLegHit, ini);

    sendConsoleCommand("name");
}

void addTimedOutEntry() { appendKeyword(app.tableA, "timed out", onTimedOut); }

void onTimedOut(const char*, char*) { sendConsoleCommand("reconnect"); }
