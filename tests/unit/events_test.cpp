// Kill, death, bash, suicide, map and hit-location handlers: counters, the
// order of their effects, sprees and multi-kill chains.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "fakes/platform_fake.h"
#include "stats/events.h"
#include "stats/stats_store.h"
#include "temp_dir.h"

using Log = std::vector<std::string>;

namespace {

template <typename Table, typename Handler>
void putEntry(Table& table, int slot, const char* phrase, Handler handler) {
    std::snprintf(table.entries[slot].phrase, kPhraseSize, "%s", phrase);
    table.entries[slot].handler = handler;
    if (table.count < slot) table.count = slot;
}

void kill(const char* line = "Player killed Bob") {
    std::string text = line;
    onGotKill(nullptr, text.data());
}

void bashKill(const char* line = "Player bashed Bob") {
    std::string text = line;
    onGotBash(nullptr, text.data());
}

void die(const char* line = "Bob killed Player") {
    std::string text = line;
    onKilled(nullptr, text.data());
}

// Kills far enough apart that none of them chains.
void spacedKills(int count) {
    for (int i = 0; i < count; ++i) {
        fake.now += 100;
        kill();
    }
}

}  // namespace

class Events : public ::testing::Test {
protected:
    void SetUp() override {
        resetFakes();
        app.soundsEnabled = 1;
        app.displaysEnabled = 1;
        app.announcementsEnabled = 1;
        app.announcementTexts[kAnnounceKillingspree] = "say spree %u";
        app.announcementTexts[kAnnounceBash] = "say bash %u";
        app.announcementTexts[kAnnounceHeadshot] = "say head %u";
        putEntry(app.tableC, 1, "killed himself", onKilledSelf);
        putEntry(app.tableC, 2, "was bashed", onBashed);
        putEntry(app.tableD, 1, "in the head", onHeadshot);
        putEntry(app.tableD, 2, "in the torso", onTorsoHit);
        putEntry(app.tableD, 3, "in the pelvis", onPelvisHit);
        putEntry(app.tableD, 4, "in the right arm", onRightArmHit);
        putEntry(app.tableD, 5, "in the left arm", onLeftArmHit);
        putEntry(app.tableD, 6, "in the right leg", onRightLegHit);
        putEntry(app.tableD, 7, "in the left leg", onLeftLegHit);
    }
};

TEST_F(Events, FifthKillIsAKillingSpreeWithItsEffectsInOrder) {
    spacedKills(4);
    fake.log.clear();
    spacedKills(1);
    EXPECT_EQ(fake.log, (Log{"cmd set sfx_in_a_row_kills 5", "cmd showmenu killingspree",
                             "cmd say spree 1", "sound sounds\\killing_spree.wav", "cmd set sfx_killingspree 1",
                             "cmd set sfx_kills 5"}));
}

TEST_F(Events, SpreeMilestonesCycleEveryThirtyKills) {
    spacedKills(30);
    EXPECT_EQ(fake.logOf("sound"),
              (Log{"sound sounds\\killing_spree.wav", "sound sounds\\rampage.wav", "sound sounds\\dominating.wav",
                   "sound sounds\\unstoppable.wav", "sound sounds\\godlike.wav", "sound sounds\\holyshit.wav"}));
    const StatsRecord& s = app.pendingStats;
    EXPECT_EQ(s.killingspree + s.rampage + s.dominating + s.unstoppable + s.godlike + s.holyshit, 6u);
    EXPECT_EQ(app.spreeCount, 0u);
    spacedKills(5);
    EXPECT_EQ(s.killingspree, 2u);
    EXPECT_EQ(app.killsInARow, 35u);
    EXPECT_EQ(s.in_a_row_kills, 35u);
    EXPECT_EQ(fake.commands.back(), "set sfx_kills 35");
}

TEST_F(Events, MultiKillWindowEndsAtExactlyKillTimeSeconds) {
    for (int32_t t : {100, 105, 109}) {
        fake.now = t;
        kill();
    }
    EXPECT_EQ(app.pendingStats.double_kills, 1u);
    EXPECT_EQ(app.pendingStats.multi_kills, 1u);
    EXPECT_EQ(app.multiKillCount, 2u);
    fake.log.clear();
    fake.now = 119;  // 119 - 10 is not before 109
    kill();
    EXPECT_EQ(app.multiKillCount, 0u);
    EXPECT_TRUE(fake.logOf("sound").empty());
    EXPECT_EQ(app.lastKillTime, 119);
    fake.now = 128;  // the window moved with the unchained kill
    kill();
    EXPECT_EQ(app.pendingStats.double_kills, 2u);
}

