// Sounds, announcements, menus and counters as they reach the game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/platform_fake.h"
#include "core/timers.h"
#include "stats/announce.h"

using Log = std::vector<std::string>;

class Announce : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakes();
        app.soundsEnabled = 1;
        app.displaysEnabled = 1;
        app.announcementsEnabled = 1;
    }
};

TEST_F(Announce, MenuIsHiddenAgain600MillisecondsLater) {
    showGameMenu("rampage");
    EXPECT_EQ(fake.log, (Log{"cmd showmenu rampage"}));
    EXPECT_EQ(msUntilNextTimer(), 600);
    fake.runTimers();
    EXPECT_EQ(fake.log, (Log{"cmd showmenu rampage", "cmd exec hidevorbixui.cfg"}));
    EXPECT_EQ(msUntilNextTimer(), -1);
}

TEST_F(Announce, AnnouncementNeedsAtLeastTwoCharacters) {
    sendAnnouncement(std::nullopt, 1);
    sendAnnouncement(std::string(""), 1);
    sendAnnouncement(std::string("x"), 1);
    EXPECT_TRUE(fake.log.empty());
    sendAnnouncement(std::string("hi"), 1);
    EXPECT_EQ(fake.commands, (Log{"hi"}));
}

TEST_F(Announce, AnnouncementGetsTheCountAndNeverActsAsAFormatOnItsOwn) {
    sendAnnouncement(std::string("say bash number %u"), 7);
    sendAnnouncement(std::string("say %s%n%d"), 2);
    ASSERT_EQ(fake.commands.size(), 2u);
    EXPECT_EQ(fake.commands[0], "say bash number 7");
    EXPECT_EQ(fake.commands[1], "say %s%n2");
}

TEST_F(Announce, AnAnnouncementIsOneCommandOrNone) {
    sendAnnouncement(std::string("say \"Rampage; x%u\""), 2);
    sendAnnouncement(std::string("say Rampage x%u; quit"), 3);
    sendAnnouncement(std::string("say Rampage /* x%u"), 4);
    EXPECT_EQ(fake.commands, (Log{"say \"Rampage; x2\""}));
    EXPECT_EQ(fake.logOf("notice").size(), 2u);
}

TEST_F(Announce, CounterCvarCarriesTheFullUnsignedValue) {
    setStatCvar("kills", 4294967295u);
    setStatCvar("in_a_row_deaths", 0);
    EXPECT_EQ(fake.commands, (Log{"set sfx_kills 4294967295", "set sfx_in_a_row_deaths 0"}));
}

TEST_F(Announce, PublishAllStatsRunsTheScriptsMatchingTheFlags) {
    app.currentMessageFile = "english.ini";
    publishAllStats();
    EXPECT_EQ(fake.log, (Log{"sleep 5", "cmd exec updatevbxstats.cfg", "cmd exec vorbixon.cfg",
                             "cmd exec announceon.cfg", "cmd exec displayson.cfg", "cmd exec soundson.cfg",
                             "cmd name", "sleep 5", "cmd set sfx_current_language \"english.ini\""}));

    resetFakes();
    publishAllStats();
    EXPECT_EQ(fake.commands, (Log{"exec updatevbxstats.cfg", "exec vorbixon.cfg", "exec announceoff.cfg",
                                  "exec displaysoff.cfg", "exec soundsoff.cfg", "name",
                                  "set sfx_current_language \"\""}));
}
