#include <algorithm>
#include <cstring>

#include "engine_fixture.h"
#include "wiring/ingame_commands.h"
#include "player/name_detection.h"

namespace {

using InGameCommandsTest = EngineTest;

const char kEnglish[] = "[detect name]\n1=XXXXXXXXXX\n";

std::vector<std::string> words(std::string line) {
    std::vector<std::string> out;
    for (char* word : splitWords(&line[0])) out.push_back(word);
    return out;
}

TEST(SplitWords, SplitsAtBlanksOnlyAndCutsTheLineAfterItsFirstWord) {
    EXPECT_EQ(words("  vorbixoption   sounds_off  extra "),
              (std::vector<std::string>{"vorbixoption", "sounds_off", "extra"}));
    EXPECT_EQ(words("a\tb \"c d\""), (std::vector<std::string>{"a\tb", "\"c", "d\""}));
    EXPECT_TRUE(words("").empty());
    EXPECT_TRUE(words("    ").empty());

    char line[] = "vorbixoption language english";
    splitWords(line);
    EXPECT_STREQ(line, "vorbixoption");
}

TEST_F(InGameCommandsTest, FeatureCommandsSetTheFlagTheCheckBoxAndRunTheCfg) {
    struct Case {
        const char* word;
        std::vector<std::string> log;
        uint32_t AppState::*flag;
        uint32_t value;
    } cases[] = {
        {"announce_off", {"switch announcements|0", "cmd exec announceoff.cfg"}, &AppState::announcementsEnabled, 0},
        {"announce_on", {"switch announcements|1", "cmd exec announceon.cfg"}, &AppState::announcementsEnabled, 1},
        {"displays_off", {"cmd exec displaysoff.cfg", "switch displays|0"}, &AppState::displaysEnabled, 0},
        {"displays_on", {"cmd exec displayson.cfg", "switch displays|1"}, &AppState::displaysEnabled, 1},
        {"sounds_off", {"cmd exec soundsoff.cfg", "switch sounds|0"}, &AppState::soundsEnabled, 0},
        {"sounds_on", {"cmd exec soundson.cfg", "switch sounds|1"}, &AppState::soundsEnabled, 1},
    };
    load("english.ini", kEnglish);
    for (const auto& c : cases) {
        fake.log.clear();
        app.*c.flag = 1 - c.value;
        dispatch(std::string("vorbixoption  ") + c.word + " ");
        EXPECT_EQ(fake.log, c.log) << c.word;
        EXPECT_EQ(app.*c.flag, c.value) << c.word;
    }
}

TEST_F(InGameCommandsTest, OnlyTheLineEchoPrintsIsACommand) {
    load("english.ini", kEnglish);
    app.soundsEnabled = 1;
    for (const char* line : {"vorbixoption", "vorbixoption SOUNDS_OFF", "vorbixoption unknown sounds_off",
                             "echo sounds_off vorbixoption", "]echo vorbixoption sounds_off",
                             "\x03" "vorbixoption sounds_off",
                             // a player named "vorbixoption sounds_off" leaving the server
                             "vorbixoption sounds_off disconnected", "vorbixoption language english timed out"})
        dispatch(line);
    EXPECT_TRUE(fake.log.empty());
    EXPECT_EQ(app.soundsEnabled, 1u);
}

TEST_F(InGameCommandsTest, VorbixOffAndOnSwitchTheNameEntry) {
    load("english.ini", kEnglish);
    dispatch("vorbixoption vorbix_off");
    EXPECT_EQ(fake.commands, std::vector<std::string>{"exec vorbixoff.cfg"});

    // The name found afterwards is switched on; a later rename keeps "off".
    dispatch("XXXXXXXXXXBob\"");
    ASSERT_NE(app.nameEntryIndex, 0);
    EXPECT_EQ(app.tableA.entries[app.nameEntryIndex].handler, &onNameSeen);
    dispatch("vorbixoption vorbix_off");
    dispatch("XXXXXXXXXXAlice\"");
    EXPECT_EQ(app.tableA.entries[app.nameEntryIndex].handler, &onDisabled);
    EXPECT_STREQ(app.tableA.entries[app.nameEntryIndex].phrase, "Alice");

    fake.commands.clear();
    dispatch("vorbixoption vorbix_on");
    EXPECT_EQ(fake.commands, (std::vector<std::string>{"exec vorbixon.cfg", "name"}));
    EXPECT_EQ(app.tableA.entries[app.nameEntryIndex].handler, &onNameSeen);
}

TEST_F(InGameCommandsTest, LanguageLoadsTheWordWithIniAppended) {
    load("english.ini", kEnglish);
    writeMessageFile("german.ini", "[change map]\n1=Karte\n");
    dispatch("vorbixoption language german");
    EXPECT_EQ(app.currentMessageFile, "german.ini");

    fake.commands.clear();
    dispatch("vorbixoption language german.ini");
    EXPECT_EQ(fake.commands, std::vector<std::string>{"subtitle2 \"Error: Failed to load: german.ini.ini\""});

    // A name that would end the quote sends nothing; a ';' stays inside it.
    fake.commands.clear();
    dispatch("vorbixoption language a\";quit");
    dispatch("vorbixoption language b;quit");
    EXPECT_EQ(fake.commands, std::vector<std::string>{"subtitle2 \"Error: Failed to load: b;quit.ini\""});

    // Too short, or anything but a plain file name of the messages folder.
    fake.commands.clear();
    for (const char* line : {"vorbixoption language g", "vorbixoption language", "vorbixoption language ..\\german",
                             "vorbixoption language ../german", "vorbixoption language sub\\german", "vorbixoption language sub/german",
                             "vorbixoption language c:german", "vorbixoption language german..x"})
        dispatch(line);
    EXPECT_TRUE(fake.commands.empty());
    EXPECT_EQ(app.currentMessageFile, "german.ini");
}

TEST_F(InGameCommandsTest, DispatchGoesOnOverTheTablesLoadedMidLine) {
    load("english.ini", "[detect name]\n1=is:\"\n");
    writeMessageFile("other.ini", "[change map]\n1=option\n");
    ScopedChdir inTemp(dir.root());  // a map load saves the stats file
    // The line is cut after its first word; the new table A (change map at
    // slot 2) is tried on what is left.
    dispatch("vorbixoption language other");
    EXPECT_EQ(app.currentMessageFile, "other.ini");
    EXPECT_NE(std::find(fake.commands.begin(), fake.commands.end(), "set sfx_maps 0"), fake.commands.end());
}

TEST_F(InGameCommandsTest, LaterSlotsSeeTheLineCutAfterItsFirstWord) {
    load("english.ini", kEnglish);
    dispatch("vorbixoption XXXXXXXXXXBob\"");
    EXPECT_EQ(app.nameEntryIndex, 0);  // the detect-name phrase was cut away
    // Slot 0 comes first and still sees the whole line.
    fake.commands.clear();
    dispatch("vorbixoption sounds_on writing to: x.cfg");
    EXPECT_EQ(fake.commands, std::vector<std::string>{"name"});
}

TEST_F(InGameCommandsTest, PrivateModeReconnectsOncePerEntryAndShowsTheCinematic) {
    load("english.ini", kEnglish);
    dispatch("XXXXXXXXXXBob\"");
    fake.commands.clear();
    dispatch("Bob has entered the battle");
    EXPECT_TRUE(fake.commands.empty());

    dispatch("vorbixoption private");
    dispatch("vorbixoption private");
    EXPECT_TRUE(app.privateMode);
    dispatch("Server connection timed out.");
    EXPECT_EQ(fake.commands, (std::vector<std::string>{"reconnect", "reconnect"}));

    fake.commands.clear();
    dispatch("Bob has entered the battle");
    // The expansions print the notice after the chat byte; chat quoting it is no notice.
    dispatch("\x02" "Bob has entered the battle");
    dispatch("\x02" "Eve: Bob has entered the battle");
    dispatch("\x02" "Bob: has entered the battle");
    EXPECT_EQ(fake.commands, (std::vector<std::string>{"cinematic", "cinematic"}));

    // A load puts one "timed out" entry back at slot 2.
    load("english.ini", kEnglish);
    dispatch("Server connection timed out.");
    EXPECT_EQ(fake.commands, std::vector<std::string>{"reconnect"});
}

}  // namespace