TEST_F(Events, MultiKillStepEffectsAndRestartAfterMonsterKill) {
    fake.now = 5000;
    kill();
    fake.log.clear();
    kill();
    EXPECT_EQ(fake.log,
              (Log{"cmd set sfx_in_a_row_kills 2", "sound sounds\\double_kill.wav", "cmd set sfx_double_kills 1",
                   "cmd set sfx_kills 2"}));
    for (int i = 0; i < 4; ++i) kill();
    // The fifth kill is also a spree milestone, whose sound comes first.
    EXPECT_EQ(fake.logOf("sound"),
              (Log{"sound sounds\\double_kill.wav", "sound sounds\\multikill.wav", "sound sounds\\ultrakill.wav",
                   "sound sounds\\killing_spree.wav", "sound sounds\\monsterkill.wav",
                   "sound sounds\\double_kill.wav"}));
    EXPECT_EQ(app.pendingStats.monster_kills, 1u);
    EXPECT_EQ(app.pendingStats.double_kills, 2u);
    EXPECT_EQ(app.multiKillCount, 1u);
}

TEST_F(Events, KillsChainOnlyWithAPositiveWindowAndAPreviousKill) {
    app.killTime = 1;
    fake.now = 500;
    kill();
    kill();
    EXPECT_EQ(app.pendingStats.double_kills, 1u);

    for (int32_t window : {0, -5, INT_MIN}) {
        resetFakes();
        app.killTime = window;
        fake.now = 500;
        kill();
        kill();
        EXPECT_EQ(app.pendingStats.double_kills, 0u) << "killTime " << window;
    }

    // A death leaves no previous kill to chain with, even at a small clock value.
    resetFakes();
    fake.now = 3;
    kill();
    die();
    kill();
    EXPECT_EQ(app.pendingStats.double_kills, 0u);
    EXPECT_EQ(app.lastKillTime, 3);

    // The window is measured in 32-bit wrap-around time, across the wrap.
    fake.now = INT32_MAX - 2;
    kill();
    fake.now = INT32_MIN + 3;  // six seconds later
    kill();
    EXPECT_EQ(app.pendingStats.double_kills, 1u);
}

TEST_F(Events, BashKillRunsTheKillEffectsThenTheBashEffects) {
    spacedKills(4);
    fake.log.clear();
    fake.now += 100;
    bashKill();
    EXPECT_EQ(fake.log, (Log{"cmd set sfx_in_a_row_kills 5", "cmd showmenu killingspree",
                             "cmd say spree 1", "sound sounds\\killing_spree.wav", "cmd set sfx_killingspree 1",
                             "cmd set sfx_kills 5", "cmd showmenu bash", "cmd say bash 1",
                             "sound sounds\\humiliation.wav", "cmd set sfx_bashes_kills 1"}));
    EXPECT_EQ(app.pendingStats.kills, 5u);
}

TEST_F(Events, DeathRunsTableCThenTheHitLocationThenPublishesDeaths) {
    spacedKills(3);
    fake.log.clear();
    die("Player was bashed by Bob in the head");
    EXPECT_EQ(fake.log, (Log{"cmd set sfx_in_a_row_deaths 1", "sound sounds\\humiliating_defeat.wav",
                             "cmd set sfx_bashes_deaths 1", "cmd set sfx_headshots_deaths 1",
                             "cmd set sfx_deaths 1"}));
    EXPECT_EQ(app.killsInARow, 0u);
    EXPECT_EQ(app.spreeCount, 0u);
    EXPECT_EQ(app.lastKillTime, 0);

    // Only the first of two matching table C entries runs.
    fake.log.clear();
    die("Player killed himself and was bashed");
    EXPECT_EQ(fake.log, (Log{"cmd set sfx_in_a_row_deaths 2", "cmd set sfx_suicides 1",
                             "sound sounds\\humiliating_defeat.wav", "cmd set sfx_deaths 2"}));
    EXPECT_EQ(app.pendingStats.bashes_deaths, 1u);
}

TEST_F(Events, BestRunsArePublishedOnlyWhenBeaten) {
    spacedKills(3);
    die();
    spacedKills(2);
    EXPECT_EQ(fake.logOf("cmd set sfx_in_a_row_kills"),
              (Log{"cmd set sfx_in_a_row_kills 1", "cmd set sfx_in_a_row_kills 2", "cmd set sfx_in_a_row_kills 3"}));
    EXPECT_EQ(app.pendingStats.in_a_row_kills, 3u);

    die();
    die();
    spacedKills(1);
    die();
    EXPECT_EQ(fake.logOf("cmd set sfx_in_a_row_deaths"),
              (Log{"cmd set sfx_in_a_row_deaths 1", "cmd set sfx_in_a_row_deaths 2"}));
    EXPECT_EQ(app.deathsInARow, 1u);
}

