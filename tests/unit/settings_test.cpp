// vorbix.ini: loading, the check boxes, and saving back on real files.
#include <gtest/gtest.h>

#include <SimpleIni.h>

#include <string>

#include "core/settings.h"
#include "fakes/platform_fake.h"
#include "temp_dir.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() : chdir_(dir.root()) { resetFakes(); }

    // Start-up as the program does it: file, flags, kill time, launch boxes.
    void start(const std::string& ini) {
        dir.write("vorbix.ini", ini);
        ASSERT_TRUE(loadSettingsFile());
        loadSettings();
        loadKillTime();
        loadLaunchTexts();
        app.settingsTexts.messageFile = "english.ini";
    }

    // The saved file as the next start will see it.
    const char* saved(const char* section, const char* key) {
        reread.Reset();
        EXPECT_GE(reread.LoadFile("vorbix.ini"), 0);
        return reread.GetValue(section, key, nullptr);
    }

    TempDir dir;
    ScopedChdir chdir_;
    CSimpleIniA reread{false, false, false};
};

const char* const kUserFile =
    "; settings of my own\n"
    "kill_time = 7 seconds\n"
    "mystery = 42\n"
    "\n"
    "[vorbix]\n"
    "sounds = 2\n"
    "displays = -1\n"
    "announcements = yes\n"
    "volume = loud\n"
    "\n"
    "; the game\n"
    "[game]\n"
    "launchmohaa = 1\n"
    "ip =\n"
    "gamepath =\n"
    "\n"
    "[announcements]\n"
    "bash = say bash %d\n"
    "godlike =\n"
    "\n"
    "[extra]\n"
    "colour = green\n";

}  // namespace

