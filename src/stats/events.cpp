#include "stats/events.h"

#include <cstring>

#include "core/app_state.h"
#include "text/find_phrase.h"
#include "stats/announce.h"
#include "stats/map_history.h"
#include "stats/stats_store.h"
#include "core/platform.h"

const char* const kEventMenuNames[kEventMenuCount] = {
    "killingspree", "rampage", "dominating", "unstoppable", "godlike", "holyshit", "bash", "headshot",
};

namespace {

struct SpreeMilestone {
    uint32_t spreeCount;
    uint32_t StatsRecord::*counter;
    const char* key;  // counter key
    EventMenu menu;
    AnnouncementKey announcement;
    const char* sound;
};

const SpreeMilestone kSpreeMilestones[] = {
    {5, &StatsRecord::killingspree, "killingspree", kMenuKillingspree, kAnnounceKillingspree, "sounds\\killing_spree.wav"},
    {10, &StatsRecord::rampage, "rampage", kMenuRampage, kAnnounceRampage, "sounds\\rampage.wav"},
    {15, &StatsRecord::dominating, "dominating", kMenuDominating, kAnnounceDominating, "sounds\\dominating.wav"},
    {20, &StatsRecord::unstoppable, "unstoppable", kMenuUnstoppable, kAnnounceUnstoppable, "sounds\\unstoppable.wav"},
    {25, &StatsRecord::godlike, "godlike", kMenuGodlike, kAnnounceGodlike, "sounds\\godlike.wav"},
    {30, &StatsRecord::holyshit, "holyshit", kMenuHolyshit, kAnnounceHolyshit, "sounds\\holyshit.wav"},
};
constexpr uint32_t kSpreeCycle = 30;

struct MultiKillStep {
    uint32_t multiKillCount;
    uint32_t StatsRecord::*counter;
    const char* key;
    const char* sound;
};

const MultiKillStep kMultiKillSteps[] = {
    {1, &StatsRecord::double_kills, "double_kills", "sounds\\double_kill.wav"},
    {2, &StatsRecord::multi_kills, "multi_kills", "sounds\\multikill.wav"},
    {3, &StatsRecord::ultra_kills, "ultra_kills", "sounds\\ultrakill.wav"},
    {4, &StatsRecord::monster_kills, "monster_kills", "sounds\\monsterkill.wav"},
};
constexpr uint32_t kMultiKillCycle = 4;

// Index of the first table entry (slots 1..count) whose phrase occurs in
// `line`, or 0. The count is re-read on every pass and kept inside the table.
template <typename Table>
int firstMatchingEntry(const Table& table, const char* line) {
    if (!line) return 0;
    const size_t lineLength = std::strlen(line);
    for (int i = 1; i <= table.count && i < MAX_KEYWORDS; ++i) {
        const char* phrase = table.entries[i].phrase;
        if (findPhrase(line, lineLength, phrase, std::strlen(phrase))) return i;
    }
    return 0;
}

// The kill came fewer than killTime seconds after the previous one. The
// difference is taken in 32-bit wrap-around arithmetic like the clock itself;
// a window of 0 or less, or no previous kill since a death or reset, never
// chains.
bool chainsWithLastKill(int32_t now) {
    if (app.killTime <= 0 || app.lastKillTime == 0) return false;
    int32_t windowStart = static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(app.killTime));
    return windowStart < app.lastKillTime;
}

void reachSpreeMilestone(const SpreeMilestone& milestone) {
    uint32_t& counter = app.pendingStats.*milestone.counter;
    ++counter;
    showGameMenu(kEventMenuNames[milestone.menu]);
    sendAnnouncement(app.announcementTexts[milestone.announcement], counter);
    playSound(milestone.sound);
    if (milestone.spreeCount == kSpreeCycle) app.spreeCount = 0;
    setStatCvar(milestone.key, counter);
}

void takeMultiKillStep(const MultiKillStep& step) {
    uint32_t& counter = app.pendingStats.*step.counter;
    playSound(step.sound);
    ++counter;
    if (step.multiKillCount == kMultiKillCycle) app.multiKillCount = 0;
    setStatCvar(step.key, counter);
}

// The six hit handlers without a menu or sound: count and publish.
void countHit(bool isDeath, uint32_t StatsRecord::*killCounter, const char* killKey,
              uint32_t StatsRecord::*deathCounter, const char* deathKey) {
    uint32_t& counter = app.pendingStats.*(isDeath ? deathCounter : killCounter);
    ++counter;
    setStatCvar(isDeath ? deathKey : killKey, counter);
}

}  // namespace

