#include "wiring/message_wiring.h"

#include <SimpleIni.h>

#include <string>

#include "console/message_file.h"
#include "console/quoted_command.h"
#include "core/app_state.h"
#include "core/frontend.h"
#include "core/platform.h"
#include "player/name_detection.h"
#include "stats/events.h"
#include "wiring/ingame_commands.h"

namespace {

void reportLoadFailure(const std::string& name) {
    sendWithQuotedText("subtitle2 ", "Error: Failed to load: " + name);
    if (!isLinked(app.link)) showWarning("Failed to load message file", "Vorbix3");
}

}  // namespace

void loadMessageFile(const char* fileName) {
    // Own copy: the caller's buffer may be released or rewritten meanwhile.
    const std::string name = fileName;
    const std::string path = messageFilePath(name);
    CSimpleIniA ini(false, false, false);
    if (path.empty() || ini.LoadFile(path.c_str()) < 0) {
        reportLoadFailure(name);
        return;
    }

    sendWithQuotedText("subtitle2 ", "Loading language from " + name);
    app.currentMessageFile = name;
    sendWithQuotedText("set sfx_current_language ", name);

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
