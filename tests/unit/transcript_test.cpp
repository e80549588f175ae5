// Replays a recorded match, line by line as the game prints it, through the
// shipped English message file and the real engine, and checks every event.
#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/app_state.h"
#include "wiring/message_wiring.h"
#include "wiring/poll.h"
#include "fakes/platform_fake.h"
#include "core/platform.h"
#include "core/stats_record.h"
#include "stats/stats_store.h"
#include "temp_dir.h"

namespace {

std::string readSourceFile(const std::string& relative) {
    std::ifstream in(std::string(VORBIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The transcript's lines, each with its CR LF.
std::vector<std::string> transcriptLines() {
    std::string text = readSourceFile("tests/data/transcript.log");
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
        lines.push_back(text.substr(start, lf + 1 - start));
    return lines;
}

using Counts = std::initializer_list<std::pair<uint32_t StatsRecord::*, uint32_t>>;

StatsRecord recordOf(Counts counts) {
    StatsRecord record{};
    for (const auto& [field, value] : counts) record.*field = value;
    return record;
}

void expectStats(const StatsRecord& actual, const StatsRecord& expected, const char* where) {
    for (int i = 0; i < kStatsFieldCount; ++i)
        EXPECT_EQ(actual.*kStatsFields[i], expected.*kStatsFields[i]) << where << ": " << kStatsKeys[i];
}

const char* const kNameMessage = "set sfx_name_message \"Name Detected 'Kestrel' \"";

// What publishAllStats and onMapChange send with sounds on, the rest off.
const std::vector<std::string> kMapLoad = {
    "exec updatevbxstats.cfg", "exec vorbixon.cfg", "exec announceoff.cfg", "exec displaysoff.cfg",
    "exec soundson.cfg",       "name",              "set sfx_current_language \"english.ini\"",
    "set sfx_maps 0",          "set sfx_in_a_row_deaths 0", "set sfx_in_a_row_kills 0",
};

std::vector<std::string> expectedCommands() {
    std::vector<std::string> out;
    auto add = [&](const std::vector<std::string>& commands) { out.insert(out.end(), commands.begin(), commands.end()); };
    auto set = [](const char* key, int value) { return "set sfx_" + std::string(key) + " " + std::to_string(value); };

    // First map; the name arrives after its load.
    add(kMapLoad);
    add({kNameMessage});
    add({set("in_a_row_kills", 1), set("kills", 1)});
    add({set("headshots_kills", 1), set("in_a_row_kills", 2), set("double_kills", 1), set("kills", 2)});
    add({set("torso_kills", 1), set("in_a_row_kills", 3), set("multi_kills", 1), set("kills", 3)});
    add({set("pelvis_kills", 1), set("in_a_row_kills", 4), set("ultra_kills", 1), set("kills", 4)});
    add({set("in_a_row_kills", 5), set("killingspree", 1), set("monster_kills", 1), set("kills", 5),
         set("bashes_kills", 1)});
    add({set("in_a_row_deaths", 1), set("left_leg_deaths", 1), set("deaths", 1)});
    add({set("in_a_row_deaths", 2), set("bashes_deaths", 1), set("deaths", 2)});
    add({set("in_a_row_deaths", 3), set("suicides", 1), set("deaths", 3)});
    add({set("in_a_row_deaths", 4), set("deaths", 4)});
    add({set("right_arm_kills", 1), set("kills", 6)});

    // Second map: the expansions' obituaries.
    add(kMapLoad);
    add({kNameMessage});
    add({set("in_a_row_kills", 1), set("kills", 1)});
    add({set("in_a_row_kills", 2), set("double_kills", 1), set("kills", 2)});
    add({set("in_a_row_kills", 3), set("multi_kills", 1), set("kills", 3)});
    add({set("in_a_row_kills", 4), set("ultra_kills", 1), set("kills", 4)});
    add({set("in_a_row_kills", 5), set("killingspree", 1), set("monster_kills", 1), set("kills", 5)});
    add({set("in_a_row_kills", 6), set("double_kills", 2), set("kills", 6)});
    add({set("in_a_row_kills", 7), set("multi_kills", 2), set("kills", 7), set("bashes_kills", 1)});
    add({set("in_a_row_deaths", 1), set("headshots_deaths", 1), set("deaths", 1)});
    add({set("in_a_row_deaths", 2), set("deaths", 2)});
    add({set("in_a_row_deaths", 3), set("suicides", 1), set("deaths", 3)});
    add({set("in_a_row_deaths", 4), set("suicides", 2), set("left_leg_deaths", 1), set("deaths", 4)});
    add({set("in_a_row_deaths", 5), set("bashes_deaths", 1), set("deaths", 5)});

    // Third map: deaths without an attacker, then sounds switched off in game.
    add(kMapLoad);
    add({set("right_leg_kills", 1), set("in_a_row_kills", 1), set("kills", 1)});
    add({set("in_a_row_deaths", 1), set("deaths", 1)});
    add({set("in_a_row_deaths", 2), set("deaths", 2)});
    add({set("in_a_row_deaths", 3), set("torso_deaths", 1), set("deaths", 3)});
    add({set("in_a_row_deaths", 4), set("suicides", 1), set("deaths", 4)});
    add({set("left_arm_kills", 1), set("kills", 2)});
    add({"exec soundsoff.cfg"});
    add({set("headshots_kills", 1), set("in_a_row_kills", 2), set("double_kills", 1), set("kills", 3)});
    return out;
}

std::vector<std::string> expectedSounds() {
    std::vector<std::string> names = {
        // First map.
        "headshot", "double_kill", "multikill", "ultrakill", "killing_spree", "monsterkill", "humiliation",
        "humiliating_defeat", "humiliating_defeat",
        // Second map.
        "double_kill", "multikill", "ultrakill", "killing_spree", "monsterkill", "double_kill", "multikill",
        "humiliation", "humiliating_defeat", "humiliating_defeat", "humiliating_defeat",
        // Third map, before the sounds go off.
        "humiliating_defeat",
    };
    std::vector<std::string> out;
    for (const auto& name : names) out.push_back("sound sounds\\" + name + ".wav");
    return out;
}

}  // namespace

TEST(Transcript, EnglishMessageFileCountsEveryEventOfARecordedMatch) {
    resetFakes();
    TempDir dir;
    dir.mkdir("messages");
    dir.write("messages/english.ini", readSourceFile("data/messages/english.ini"));
    ScopedChdir chdir(dir.root());  // the stats file is written to the current directory
    fake.cwd = dir.root();
    app.soundsEnabled = 1;

    loadMessageFile("english.ini");
    ASSERT_EQ(app.currentMessageFile, "english.ini");
    int32_t lastSearchTime = 0;
    fake.editionPresent[0] = true;
    pollFakeConsole(lastSearchTime);
    ASSERT_TRUE(isLinked(app.link));
    fake.log.clear();
    fake.commands.clear();

    // One line per poll, 4 seconds apart: kills on neighbouring lines chain.
    std::vector<std::string> lines = transcriptLines();
    ASSERT_EQ(lines.size(), 68u);
    std::vector<StatsRecord> pendingAtMapEnd;
    bool mapSeen = false;
    for (const std::string& line : lines) {
        bool mapLoad = line.compare(0, 13, "CL_InitCGame:") == 0;
        if (mapLoad && mapSeen) pendingAtMapEnd.push_back(app.pendingStats);
        mapSeen = mapSeen || mapLoad;
        fake.now += 4;
        fake.consoleText += line;
        pollFakeConsole(lastSearchTime);
    }
    pendingAtMapEnd.push_back(app.pendingStats);

    EXPECT_EQ(fake.playerName, "Kestrel");
    EXPECT_EQ(fake.commands, expectedCommands());
    EXPECT_EQ(fake.logOf("sound "), expectedSounds());
    EXPECT_EQ(app.soundsEnabled, 0u);

    ASSERT_EQ(pendingAtMapEnd.size(), 3u);
    using S = StatsRecord;
    expectStats(pendingAtMapEnd[0],
                recordOf({{&S::kills, 6}, {&S::deaths, 4}, {&S::suicides, 1}, {&S::in_a_row_kills, 5},
                          {&S::in_a_row_deaths, 4}, {&S::double_kills, 1}, {&S::multi_kills, 1},
                          {&S::ultra_kills, 1}, {&S::monster_kills, 1}, {&S::killingspree, 1},
                          {&S::bashes_kills, 1}, {&S::bashes_deaths, 1}, {&S::headshots_kills, 1},
                          {&S::torso_kills, 1}, {&S::pelvis_kills, 1}, {&S::right_arm_kills, 1},
                          {&S::left_leg_deaths, 1}}),
                "first map");
    expectStats(pendingAtMapEnd[1],
                recordOf({{&S::kills, 7}, {&S::deaths, 5}, {&S::suicides, 2}, {&S::in_a_row_kills, 7},
                          {&S::in_a_row_deaths, 5}, {&S::double_kills, 2}, {&S::multi_kills, 2},
                          {&S::ultra_kills, 1}, {&S::monster_kills, 1}, {&S::killingspree, 1},
                          {&S::bashes_kills, 1}, {&S::bashes_deaths, 1}, {&S::headshots_deaths, 1},
                          {&S::left_leg_deaths, 1}}),
                "second map");
    expectStats(pendingAtMapEnd[2],
                recordOf({{&S::kills, 3}, {&S::deaths, 4}, {&S::suicides, 1}, {&S::in_a_row_kills, 2},
                          {&S::in_a_row_deaths, 4}, {&S::double_kills, 1}, {&S::headshots_kills, 1},
                          {&S::right_leg_kills, 1}, {&S::left_arm_kills, 1}, {&S::torso_deaths, 1}}),
                "third map");

    // Each map load saved the map before it; the last save adds the third.
    saveStats();
    StatsRecord total{};
    ASSERT_TRUE(readStatsFile(kStatsFileName, total));
    expectStats(total,
                recordOf({{&S::kills, 16}, {&S::deaths, 13}, {&S::suicides, 4}, {&S::maps, 3},
                          {&S::in_a_row_kills, 7}, {&S::in_a_row_deaths, 5}, {&S::double_kills, 4},
                          {&S::multi_kills, 3}, {&S::ultra_kills, 2}, {&S::monster_kills, 2},
                          {&S::killingspree, 2}, {&S::bashes_kills, 2}, {&S::bashes_deaths, 2},
                          {&S::headshots_kills, 2}, {&S::headshots_deaths, 1}, {&S::torso_kills, 1},
                          {&S::torso_deaths, 1}, {&S::pelvis_kills, 1}, {&S::right_arm_kills, 1},
                          {&S::left_arm_kills, 1}, {&S::right_leg_kills, 1}, {&S::left_leg_deaths, 2}}),
                "stats file");
}