TEST_F(Events, EveryTenthHeadKillSinceTheLastSaveIsAHeadhunter) {
    for (int i = 0; i < 8; ++i) onHeadshot(false);
    fake.log.clear();
    for (int i = 0; i < 3; ++i) onHeadshot(false);
    EXPECT_EQ(fake.logOf("sound"),
              (Log{"sound sounds\\headshot.wav", "sound sounds\\headhunter.wav", "sound sounds\\headshot.wav"}));
    EXPECT_EQ(fake.log[4], "cmd showmenu headshot");
    EXPECT_EQ(fake.log[5], "cmd say head 10");
    EXPECT_EQ(fake.log[6], "sound sounds\\headhunter.wav");
    EXPECT_EQ(fake.log[7], "cmd set sfx_headshots_kills 10");

    fake.log.clear();
    onHeadshot(true);
    EXPECT_EQ(fake.log, (Log{"cmd set sfx_headshots_deaths 1"}));
}

TEST_F(Events, OneHitLocationPerLineFirstSectionWins) {
    fake.now = 100;
    kill("Player killed Bob in the torso and in the head");
    EXPECT_EQ(app.pendingStats.headshots_kills, 1u);
    EXPECT_EQ(app.pendingStats.torso_kills, 0u);

    die("Bob killed Player in the left leg");
    EXPECT_EQ(app.pendingStats.left_leg_deaths, 1u);
    EXPECT_EQ(app.pendingStats.left_leg_kills, 0u);
}

TEST_F(Events, HitLocationTableBoundsAreRespected) {
    app.tableD.count = 0;
    findHitLocation(false, "in the head");
    EXPECT_EQ(app.pendingStats.headshots_kills, 0u);

    // A count beyond the table never reads past its last slot.
    app.tableD.count = 1000;
    findHitLocation(true, "nothing here");
    findHitLocation(true, nullptr);
    EXPECT_TRUE(fake.log.empty());

    // An empty phrase in front matches every line.
    putEntry(app.tableD, 1, "", onPelvisHit);
    app.tableD.count = 7;
    findHitLocation(false, "in the head");
    EXPECT_EQ(app.pendingStats.pelvis_kills, 1u);
}

TEST_F(Events, FlagsOffSilenceEffectsButCountersStillReachTheGame) {
    app.soundsEnabled = 0;
    app.displaysEnabled = 0;
    app.announcementsEnabled = 0;
    spacedKills(4);
    fake.log.clear();
    fake.now += 100;
    bashKill("Player bashed Bob in the head");
    EXPECT_EQ(fake.log, (Log{"cmd set sfx_headshots_kills 1", "cmd set sfx_in_a_row_kills 5",
                             "cmd set sfx_killingspree 1", "cmd set sfx_kills 5", "cmd set sfx_bashes_kills 1"}));
}

TEST_F(Events, MapChangeSavesResetsAndRepublishes) {
    TempDir dir;
    ScopedChdir inDir(dir.root());
    StatsRecord old{};
    old.kills = 10;
    old.maps = 4;
    ASSERT_TRUE(writeStatsFile(kStatsFileName, old));
    app.currentMessageFile = "english.ini";
    spacedKills(2);
    kill();                // chained: a multi-kill is under way
    app.deathsInARow = 2;  // and a death streak, as the next map must not see
    fake.log.clear();

    onMapChange(nullptr, nullptr);
    EXPECT_EQ(fake.log, (Log{"sleep 5", "cmd exec updatevbxstats.cfg", "cmd exec vorbixon.cfg",
                             "cmd exec announceon.cfg", "cmd exec displayson.cfg", "cmd exec soundson.cfg",
                             "cmd name", "sleep 5", "cmd set sfx_current_language \"english.ini\"",
                             "cmd set sfx_maps 0", "cmd set sfx_in_a_row_deaths 0", "cmd set sfx_in_a_row_kills 0"}));
    StatsRecord saved;
    ASSERT_TRUE(readStatsFile(kStatsFileName, saved));
    EXPECT_EQ(saved.kills, 13u);
    EXPECT_EQ(saved.maps, 5u);
    EXPECT_EQ(saved.in_a_row_kills, 3u);
    EXPECT_EQ(dir.read(kStatsFileName).size(), kStatsFileSize);

    // Streaks and the multi-kill chain ended with the map.
    EXPECT_EQ(app.lastKillTime, 0);
    EXPECT_EQ(app.multiKillCount, 0u);
    EXPECT_EQ(app.deathsInARow, 0u);
    fake.log.clear();
    spacedKills(1);
    EXPECT_EQ(app.spreeCount, 1u);
    EXPECT_EQ(fake.log.front(), "cmd set sfx_in_a_row_kills 1");
}
