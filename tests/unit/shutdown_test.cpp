// The exit path: game told first, tray icon gone, stats and settings saved.
#include <gtest/gtest.h>

#include <SimpleIni.h>

#include <string>
#include <vector>

#include "core/settings.h"
#include "wiring/shutdown.h"
#include "fakes/platform_fake.h"
#include "core/stats_record.h"
#include "temp_dir.h"

namespace {

class Shutdown : public ::testing::Test {
protected:
    Shutdown() : chdir_(dir.root()) {
        resetFakes();
        dir.write("vorbix.ini", "[vorbix]\nsounds = 1\n");
        EXPECT_TRUE(loadSettingsFile());
        loadSettings();
        app.pendingStats.kills = 3;
        app.killsInARow = 5;
        app.spreeCount = 2;
    }

    StatsRecord savedStats() {
        StatsRecord totals{};
        EXPECT_TRUE(readStatsFile("vorbix.vbx", totals));
        return totals;
    }

    TempDir dir;
    ScopedChdir chdir_;
};

}  // namespace

TEST_F(Shutdown, LinkedGameGetsTheOffScriptAndTheSessionIsReset) {
    app.link = GameLink{LinkKind::kConsoleWindow, 1, 0};
    shutdownApp();
    EXPECT_EQ(fake.log, (std::vector<std::string>{"cmd exec vorbixoff.cfg", "tray remove"}));
    EXPECT_EQ(savedStats().kills, 3u);
    EXPECT_EQ(app.killsInARow, 0u);
    EXPECT_EQ(app.spreeCount, 0u);
    EXPECT_NE(dir.read("vorbix.ini").find("sounds = 1"), std::string::npos);
}

TEST_F(Shutdown, WithoutGameNothingIsSentAndStreaksStay) {
    shutdownApp();
    EXPECT_EQ(fake.log, (std::vector<std::string>{"tray remove"}));
    EXPECT_EQ(savedStats().kills, 3u);
    EXPECT_EQ(app.pendingStats.kills, 0u);
    EXPECT_EQ(app.killsInARow, 5u);
}

TEST_F(Shutdown, FailedSettingsWriteIsReportedAndTheFileKept) {
    dir.mkdir("vorbix.ini.tmp");
    app.soundsEnabled = 0;
    shutdownApp();
    EXPECT_EQ(fake.log, (std::vector<std::string>{"tray remove", "box Failed|Failed to write vorbix.ini"}));
    EXPECT_EQ(dir.read("vorbix.ini"), "[vorbix]\nsounds = 1\n");
    EXPECT_EQ(savedStats().kills, 3u);
}