TEST(ParseDecimal, ReadsLikeTheFileFormatSays) {
    EXPECT_EQ(parseDecimal("12"), 12);
    EXPECT_EQ(parseDecimal("  \t+7x"), 7);
    EXPECT_EQ(parseDecimal("-1"), -1);
    EXPECT_EQ(parseDecimal("yes"), 0);
    EXPECT_EQ(parseDecimal(""), 0);
    EXPECT_EQ(parseDecimal("- 5"), 0);
    EXPECT_EQ(parseDecimal("2147483647"), INT32_MAX);
    // Out-of-range numbers saturate rather than overflow.
    EXPECT_EQ(parseDecimal("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(parseDecimal("-99999999999999999999"), INT32_MIN);
}

TEST_F(SettingsFile, LoadsFlagsTextsKillTimeAndLaunchBoxes) {
    start(kUserFile);
    EXPECT_EQ(app.soundsEnabled, 2u);
    EXPECT_EQ(app.displaysEnabled, 4294967295u);
    EXPECT_EQ(app.announcementsEnabled, 0u);
    EXPECT_EQ(app.launchGameOnHide, 1u);
    EXPECT_EQ(app.killTime, 7);
    EXPECT_EQ(app.announcementTexts[kAnnounceBash], std::optional<std::string>("say bash %d"));
    EXPECT_EQ(app.announcementTexts[kAnnounceGodlike], std::optional<std::string>(""));
    EXPECT_FALSE(app.announcementTexts[kAnnounceHeadshot].has_value());
    EXPECT_FALSE(app.announcementTexts[kAnnounceHolyshit].has_value());
    // Empty launch values show the placeholders; absent ones too.
    EXPECT_EQ(app.settingsTexts.server, kDefaultServer);
    EXPECT_EQ(app.settingsTexts.gamePath, kDefaultGamePath);
    EXPECT_EQ(app.settingsTexts.parameters, kDefaultGameParameters);
}

TEST_F(SettingsFile, KillTimeIsReadFromTheUnnamedSectionOnly) {
    start("[vorbix]\nkill_time = 3\nsounds = 1\n");
    EXPECT_EQ(app.killTime, 10);
    EXPECT_EQ(app.soundsEnabled, 1u);
    EXPECT_EQ(app.displaysEnabled, 0u);
}

TEST_F(SettingsFile, MissingFileFailsToLoad) {
    EXPECT_FALSE(loadSettingsFile());
}

TEST_F(SettingsFile, SaveKeepsUnknownKeysCommentsAndOddFlags) {
    start(kUserFile);
    app.settingsTexts.gamePath = "  D:\\Games\\MOHAA  ";
    app.settingsTexts.messageFile = "german.ini";
    ASSERT_TRUE(saveSettings());

    std::string text = dir.read("vorbix.ini");
    EXPECT_NE(text.find("; settings of my own"), std::string::npos);
    EXPECT_NE(text.find("; the game"), std::string::npos);
    EXPECT_NE(text.find("gamepath =   D:\\Games\\MOHAA  \n"), std::string::npos) << text;

    EXPECT_STREQ(saved("vorbix", "sounds"), "2");
    EXPECT_STREQ(saved("vorbix", "displays"), "4294967295");
    EXPECT_STREQ(saved("vorbix", "announcements"), "0");
    EXPECT_STREQ(saved("vorbix", "volume"), "loud");
    EXPECT_STREQ(saved("game", "launchmohaa"), "1");
    EXPECT_STREQ(saved("game", "ip"), kDefaultServer);
    EXPECT_STREQ(saved("game", "gameparameters"), kDefaultGameParameters);
    EXPECT_STREQ(saved("extra", "colour"), "green");
    EXPECT_STREQ(saved("", "kill_time"), "7 seconds");
    EXPECT_STREQ(saved("", "mystery"), "42");
    EXPECT_STREQ(saved("", "defaultmsgfile"), "german.ini");
    EXPECT_STREQ(saved("announcements", "bash"), "say bash %d");
    EXPECT_STREQ(saved("announcements", "godlike"), "");
    EXPECT_EQ(saved("announcements", "headshot"), nullptr);
    EXPECT_EQ(saved("announcements", "rampage"), nullptr);
}

TEST_F(SettingsFile, DefaultMessageFileLandsAheadOfEverySection) {
    // No keys before the first header: the unnamed section is new at save.
    start("[vorbix]\nsounds = 1\n[game]\nip = 1.2.3.4:12203\n");
    ASSERT_TRUE(saveSettings());
    std::string text = dir.read("vorbix.ini");
    EXPECT_LT(text.find("defaultmsgfile"), text.find('[')) << text;
    EXPECT_STREQ(saved("", "defaultmsgfile"), "english.ini");
    EXPECT_EQ(saved("game", "defaultmsgfile"), nullptr);
    EXPECT_STREQ(saved("game", "ip"), "1.2.3.4:12203");
    // The announcements section exists even with no texts in it.
    EXPECT_NE(text.find("[announcements]"), std::string::npos);
    EXPECT_EQ(saved("announcements", "bash"), nullptr);
}

TEST_F(SettingsFile, CheckBoxesSetAllFourFlagsAndAreSavedAsZeroOrOne) {
    start(kUserFile);
    applySwitches(/*launchGame=*/false, /*sounds=*/true, /*displays=*/false, /*announcements=*/true);
    EXPECT_EQ(app.launchGameOnHide, 0u);
    EXPECT_EQ(app.soundsEnabled, 1u);
    EXPECT_EQ(app.displaysEnabled, 0u);
    EXPECT_EQ(app.announcementsEnabled, 1u);
    ASSERT_TRUE(saveSettings());
    EXPECT_STREQ(saved("vorbix", "sounds"), "1");
    EXPECT_STREQ(saved("vorbix", "displays"), "0");
    EXPECT_STREQ(saved("vorbix", "announcements"), "1");
    EXPECT_STREQ(saved("game", "launchmohaa"), "0");
}

TEST_F(SettingsFile, LongControlTextsAreSavedWhole) {
    start("");
    std::string path(700, 'p');
    app.settingsTexts.gamePath = path;
    ASSERT_TRUE(saveSettings());
    EXPECT_EQ(std::string(saved("game", "gamepath")), path);
}

TEST_F(SettingsFile, FailedWriteLeavesTheOldFileAndReportsFailure) {
    start(kUserFile);
    app.soundsEnabled = 0;
    dir.mkdir("vorbix.ini.tmp");  // blocks the temporary file of the atomic write
    EXPECT_FALSE(saveSettings());
    EXPECT_EQ(dir.read("vorbix.ini"), kUserFile);
}
