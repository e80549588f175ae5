// The match history file: its rows, quoting, torn-row repair, the writer
// thread; and the map's name from the engine's answer to "mapname".
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine_fixture.h"
#include "stats/history.h"
#include "stats/history_writer.h"
#include "temp_dir.h"

namespace {

const std::string kHeader =
    "start,end,map,edition,player,kills,deaths,suicides,in_a_row_kills,in_a_row_deaths,double_kills,"
    "multi_kills,ultra_kills,monster_kills,killingspree,rampage,dominating,unstoppable,godlike,holyshit,"
    "bashes_kills,bashes_deaths,headshots_kills,headshots_deaths,torso_kills,torso_deaths,pelvis_kills,"
    "pelvis_deaths,right_arm_kills,right_arm_deaths,left_arm_kills,left_arm_deaths,right_leg_kills,"
    "right_leg_deaths,left_leg_kills,left_leg_deaths\r\n";

MapRecord sampleMap(const std::string& map = "dm/mohdm1", uint32_t kills = 12) {
    MapRecord r;
    r.start = "2026-12-08T21:04:13";
    r.end = "2026-12-08T21:24:50";
    r.map = map;
    r.edition = "Spearhead";
    r.player = "Kestrel";
    r.counts.kills = kills;
    r.counts.deaths = 10;
    r.counts.in_a_row_kills = 5;
    r.counts.killingspree = 1;
    r.counts.headshots_kills = 3;
    r.counts.left_leg_deaths = 4294967295u;
    r.counts.maps = 7;  // not a column: every row is one map
    return r;
}

const std::string kSampleRow =
    "2026-12-08T21:04:13,2026-12-08T21:24:50,dm/mohdm1,Spearhead,Kestrel,12,10,0,5,0,0,0,0,0,1,0,0,0,0,0,0,0,3,"
    "0,0,0,0,0,0,0,0,0,0,0,0,4294967295\r\n";

void expectSameRow(const MapRecord& got, const MapRecord& want, const std::string& what) {
    EXPECT_EQ(got.start, want.start) << what;
    EXPECT_EQ(got.end, want.end) << what;
    EXPECT_EQ(got.map, want.map) << what;
    EXPECT_EQ(got.edition, want.edition) << what;
    EXPECT_EQ(got.player, want.player) << what;
    for (int i = 0; i < kStatsFieldCount; ++i) {
        if (kStatsFields[i] == &StatsRecord::maps) continue;
        EXPECT_EQ(got.counts.*kStatsFields[i], want.counts.*kStatsFields[i]) << what << " " << kStatsKeys[i];
    }
}

}  // namespace

TEST(History, HeaderAndRowsAreTheDocumentedBytes) {
    EXPECT_EQ(historyHeaderRow(), kHeader);
    EXPECT_EQ(historyRow(sampleMap()), kSampleRow);

    TempDir dir;
    const std::string path = dir.path("vorbix-history.csv");
    ASSERT_TRUE(appendHistoryRows(path.c_str(), {sampleMap()}));
    ASSERT_TRUE(appendHistoryRows(path.c_str(), {sampleMap("obj/obj_team2", 3)}));
    EXPECT_EQ(dir.read("vorbix-history.csv"), kHeader + kSampleRow + historyRow(sampleMap("obj/obj_team2", 3)));

    HistoryFile file;
    ASSERT_TRUE(readHistoryFile(path.c_str(), file));
    ASSERT_EQ(file.rows.size(), 2u);
    expectSameRow(file.rows[0], sampleMap(), "first");
    expectSameRow(file.rows[1], sampleMap("obj/obj_team2", 3), "second");
    EXPECT_EQ(file.skipped, 0u);
    EXPECT_FALSE(file.torn);
    EXPECT_FALSE(readHistoryFile(dir.path("missing.csv").c_str(), file));
}

TEST(History, NamesOfAnyBytesSurviveTheQuoting) {
    const std::vector<std::string> names = {
        "",          "a,b",        "say \"hi\"", "\"",          "\"\"",         "\"lead",   "trail\"",
        "line\r\nbreak", "cr\ronly", "lf\nonly", "\r\n",       ",\",\r\n\"", " spaced ", "\x01\x02\x05",
        std::string("nul\0byte", 8), "\x80\x81\x9f\xa0\xff M\xfcller", "=SUM(A1)", "tab\there",
    };
    TempDir dir;
    const std::string path = dir.path("h.csv");
    std::vector<MapRecord> rows;
    for (const auto& name : names) {
        MapRecord r = sampleMap(name);
        r.player = name + "#";
        r.edition = "#" + name;
        rows.push_back(r);
    }
    ASSERT_TRUE(appendHistoryRows(path.c_str(), rows));
    HistoryFile file;
    ASSERT_TRUE(readHistoryFile(path.c_str(), file));
    ASSERT_EQ(file.rows.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) expectSameRow(file.rows[i], rows[i], "name " + std::to_string(i));
    EXPECT_EQ(file.skipped, 0u);
    EXPECT_FALSE(file.torn);
}

