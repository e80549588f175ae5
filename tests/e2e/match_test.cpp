// One scripted match of the real vorbix.exe with the shipped English message
// file: the game's lines go in, and the commands the game receives, the main
// window's check boxes, the stats file and the Statistics dialog come out.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "stats/history.h"
#include "support/app_ui.h"
#include "support/harness.h"

namespace {

using Commands = std::vector<std::string>;

constexpr int kStatisticsButton = 0;
constexpr int kSoundsCheckBox = 18;
constexpr int kAnnouncementsCheckBox = 19;
constexpr int kDisplaysCheckBox = 21;
const std::string kHideMenu = "exec hidevorbixui.cfg";

// The multi-kill window on the program's whole-second clock: kills at least
// kill_time apart never chain, kills less than kill_time - 1 apart always do.
constexpr const char* kIni =
    "kill_time=5\r\n"
    "defaultmsgfile=english.ini\r\n"
    "[vorbix]\r\nsounds=1\r\ndisplays=1\r\nannouncements=1\r\n"
    "[game]\r\nlaunchmohaa=0\r\n"
    "[announcements]\r\n"
    "bash=say \"Humiliation! Bash kill #%u\"\r\n"
    "headshot=say \"Headshot! #%u\"\r\n"
    "killingspree=say \"Killing Spree! x%u\"\r\n"
    "rampage=say \"Rampage! x%u\"\r\n"
    "dominating=say \"Dominating! x%u\"\r\n"
    "unstoppable=say \"Unstoppable! x%u\"\r\n"
    "godlike=say \"Godlike! x%u\"\r\n"
    "holyshit=say \"Holy Shit! x%u\"\r\n";

const std::string kNameDetected = "set sfx_name_message \"Name Detected 'Bob' \"";

Commands publishAll(bool displays, bool sounds) {
    return {"exec updatevbxstats.cfg",
            "exec vorbixon.cfg",
            "exec announceon.cfg",
            displays ? "exec displayson.cfg" : "exec displaysoff.cfg",
            sounds ? "exec soundson.cfg" : "exec soundsoff.cfg",
            "name",
            "set sfx_current_language \"english.ini\""};
}

std::string cvar(const std::string& key, uint32_t value) { return "set sfx_" + key + " " + std::to_string(value); }

// Lines the game prints at once, after an optional pause, and the commands
// the program answers them with (hide commands of the menu worker aside).
struct Step {
    const char* what;
    unsigned pauseBeforeMs;
    std::vector<std::string> lines;
    Commands expected;
};

// 35 kills in a row right after a death, each within the multi-kill window
// of the one before. The counts before it: best run 5, one killing spree,
// two double kills and one multi kill.
Step spreeOf35() {
    struct Milestone {
        const char* key;
        const char* announcement;
    };
    const Milestone milestones[] = {{"killingspree", "Killing Spree! x"}, {"rampage", "Rampage! x"},
                                    {"dominating", "Dominating! x"},      {"unstoppable", "Unstoppable! x"},
                                    {"godlike", "Godlike! x"},            {"holyshit", "Holy Shit! x"}};
    const char* const multiKills[] = {"double_kills", "multi_kills", "ultra_kills", "monster_kills"};
    uint32_t milestoneCounts[6] = {1, 0, 0, 0, 0, 0};
    uint32_t multiKillCounts[4] = {2, 1, 0, 0};

    Step step{"a spree of 35 kills", 0, {}, {}};
    for (uint32_t kill = 1; kill <= 35; ++kill) {
        step.lines.push_back("\x04" "Axis" + std::to_string(kill) + " was shot by Bob");
        if (kill > 5) step.expected.push_back(cvar("in_a_row_kills", kill));
        if (kill % 5 == 0) {
            uint32_t spree = (kill - 1) % 30 + 1;  // the spree count starts over after 30
            int m = static_cast<int>(spree / 5) - 1;
            uint32_t count = ++milestoneCounts[m];
            step.expected.push_back(std::string("showmenu ") + milestones[m].key);
            step.expected.push_back("say \"" + std::string(milestones[m].announcement) + std::to_string(count) + "\"");
            step.expected.push_back(cvar(milestones[m].key, count));
        }
        if (kill > 1) {
            int m = static_cast<int>((kill - 2) % 4);
            step.expected.push_back(cvar(multiKills[m], ++multiKillCounts[m]));
        }
        step.expected.push_back(cvar("kills", 5 + kill));
    }
    return step;
}

std::vector<Step> firstMap() {
    return {
        {"linked, name asked and detected", 0, {}, publishAll(true, true) + Commands{"mapname", kNameDetected}},
        {"head kill, torso double kill, bash multi kill",
         0,
         {"\x05" "Alice was shot by Bob in the head", "\x04" "Carl was gunned down by Bob in the upper torso",
          "\x05" "Dave was clubbed by Bob"},
         {"showmenu headshot", "say \"Headshot! #1\"", cvar("headshots_kills", 1), cvar("in_a_row_kills", 1),
          cvar("kills", 1), cvar("torso_kills", 1), cvar("in_a_row_kills", 2), cvar("double_kills", 1),
          cvar("kills", 2), cvar("in_a_row_kills", 3), cvar("multi_kills", 1), cvar("kills", 3), "showmenu bash",
          "say \"Humiliation! Bash kill #1\"", cvar("bashes_kills", 1)}},
        {"a kill kill_time after the last does not chain",
         5000,
         {"\x04" "Eve was shot by Bob in the left foot"},
         {cvar("left_leg_kills", 1), cvar("in_a_row_kills", 4), cvar("kills", 4)}},
        {"the next kill within kill_time chains, and is the fifth in a row",
         1000,
         {"\x04" "Fred was sniped by Bob in the right hand"},
         {cvar("right_arm_kills", 1), cvar("in_a_row_kills", 5), "showmenu killingspree",
          "say \"Killing Spree! x1\"", cvar("killingspree", 1), cvar("double_kills", 2), cvar("kills", 5)}},
        {"deaths: pelvis hit, bashed, suicide, helmet hit; chat and others' kills count nothing",
         0,
         {"\x04" "Bob was shot by Greg in the pelvis", "\x02" "(team) Bob: Jim was shot by Bob lol",
          "\x05" "Bob was bashed by Hank", "\x04" "Kim was shot by Lou in the head", "\x04" "Bob blew himself up",
          "\x04" "Bob was shot by Ivan in the helmet"},
         {cvar("in_a_row_deaths", 1), cvar("pelvis_deaths", 1), cvar("deaths", 1), cvar("in_a_row_deaths", 2),
          cvar("bashes_deaths", 1), cvar("deaths", 2), cvar("in_a_row_deaths", 3), cvar("suicides", 1),
          cvar("deaths", 3), cvar("in_a_row_deaths", 4), cvar("headshots_deaths", 1), cvar("deaths", 4)}},
        spreeOf35(),
        {"map change, the player hosting: saved, reset, everything published again",
         0,
         {"------ Server Initialization ------", "==== InitGame ====", "CL_InitCGame:  1.23 seconds",
          "------- Sound Begin Registration -------"},
         publishAll(true, true) + Commands{cvar("maps", 0), cvar("in_a_row_deaths", 0), cvar("in_a_row_kills", 0),
                                           "mapname", kNameDetected}},
    };
}

std::vector<Step> secondMap() {
    return {
        {"sounds and displays off in the game",
         0,
         {"vorbixoption sounds_off", "vorbixoption displays_off"},
         {"exec soundsoff.cfg", "exec displaysoff.cfg"}},
        {"a head kill without a menu",
         0,
         {"\x04" "Jack was shot by Bob in the head"},
         {"say \"Headshot! #1\"", cvar("headshots_kills", 1), cvar("in_a_row_kills", 1), cvar("kills", 1)}},
        {"switched off, a kill is ignored; switched on, the name is asked",
         0,
         {"vorbixoption vorbix_off", "\x04" "Kyle was shot by Bob", "vorbixoption vorbix_on"},
         {"exec vorbixoff.cfg", "exec vorbixon.cfg", "name", kNameDetected}},
        {"a death without attacker, then a kill that is no new best",
         0,
         {"\x04" "Bob cratered", "\x04" "Liam was shot by Bob"},
         {cvar("in_a_row_deaths", 1), cvar("deaths", 1), cvar("kills", 2)}},
        {"private mode: a player timing out makes the game reconnect",
         0,
         {"vorbixoption private", "Zed timed out"},
         {"reconnect"}},
        {"reloading the message file while linked",
         0,
         {"vorbixoption language english"},
         {"subtitle2 \"Loading language from english.ini\"", "set sfx_current_language \"english.ini\"", "name",
          kNameDetected}},
        {"after the reload: one reconnect, a death and a kill still count",
         0,
         {"Zed timed out", "\x05" "Bob was shot by Nora in the lower left arm",
          "\x04" "Olga was shot by Bob in the right foot"},
         {"reconnect", cvar("left_arm_deaths", 1), cvar("deaths", 2), cvar("right_leg_kills", 1), cvar("kills", 3)}},
    };
}

StatsRecord statsWith(std::initializer_list<std::pair<const char*, uint32_t>> values) {
    StatsRecord record{};
    for (const auto& [key, value] : values)
        for (int i = 0; i < kStatsFieldCount; ++i)
            if (std::string(kStatsKeys[i]) == key) record.*kStatsFields[i] = value;
    return record;
}

// Every count of the first map, saved at the map change.
StatsRecord firstMapStats() {
    return statsWith({{"kills", 40},          {"deaths", 4},          {"suicides", 1},      {"maps", 1},
                      {"in_a_row_kills", 35}, {"in_a_row_deaths", 4}, {"double_kills", 11}, {"multi_kills", 10},
                      {"ultra_kills", 8},     {"monster_kills", 8},   {"killingspree", 3},  {"rampage", 1},
                      {"dominating", 1},      {"unstoppable", 1},     {"godlike", 1},       {"holyshit", 1},
                      {"bashes_kills", 1},    {"bashes_deaths", 1},   {"headshots_kills", 1},
                      {"headshots_deaths", 1}, {"torso_kills", 1},    {"pelvis_deaths", 1}, {"right_arm_kills", 1},
                      {"left_leg_kills", 1}});
}

// The first map's totals with the second map's counts added.
StatsRecord matchStats() {
    StatsRecord total = firstMapStats();
    total.kills += 3;
    total.deaths += 2;
    total.headshots_kills += 1;
    total.left_arm_deaths += 1;
    total.right_leg_kills += 1;
    return total;
}

void expectStats(const StatsRecord& got, const StatsRecord& want) {
    for (int i = 0; i < kStatsFieldCount; ++i)
        EXPECT_EQ(got.*kStatsFields[i], want.*kStatsFields[i]) << kStatsKeys[i];
}

// Value controls of the Statistics dialog, in the order of the stats file.
constexpr int kDialogIds[kStatsFieldCount] = {1038, 1039, 1041, 1040, 1043, 1044, 1034, 1035, 1036, 1037, 1029,
                                              1030, 1042, 1031, 1032, 1033, 1028, 1020, 1021, 1013, 1022, 1014,
                                              1025, 1017, 1024, 1016, 1023, 1015, 1027, 1019, 1026, 1018};

Commands withoutHideMenus(const Commands& commands) {
    Commands kept;
    for (const std::string& command : commands)
        if (command != kHideMenu) kept.push_back(command);
    return kept;
}

size_t countOf(const Commands& commands, const std::string& prefix) {
    size_t count = 0;
    for (const std::string& command : commands) count += command.rfind(prefix, 0) == 0;
    return count;
}

class MatchTest : public ::testing::Test {
protected:
    TestDir dir;
    std::unique_ptr<SimConsole> console;
    std::unique_ptr<VorbixProcess> vorbix;
    Commands expected;

