#include <cstring>

#include "engine_fixture.h"
#include "wiring/ingame_commands.h"
#include "player/name_detection.h"
#include "stats/events.h"

namespace {

using KeywordsTest = EngineTest;

const char kFullFile[] =
    "[left leg]\nx=LL\n"
    "[Right Arm]\nx=RA\n"
    "[bashed]\nx=was bashed by\n"
    "[DETECT NAME]\n2=d2\n10=d10\n1=d1\n"
    "[change map]\nx=CL_InitCGame:\n"
    "[killed messages]\nx=%s was shot by\n"
    "[gotkill messages]\nx=was shot by %s\n"
    "[gotbash]\nx=was bashed by %s\n"
    "[killed self messages]\nx=%s cratered\n"
    "[headshot]\nx=in the head\n"
    "[torso]\nx=in the torso\n"
    "[pelvis]\nx=in the pelvis\n"
    "[right leg]\nx=RL\n"
    "[left arm]\nx=LA\n"
    "[unknown]\nx=ignored\n";

std::string phrases(const KeywordTable& table, int from) {
    std::string out;
    for (int i = from; i <= table.count; ++i) out += std::string(table.entries[i].phrase) + ";";
    return out;
}

std::string lines(int count, const std::string& prefix) {
    std::string out;
    for (int i = 0; i < count; ++i) out += prefix + std::to_string(100 + i) + "=p" + std::to_string(i) + "\n";
    return out;
}

TEST_F(KeywordsTest, LoadBuildsTheFourTablesInSectionAndKeyOrder) {
    writeMessageFile("english.ini", kFullFile);
    loadMessageFile("english.ini");

    EXPECT_EQ(fake.commands, (std::vector<std::string>{"subtitle2 \"Loading language from english.ini\"",
                                                       "set sfx_current_language \"english.ini\"", "name"}));
    EXPECT_EQ(app.currentMessageFile, "english.ini");
    EXPECT_EQ(app.nameEntryIndex, 0);

    // Key order is the library's: case-insensitive text order, so 1, 10, 2.
    EXPECT_EQ(phrases(app.tableA, 0), "writing to: ;vorbixoption;d1;d10;d2;CL_InitCGame:;");
    EXPECT_EQ(app.tableA.entries[0].handler, &onConfigWritten);
    EXPECT_EQ(app.tableA.entries[1].handler, &handleInGameCommand);
    EXPECT_EQ(app.tableA.entries[2].handler, &onDetectName);
    EXPECT_EQ(app.tableA.entries[5].handler, &onMapChange);

    EXPECT_EQ(phrases(app.tableB, 1), "%s has entered the battle;was bashed by %s;was shot by %s;%s was shot by;");
    KeywordHandler bHandlers[] = {onCinematic, onGotBash, onGotKill, onKilled};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(app.tableB.entries[i + 1].handler, bHandlers[i]) << i;

    EXPECT_EQ(phrases(app.tableC, 1), "%s cratered;was bashed by;");
    EXPECT_EQ(app.tableC.entries[1].handler, &onKilledSelf);
    EXPECT_EQ(app.tableC.entries[2].handler, &onBashed);

    EXPECT_EQ(app.tableD.count, 7);
    HitHandler dHandlers[] = {onHeadshot, onTorsoHit, onPelvisHit, onRightArmHit, onLeftArmHit, onRightLegHit, onLeftLegHit};
    const char* dPhrases[] = {"in the head", "in the torso", "in the pelvis", "RA", "LA", "RL", "LL"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(app.tableD.entries[i + 1].handler, dHandlers[i]) << i;
        EXPECT_STREQ(app.tableD.entries[i + 1].phrase, dPhrases[i]) << i;
    }
}

// Every in-game language command reloads: no table may grow with it.
TEST_F(KeywordsTest, ReloadingGivesTheSameTablesAndForgetsTheName) {
    writeMessageFile("english.ini", kFullFile);
    loadMessageFile("english.ini");
    const KeywordTable a = app.tableA, b = app.tableB, c = app.tableC;
    const HitLocationTable d = app.tableD;
    app.nameEntryIndex = appendKeyword(app.tableA, "Bob", onNameSeen);

    loadMessageFile("english.ini");
    EXPECT_EQ(app.nameEntryIndex, 0);
    EXPECT_EQ(std::memcmp(&a, &app.tableA, sizeof a), 0);
    EXPECT_EQ(std::memcmp(&b, &app.tableB, sizeof b), 0);
    EXPECT_EQ(std::memcmp(&c, &app.tableC, sizeof c), 0);
    EXPECT_EQ(std::memcmp(&d, &app.tableD, sizeof d), 0);
}

TEST_F(KeywordsTest, PrivateModePutsTimedOutRightAfterTheFixedEntries) {
    app.privateMode = true;
    load("english.ini", "[detect name]\n1=is:\"\n");
    EXPECT_EQ(phrases(app.tableA, 0), "writing to: ;vorbixoption;timed out;is:\";");
    EXPECT_EQ(app.tableA.entries[2].handler, &onTimedOut);
    onTimedOut(nullptr, nullptr);
    EXPECT_EQ(fake.commands, std::vector<std::string>{"reconnect"});
}

TEST_F(KeywordsTest, PhrasesAreCutTo63CharactersAndEmptyValuesKept) {
    std::string longValue(100, 'x');
    load("english.ini", "[change map]\n1=" + longValue + "\n2=\n");
    EXPECT_EQ(std::string(app.tableA.entries[2].phrase), std::string(63, 'x'));
    EXPECT_STREQ(app.tableA.entries[3].phrase, "");

    KeywordEntry entry{};
    std::memset(entry.phrase, '?', sizeof entry.phrase);
    setPhrase(entry.phrase, std::string(63, 'y').c_str());
    EXPECT_EQ(std::string(entry.phrase), std::string(63, 'y'));
}

TEST_F(KeywordsTest, FailedLoadReportsAndKeepsTheTables) {
    load("english.ini", kFullFile);
    AppState before;
    std::memcpy(&before.tableA, &app.tableA, sizeof app.tableA);
    std::memcpy(&before.tableB, &app.tableB, sizeof app.tableB);
    app.nameEntryIndex = 3;

    loadMessageFile("missing.ini");
    EXPECT_EQ(fake.log, (std::vector<std::string>{"cmd subtitle2 \"Error: Failed to load: missing.ini\"",
                                                  "box Vorbix3|Failed to load message file"}));
    EXPECT_EQ(std::memcmp(&before.tableA, &app.tableA, sizeof app.tableA), 0);
    EXPECT_EQ(std::memcmp(&before.tableB, &app.tableB, sizeof app.tableB), 0);
    EXPECT_EQ(app.nameEntryIndex, 3);
    EXPECT_EQ(app.currentMessageFile, "english.ini");

    // With a console linked the failure only shows in the game.
    fake.log.clear();
    linkConsole();
    loadMessageFile("missing.ini");
    EXPECT_EQ(fake.log, std::vector<std::string>{"cmd subtitle2 \"Error: Failed to load: missing.ini\""});
}

TEST_F(KeywordsTest, PathsOf260CharactersOrMoreAreNotLoaded) {
    // cwd + "/messages/" + name: make it exactly 259, then 260 characters.
    size_t base = dir.root().size() + std::strlen("/messages/");
    std::string fits(259 - base, 'a');
    std::string tooLong(260 - base, 'b');
    writeMessageFile(fits, "[change map]\n1=x\n");
    writeMessageFile(tooLong, "[change map]\n1=x\n");

    loadMessageFile(fits.c_str());
    EXPECT_EQ(app.currentMessageFile, fits);
    loadMessageFile(tooLong.c_str());
    EXPECT_EQ(app.currentMessageFile, fits);
    EXPECT_EQ(fake.commands.back(), "subtitle2 \"Error: Failed to load: " + tooLong + "\"");
}

TEST_F(KeywordsTest, TableOverflowEndsTheProgram) {
    // Table A: two fixed entries leave 28 slots for "detect name" and "change map".
    load("a.ini", "[detect name]\n" + lines(20, "") + "[change map]\n" + lines(8, ""));
    EXPECT_EQ(app.tableA.count, 29);
    writeMessageFile("b.ini", "[detect name]\n" + lines(20, "") + "[change map]\n" + lines(9, ""));
    fake.log.clear();
    try {
        loadMessageFile("b.ini");
        FAIL() << "no exit";
    } catch (const FakeExit& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    EXPECT_EQ(fake.log.back(), "box Error|MAX_KEYWORDS met");
    EXPECT_LE(app.tableA.count, 29);

    // Table D takes 29 hit phrases; the 30th ends the program.
    load("d.ini", "[headshot]\n" + lines(29, ""));
    EXPECT_EQ(app.tableD.count, 29);
    writeMessageFile("e.ini", "[headshot]\n" + lines(29, "") + "[left leg]\n1=x\n");
    EXPECT_THROW(loadMessageFile("e.ini"), FakeExit);
}

TEST_F(KeywordsTest, AppendsNeverWriteBeyondTheTable) {
    load("a.ini", "[detect name]\n" + lines(28, ""));
    ASSERT_EQ(app.tableA.count, 29);
    EXPECT_EQ(appendKeyword(app.tableA, "more", onDisabled), -1);
    addTimedOutEntry();
    EXPECT_EQ(app.tableA.count, 29);
    EXPECT_STREQ(app.tableA.entries[29].phrase, "p27");
}

}  // namespace