// A crash mid-write leaves a torn last row: readers leave it out, the next
// append cuts it off and writes after the last complete row.
TEST(History, TornEndingsAreIgnoredAndRepairedByTheNextAppend) {
    const std::string good = kHeader + kSampleRow + kSampleRow;
    const std::string next = historyRow(sampleMap("dm/mohdm6", 30));
    struct Case {
        const char* what;
        std::string bytes;    // the file as the crash left it
        size_t rows;          // what a reader finds in it
        bool torn;
        std::string repaired;  // the file after appending `next`
    };
    const std::vector<Case> cases = {
        {"mid-row", good + "2026-12-08T22:00:00,2026-12-08T22:2", 2, true, good + next},
        {"inside a quoted name", good + "2026-12-08T22:00:00,2026-12-08T22:20:00,\"dm/x,\"\"y\r\n", 2, true,
         good + next},
        {"CR without LF", good + kSampleRow.substr(0, kSampleRow.size() - 1), 2, true, good + next},
        {"a whole row but its line end", good + kSampleRow.substr(0, kSampleRow.size() - 2), 2, true, good + next},
        {"empty file", "", 0, false, kHeader + next},
        {"torn header", kHeader.substr(0, 20), 0, true, kHeader + next},
        {"header only", kHeader, 0, false, kHeader + next},
        {"blank lines only", "\r\n\n", 0, false, kHeader + next},
        {"complete rows", good, 2, false, good + next},
        {"rows ending in LF alone (edited elsewhere)", "start,kills,end\n2026-12-08T21:00:00,4,2026-12-08T21:20:00\n",
         1, false,
         "start,kills,end\n2026-12-08T21:00:00,4,2026-12-08T21:20:00\n2026-12-08T21:04:13,30,2026-12-08T21:24:50\r\n"},
    };
    for (const Case& c : cases) {
        const HistoryFile parsed = parseHistory(c.bytes);
        EXPECT_EQ(parsed.rows.size(), c.rows) << c.what;
        EXPECT_EQ(parsed.torn, c.torn) << c.what;
        EXPECT_EQ(parsed.skipped, 0u) << c.what;

        TempDir dir;
        const std::string path = dir.path("h.csv");
        dir.write("h.csv", c.bytes);
        ASSERT_TRUE(appendHistoryRows(path.c_str(), {sampleMap("dm/mohdm6", 30)})) << c.what;
        EXPECT_EQ(dir.read("h.csv"), c.repaired) << c.what;
    }

    // The writer remembers the file it left, and reads it again once someone
    // else has changed it.
    TempDir dir;
    const std::string path = dir.path("h.csv");
    HistoryFileState known;
    ASSERT_TRUE(appendHistoryRows(path.c_str(), {sampleMap(), sampleMap()}, &known));
    ASSERT_EQ(dir.read("h.csv"), good);
    dir.write("h.csv", good + kSampleRow.substr(0, 30));
    ASSERT_TRUE(appendHistoryRows(path.c_str(), {sampleMap("dm/mohdm6", 30)}, &known));
    EXPECT_EQ(dir.read("h.csv"), good + next);
    ASSERT_TRUE(appendHistoryRows(path.c_str(), {sampleMap("dm/mohdm6", 30)}, &known));
    EXPECT_EQ(dir.read("h.csv"), good + next + next);
}

// A later version's file: columns found by name, unknown ones ignored when
// reading and left empty when appending, so the file keeps its columns.
TEST(History, ALaterVersionsColumnsAreKept) {
    std::string header = kHeader;
    header.insert(0, "server,");
    header.insert(header.size() - 2, ",team");
    std::string row = kSampleRow;
    row.insert(0, "\"10.0.0.1:12203, \"\"Ze Server\"\"\",");
    row.insert(row.size() - 2, ",allies");
    TempDir dir;
    dir.write("h.csv", header + row);
    const HistoryFile parsed = parseHistory(header + row);
    ASSERT_EQ(parsed.rows.size(), 1u);
    expectSameRow(parsed.rows[0], sampleMap(), "later version");

    ASSERT_TRUE(appendHistoryRows(dir.path("h.csv").c_str(), {sampleMap()}));
    EXPECT_EQ(dir.read("h.csv"), header + row + "," + kSampleRow.substr(0, kSampleRow.size() - 2) + ",\r\n");
}

TEST(History, GarbageLinesAreSkippedAndCounted) {
    const std::string bytes = kHeader + "hello world\r\n" + kSampleRow + "\r\n" +
                              "2026-12-08 21:04:13,2026-12-08T21:24:50,dm/x,,,1\r\n" +   // not ISO 8601
                              "2026-12-08T21:04:13,2026-12-08T21:24:50,dm/x,,,1x\r\n" +  // not a count
                              "2026-12-08T21:04:13,2026-12-08T21:24:50,dm/x,,,4294967296\r\n" +
                              "2026-12-08T21:04:13,2026-12-08T21:24:50,dm/short\r\n" +   // counts missing: zero
                              std::string("\x00\x00\x00\xff,\r\n", 7) + kSampleRow;
    const HistoryFile parsed = parseHistory(bytes);
    ASSERT_EQ(parsed.rows.size(), 3u);
    EXPECT_EQ(parsed.rows[1].map, "dm/short");
    EXPECT_EQ(parsed.rows[1].counts.kills, 0u);
    EXPECT_EQ(parsed.skipped, 5u);
    EXPECT_FALSE(parsed.torn);

    // A file whose first row is not our header is nobody's history: left alone.
    TempDir dir;
    dir.write("h.csv", "name,score\r\nBob,3\r\n");
    EXPECT_FALSE(appendHistoryRows(dir.path("h.csv").c_str(), {sampleMap()}));
    EXPECT_EQ(dir.read("h.csv"), "name,score\r\nBob,3\r\n");
    EXPECT_EQ(parseHistory("name,score\r\nBob,3\r\n").skipped, 2u);
}