void onGotKill(const char*, char* line) {
    int32_t now = nowSeconds();
    ++app.pendingStats.kills;
    app.deathsInARow = 0;
    findHitLocation(false, line);
    ++app.spreeCount;
    ++app.killsInARow;
    if (app.killsInARow > app.pendingStats.in_a_row_kills) {
        app.pendingStats.in_a_row_kills = app.killsInARow;
        setStatCvar("in_a_row_kills", app.pendingStats.in_a_row_kills);
    }
    for (const SpreeMilestone& milestone : kSpreeMilestones) {
        if (app.spreeCount == milestone.spreeCount) {
            reachSpreeMilestone(milestone);
            break;
        }
    }
    if (chainsWithLastKill(now)) {
        ++app.multiKillCount;
        for (const MultiKillStep& step : kMultiKillSteps) {
            if (app.multiKillCount == step.multiKillCount) {
                takeMultiKillStep(step);
                break;
            }
        }
    } else {
        app.multiKillCount = 0;
    }
    app.lastKillTime = now;
    setStatCvar("kills", app.pendingStats.kills);
}

void onGotBash(const char* match, char* line) {
    onGotKill(match, line);
    ++app.pendingStats.bashes_kills;
    showGameMenu(kEventMenuNames[kMenuBash]);
    sendAnnouncement(app.announcementTexts[kAnnounceBash], app.pendingStats.bashes_kills);
    playSound("sounds\\humiliation.wav");
    setStatCvar("bashes_kills", app.pendingStats.bashes_kills);
}

void onKilled(const char*, char* line) {
    app.lastKillTime = 0;
    app.multiKillCount = 0;
    app.spreeCount = 0;
    app.killsInARow = 0;
    ++app.pendingStats.deaths;
    ++app.deathsInARow;
    if (app.deathsInARow > app.pendingStats.in_a_row_deaths) {
        app.pendingStats.in_a_row_deaths = app.deathsInARow;
        setStatCvar("in_a_row_deaths", app.pendingStats.in_a_row_deaths);
    }
    // Suicide or bashed: only the first matching table C entry runs.
    int entry = firstMatchingEntry(app.tableC, line);
    if (entry != 0 && app.tableC.entries[entry].handler) app.tableC.entries[entry].handler(nullptr, nullptr);
    findHitLocation(true, line);
    setStatCvar("deaths", app.pendingStats.deaths);
}

void onKilledSelf(const char*, char*) {
    ++app.pendingStats.suicides;
    setStatCvar("suicides", app.pendingStats.suicides);
    playSound("sounds\\humiliating_defeat.wav");
}

void onBashed(const char*, char*) {
    ++app.pendingStats.bashes_deaths;
    playSound("sounds\\humiliating_defeat.wav");
    setStatCvar("bashes_deaths", app.pendingStats.bashes_deaths);
}

void onMapChange(const char*, char*) {
    ++app.pendingStats.maps;
    saveStats();
    endMap();
    beginMap();
    resetSessionStats();
    publishAllStats();
    setStatCvar("maps", app.pendingStats.maps);
    setStatCvar("in_a_row_deaths", app.pendingStats.in_a_row_deaths);
    setStatCvar("in_a_row_kills", app.pendingStats.in_a_row_kills);
    askMapName();
}

void findHitLocation(bool isDeath, const char* line) {
    int entry = firstMatchingEntry(app.tableD, line);
    if (entry != 0 && app.tableD.entries[entry].handler) app.tableD.entries[entry].handler(isDeath);
}

void onHeadshot(bool isDeath) {
    if (isDeath) {
        ++app.pendingStats.headshots_deaths;
        setStatCvar("headshots_deaths", app.pendingStats.headshots_deaths);
        return;
    }
    uint32_t& kills = app.pendingStats.headshots_kills;
    ++kills;
    showGameMenu(kEventMenuNames[kMenuHeadshot]);
    sendAnnouncement(app.announcementTexts[kAnnounceHeadshot], kills);
    // Every 10th head kill since the last save gets the headhunter sound.
    playSound(kills % 10 == 0 ? "sounds\\headhunter.wav" : "sounds\\headshot.wav");
    setStatCvar("headshots_kills", kills);
}

void onTorsoHit(bool isDeath) {
    countHit(isDeath, &StatsRecord::torso_kills, "torso_kills", &StatsRecord::torso_deaths, "torso_deaths");
}

void onPelvisHit(bool isDeath) {
    countHit(isDeath, &StatsRecord::pelvis_kills, "pelvis_kills", &StatsRecord::pelvis_deaths, "pelvis_deaths");
}

void onRightArmHit(bool isDeath) {
    countHit(isDeath, &StatsRecord::right_arm_kills, "right_arm_kills", &StatsRecord::right_arm_deaths,
             "right_arm_deaths");
}

void onLeftArmHit(bool isDeath) {
    countHit(isDeath, &StatsRecord::left_arm_kills, "left_arm_kills", &StatsRecord::left_arm_deaths,
             "left_arm_deaths");
}

void onRightLegHit(bool isDeath) {
    countHit(isDeath, &StatsRecord::right_leg_kills, "right_leg_kills", &StatsRecord::right_leg_deaths,
             "right_leg_deaths");
}

void onLeftLegHit(bool isDeath) {
    countHit(isDeath, &StatsRecord::left_leg_kills, "left_leg_kills", &StatsRecord::left_leg_deaths,
             "left_leg_deaths");
}
