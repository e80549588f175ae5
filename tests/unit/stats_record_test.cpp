// The stats record: file bytes, short and long files, the lifetime merge.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/stats_record.h"
#include "temp_dir.h"

// The file's layout written out independently of the code's field table:
// counter i at byte 4 * i, little-endian, published under its key.
#define COUNTER(name) {&StatsRecord::name, #name}
const std::pair<uint32_t StatsRecord::*, const char*> kFileLayout[kStatsFieldCount] = {
    COUNTER(kills), COUNTER(deaths), COUNTER(suicides), COUNTER(maps), COUNTER(in_a_row_kills),
    COUNTER(in_a_row_deaths), COUNTER(double_kills), COUNTER(multi_kills), COUNTER(ultra_kills),
    COUNTER(monster_kills), COUNTER(killingspree), COUNTER(rampage), COUNTER(dominating), COUNTER(unstoppable),
    COUNTER(godlike), COUNTER(holyshit), COUNTER(bashes_kills), COUNTER(bashes_deaths), COUNTER(headshots_kills),
    COUNTER(headshots_deaths), COUNTER(torso_kills), COUNTER(torso_deaths), COUNTER(pelvis_kills),
    COUNTER(pelvis_deaths), COUNTER(right_arm_kills), COUNTER(right_arm_deaths), COUNTER(left_arm_kills),
    COUNTER(left_arm_deaths), COUNTER(right_leg_kills), COUNTER(right_leg_deaths), COUNTER(left_leg_kills),
    COUNTER(left_leg_deaths),
};
#undef COUNTER

TEST(StatsRecord, EachCounterHasItsOwnFourBytesAndKey) {
    for (int i = 0; i < kStatsFieldCount; ++i) {
        const auto& [field, key] = kFileLayout[i];
        StatsRecord r{};
        r.*field = 0x04030201u;
        unsigned char bytes[kStatsFileSize];
        encodeStats(r, bytes);
        std::string expected(kStatsFileSize, '\0');
        expected.replace(4 * size_t(i), 4, "\x01\x02\x03\x04");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), sizeof bytes), expected) << key;
        EXPECT_STREQ(kStatsKeys[i], key);
    }
}

TEST(StatsRecord, ShortAndLongFilesReadTheirFirst128Bytes) {
    TempDir dir;
    std::vector<unsigned char> forty(40, 0);
    forty[36] = 9;  // monster_kills
    forty[39] = 1;
    dir.write("short.vbx", std::string(forty.begin(), forty.end()));
    StatsRecord r;
    ASSERT_TRUE(readStatsFile(dir.path("short.vbx").c_str(), r));
    EXPECT_EQ(r.monster_kills, 0x01000009u);
    EXPECT_EQ(r.killingspree, 0u);
    EXPECT_EQ(r.left_leg_deaths, 0u);

    // A field cut in the middle keeps its lower bytes.
    dir.write("cut.vbx", std::string("\x01\x02", 2));
    ASSERT_TRUE(readStatsFile(dir.path("cut.vbx").c_str(), r));
    EXPECT_EQ(r.kills, 0x0201u);

    std::string longFile(200, '\x00');
    longFile[124] = 7;
    longFile[128] = 99;
    dir.write("long.vbx", longFile);
    ASSERT_TRUE(readStatsFile(dir.path("long.vbx").c_str(), r));
    EXPECT_EQ(r.left_leg_deaths, 7u);

    EXPECT_FALSE(readStatsFile(dir.path("missing.vbx").c_str(), r));
    EXPECT_EQ(r.kills, 0u);
}

TEST(StatsRecord, WriteReplacesTheFileWithExactly128Bytes) {
    TempDir dir;
    dir.write("vorbix.vbx", std::string(200, '\x05'));
    StatsRecord r{};
    r.kills = 3;
    r.left_leg_deaths = 0xFFFFFFFFu;
    ASSERT_TRUE(writeStatsFile(dir.path("vorbix.vbx").c_str(), r));
    std::string bytes = dir.read("vorbix.vbx");
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x03\x00\x00\x00", 4));
    EXPECT_EQ(bytes.substr(124), std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_FALSE(dir.exists("vorbix.vbx.tmp"));
}

TEST(StatsRecord, WriteIntoAnUnwritablePlaceFailsAndKeepsTheOldFile) {
    TempDir dir;
    // A folder named like the temporary file makes the write fail.
    dir.write("vorbix.vbx", std::string(128, '\x07'));
    dir.mkdir("vorbix.vbx.tmp");
    StatsRecord r{};
    r.kills = 1;
    EXPECT_FALSE(writeStatsFile(dir.path("vorbix.vbx").c_str(), r));
    EXPECT_EQ(dir.read("vorbix.vbx"), std::string(128, '\x07'));
    EXPECT_FALSE(writeStatsFile(dir.path("no/such/folder/vorbix.vbx").c_str(), r));
}

TEST(StatsRecord, MergeAddsEachCounterIntoItsOwnField) {
    StatsRecord total{}, pending{};
    for (int i = 0; i < kStatsFieldCount; ++i) {
        total.*kStatsFields[i] = 1000u * (i + 1);
        pending.*kStatsFields[i] = 1u << (i % 10);
    }
    const StatsRecord m = mergeStats(total, pending);
    for (int i = 0; i < kStatsFieldCount; ++i) {
        const bool bestRun = kStatsFields[i] == &StatsRecord::in_a_row_kills || kStatsFields[i] == &StatsRecord::in_a_row_deaths;
        EXPECT_EQ(m.*kStatsFields[i], bestRun ? 1000u * (i + 1) : 1000u * (i + 1) + (1u << (i % 10))) << kStatsKeys[i];
    }
}

TEST(StatsRecord, MergeSumsWrapAndBestRunsKeepTheMaximum) {
    StatsRecord total{}, pending{};
    total.kills = 4294967295u;
    pending.kills = 1;
    total.deaths = 10;
    pending.deaths = 5;
    total.left_leg_deaths = 4294967290u;
    pending.left_leg_deaths = 10;
    StatsRecord m = mergeStats(total, pending);
    EXPECT_EQ(m.kills, 0u);
    EXPECT_EQ(m.deaths, 15u);
    EXPECT_EQ(m.left_leg_deaths, 4u);

    struct Case { uint32_t file, pending, expected; };
    for (Case c : {Case{7, 5, 7}, Case{7, 9, 9}, Case{7, 7, 7}, Case{0, 4294967295u, 4294967295u}}) {
        total = StatsRecord{};
        pending = StatsRecord{};
        total.in_a_row_kills = total.in_a_row_deaths = c.file;
        pending.in_a_row_kills = pending.in_a_row_deaths = c.pending;
        m = mergeStats(total, pending);
        EXPECT_EQ(m.in_a_row_kills, c.expected) << c.file << " " << c.pending;
        EXPECT_EQ(m.in_a_row_deaths, c.expected) << c.file << " " << c.pending;
    }
}