// Queuing returns at once; a failed write keeps the rows for the next try
// (at a flush, or by itself after the retry time), which writes each once.
TEST(History, TheWriterKeepsRowsUntilAWriteSucceeds) {
    TempDir dir;
    const std::string path = dir.path("later/h.csv");  // its folder does not exist yet
    {
        HistoryWriter writer(path, std::chrono::milliseconds(50));
        writer.append(sampleMap("a"));
        writer.append(sampleMap("b"));
        EXPECT_FALSE(writer.flush());
        EXPECT_EQ(writer.queued(), 2u);

        dir.mkdir("later");
        for (int i = 0; i < 400 && writer.queued() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(writer.queued(), 0u);
        writer.append(sampleMap("c"));
        EXPECT_TRUE(writer.flush());
        EXPECT_TRUE(writer.flush());  // nothing queued
        writer.append(sampleMap("d"));  // written when the writer ends
    }
    EXPECT_EQ(dir.read("later/h.csv"), kHeader + historyRow(sampleMap("a")) + historyRow(sampleMap("b")) +
                                           historyRow(sampleMap("c")) + historyRow(sampleMap("d")));
}

TEST(History, MapNameFromTheEnginesAnswer) {
    struct Case {
        std::string line;
        const char* name;  // null: no map name in the line
    };
    const std::vector<Case> cases = {
        {"\"mapname\" is:\"dm/mohdm1\"", "dm/mohdm1"},  // the engine's form: a read-only variable
        {"\"mapname\" is:\"obj/obj_team2\"\r\n", "obj/obj_team2"},
        {"\"mapname\" is:\"dm/mohdm1\" default:\"nomap\"", "dm/mohdm1"},
        {"\"mapname\" is:\"dm/mohdm1\", the default\n", "dm/mohdm1"},
        {"\"mapname\" is:\"dm/mohdm1^7\"", "dm/mohdm1"},
        {"\"mapname\" is:\"dm/mohdm1^7\" default:\"nomap^7\"", "dm/mohdm1"},  // Quake III's own form
        {"\"mapname\" is:\"m1l1$start\"", "m1l1"},
        {"\"mapname\" is:\"DM/MoHDM1 \xe9t\xe9\"", "DM/MoHDM1 \xe9t\xe9"},
        {"\"mapname\" is:\"nomap\"", nullptr},  // no map loaded since the game started
        {"\"mapname\" is:\"\"", nullptr},
        {"\"mapname\" is:\"$x\"", nullptr},
        {"\"mapname\" is:\"dm/mohdm1", nullptr},
        {"\"mapname\" is:\"dm/mohdm1\" default:\"nomap", nullptr},
        {"\"mapname\" is:\"dm/mohdm1\" timed out", nullptr},
        {"\"mapname\" is:\"dm/mohdm1\"\r\nmore", nullptr},
        {"\"mapname\" is:\"dm\x01mohdm1\"", nullptr},
        {"\x02" "Bob: \"mapname\" is:\"dm/evil\"", nullptr},  // chat
        {"\x02(team) \"mapname\" is:\"dm/evil\"", nullptr},
        {" \"mapname\" is:\"dm/mohdm1\"", nullptr},
        {"\"name\" is:\"Kestrel\" default:\"UnnamedSoldier\"", nullptr},
        {"\"mapname\" is:", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        std::string name = "unchanged";
        EXPECT_EQ(mapNameFromLine(c.line.c_str(), name), c.name != nullptr) << c.line;
        EXPECT_EQ(name, c.name ? c.name : "unchanged") << c.line;
    }
    std::string name;
    EXPECT_FALSE(mapNameFromLine(nullptr, name));
}

// The shipped message file finds the player's name in the answer to "name";
// the answer to "mapname" holds the same phrase and must not rename him.
TEST_F(EngineTest, TheAnswerToMapnameIsNoPlayerName) {
    std::ifstream in(VORBIX_SOURCE_DIR "/data/messages/english.ini", std::ios::binary);
    load("english.ini", std::string(std::istreambuf_iterator<char>(in), {}));
    dispatch("\"mapname\" is:\"dm/mohdm1\"");
    EXPECT_TRUE(fake.commands.empty());
    dispatch("\"name\" is:\"Kestrel\" default:\"UnnamedSoldier\"");
    EXPECT_FALSE(fake.commands.empty());
}