    void SetUp() override {
        dir.write("vorbix.ini", kIni);
        dir.mkdir("messages");
        dir.copyFromSource("data/messages/english.ini", "messages\\english.ini");
        dir.mkdir("sounds");  // no sound files: sounds play nothing, at once
        SimOptions options;
        options.playerName = "Bob";
        console = std::make_unique<SimConsole>(options);
        vorbix = std::make_unique<VorbixProcess>(dir);
        ASSERT_TRUE(vorbix->started());
        ASSERT_NE(vorbix->waitForMainWindow(), nullptr);
    }

    // Plays the steps one after the other, each once the program answered
    // the one before, so the game's answers to "name" keep their place.
    void play(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            if (step.pauseBeforeMs) Sleep(step.pauseBeforeMs);
            for (const std::string& line : step.lines) console->print(line);
            expected = expected + step.expected;
            ASSERT_TRUE(waitUntil([&] { return withoutHideMenus(console->commandTexts()).size() >= expected.size(); },
                                  30000))
                << "the program stopped answering";
        }
    }
};

TEST_F(MatchTest, CountsTheMatchAndAnswersInOrder) {
    console->setMap("dm/mohdm2");
    play(firstMap());
    expectStats(statsFileIn(dir), firstMapStats());
    play(secondMap());

    EXPECT_FALSE(isChecked(vorbix->control(kSoundsCheckBox)));
    EXPECT_FALSE(isChecked(vorbix->control(kDisplaysCheckBox)));
    EXPECT_TRUE(isChecked(vorbix->control(kAnnouncementsCheckBox)));

    // Opening the Statistics dialog saves the second map's counts and shows
    // the totals.
    vorbix->click(vorbix->control(kStatisticsButton));
    HWND dialog = waitForDialog(vorbix->pid(), "Statistics");
    ASSERT_NE(dialog, nullptr);
    const StatsRecord total = matchStats();
    for (int i = 0; i < kStatsFieldCount; ++i)
        EXPECT_EQ(windowTextOf(GetDlgItem(dialog, kDialogIds[i])), std::to_string(total.*kStatsFields[i]))
            << kStatsKeys[i];
    endDialog(dialog, IDOK);

    vorbix->closeWindow();
    ASSERT_TRUE(vorbix->waitForExit());
    EXPECT_EQ(vorbix->exitCode(), 0u);
    expectStats(statsFileIn(dir), total);
    EXPECT_EQ(iniValue(dir.file("vorbix.ini"), "vorbix", "sounds"), "0");
    EXPECT_EQ(iniValue(dir.file("vorbix.ini"), "vorbix", "displays"), "0");
    // A row for each map. Allied Assault's answer to "mapname" names the map
    // only when the player hosts it: the first map, joined, has no name.
    HistoryFile history;
    ASSERT_TRUE(readHistoryFile(dir.file(kHistoryFileName).c_str(), history));
    ASSERT_EQ(history.rows.size(), 2u);
    EXPECT_EQ(history.rows[0].map, "");
    EXPECT_EQ(history.rows[1].map, "dm/mohdm2");
    EXPECT_EQ(history.rows[0].counts.kills, 40u);
    EXPECT_EQ(history.rows[1].counts.kills, 3u);
    EXPECT_EQ(history.rows[1].edition, "Allied Assault");

    console->waitForFrameEnd();
    // Every menu shown is hidden again by its own worker, about 600 ms later
    // and so at a place that depends on timing.
    Commands received = console->commandTexts();
    EXPECT_EQ(withoutHideMenus(received), expected + Commands{"exec vorbixoff.cfg"});
    EXPECT_EQ(countOf(received, "showmenu "), 10u);
    EXPECT_EQ(countOf(received, kHideMenu), 10u);
}

}  // namespace
