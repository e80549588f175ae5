// Composing the game's program, folder and parameter line from the boxes.
#include <gtest/gtest.h>

#include <string>

#include "app/launcher.h"
#include "core/settings.h"
#include "fakes/platform_fake.h"

namespace {

LaunchCommand compose(const std::string& path, const std::string& parameters = kDefaultGameParameters,
                      const std::string& server = kDefaultServer) {
    std::optional<LaunchCommand> launch = composeLaunch(path, parameters, server);
    EXPECT_TRUE(launch.has_value());
    return launch.value_or(LaunchCommand{});
}

}  // namespace

TEST(ComposeLaunch, ExecutablePathOrFolder) {
    LaunchCommand full = compose(kDefaultGamePath);
    EXPECT_EQ(full.program, "C:\\Program Files\\EA GAMES\\MOHAA\\MOHAA.exe");
    EXPECT_EQ(full.directory, "C:\\Program Files\\EA GAMES\\MOHAA");
    EXPECT_EQ(full.parameters, "+set ui_console 1 +set cl_playintro 0");

    LaunchCommand folder = compose("C:\\Program Files\\EA GAMES\\MOHAA");
    EXPECT_EQ(folder.program, "C:\\Program Files\\EA GAMES\\MOHAA\\MOHAA.exe");
    EXPECT_EQ(folder.directory, "C:\\Program Files\\EA GAMES\\MOHAA");

    // The name is matched case-sensitively: a lower-case one is a folder.
    LaunchCommand lower = compose("C:\\Games\\mohaa.exe");
    EXPECT_EQ(lower.program, "C:\\Games\\mohaa.exe\\MOHAA.exe");
    EXPECT_EQ(lower.directory, "C:\\Games\\mohaa.exe");

    // Text after the name stays in the program; the first match decides.
    LaunchCommand trailing = compose("C:\\A\\MOHAA.exe\\B\\MOHAA.exe x");
    EXPECT_EQ(trailing.program, "C:\\A\\MOHAA.exe\\B\\MOHAA.exe x");
    EXPECT_EQ(trailing.directory, "C:\\A");

    EXPECT_FALSE(composeLaunch("", "+x", "1.2.3.4:1").has_value());
}

// The open-source engine's Windows client is started as named, writing its
// log as it prints: that is how Vorbix follows it.
TEST(ComposeLaunch, OpenMohaaProgramsWriteTheirLog) {
    struct Case {
        const char* path;
        const char* directory;  // null: not the open-source engine's
    } cases[] = {
        {"C:\\Games\\openmohaa\\launch_openmohaa_base.exe", "C:\\Games\\openmohaa"},
        {"C:\\Games\\openmohaa\\Launch_OpenMoHAA_Spearhead.exe", "C:\\Games\\openmohaa"},
        {"D:\\openmohaa\\openmohaa.exe", "D:\\openmohaa"},
        {"D:\\openmohaa\\openmohaa.exe.bak", nullptr},
        {"D:\\openmohaa", nullptr},
    };
    for (const Case& c : cases) {
        const LaunchCommand launch = compose(c.path, "+set cl_playintro 0", "1.2.3.4:12203");
        if (c.directory) {
            EXPECT_EQ(launch.program, c.path);
            EXPECT_EQ(launch.directory, c.directory);
            EXPECT_EQ(launch.parameters, "+set cl_playintro 0 +set logfile 2 +connect 1.2.3.4:12203");
        } else {
            EXPECT_EQ(launch.program, std::string(c.path) + "\\MOHAA.exe") << c.path;
            EXPECT_EQ(launch.parameters, "+set cl_playintro 0 +connect 1.2.3.4:12203");
        }
    }
}

TEST(ComposeLaunch, ServerIsJoinedUnlessEmptyOrPlaceholder) {
    EXPECT_EQ(compose("C:\\G", "+a", "1.2.3.4:12203").parameters, "+a +connect 1.2.3.4:12203");
    EXPECT_EQ(compose("C:\\G", "", " host:1 ").parameters, " +connect  host:1 ");
    EXPECT_EQ(compose("C:\\G", "+a", "").parameters, "+a");
    EXPECT_EQ(compose("C:\\G", "+a", "000.000.000.00:0000").parameters, "+a");
    // Only the exact placeholder counts.
    EXPECT_EQ(compose("C:\\G", "+a", "000.000.000.00:0000 ").parameters, "+a +connect 000.000.000.00:0000 ");
}

TEST(ComposeLaunch, LongTextsAreCutBeforeUse) {
    std::string path = "C:\\" + std::string(300, 'd');
    LaunchCommand folder = compose(path, std::string(1000, 'p'), std::string(500, 's'));
    EXPECT_EQ(folder.directory, path.substr(0, 199));
    EXPECT_EQ(folder.program, path.substr(0, 199) + "\\MOHAA.exe");
    EXPECT_EQ(folder.parameters, std::string(199, 'p') + " +connect " + std::string(99, 's'));

    // A name that starts inside the first 199 characters but ends after them is not found.
    std::string cut = std::string(195, 'd') + "\\MOHAA.exe";
    EXPECT_EQ(compose(cut).program, cut.substr(0, 199) + "\\MOHAA.exe");
    // One that ends exactly at character 199 is.
    std::string fits = std::string(189, 'd') + "\\MOHAA.exe";
    EXPECT_EQ(compose(fits).directory, std::string(189, 'd'));
}

TEST(LaunchGame, OpensTheComposedProgramFromTheBoxes) {
    resetFakes();
    launchGame("D:\\MOHAA\\MOHAA.exe", "+set ui_console 1", "10.0.0.1:12203");
    ASSERT_EQ(fake.logOf("open").size(), 1u);
    EXPECT_EQ(fake.logOf("open")[0], "open D:\\MOHAA\\MOHAA.exe|+set ui_console 1 +connect 10.0.0.1:12203|D:\\MOHAA");

    fake.log.clear();
    launchGame("", "+set ui_console 1", "10.0.0.1:12203");
    EXPECT_TRUE(fake.logOf("open").empty());
}
