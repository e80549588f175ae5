// "Hide \ Launch" starting the stand-in game (MOHAA.exe of tools/fake_mohaa),
// which records its command line and working folder in launched.txt.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "support/app_ui.h"
#include "support/harness.h"

namespace {

struct Launch {
    std::string gamePath;    // relative to the run folder, or empty
    std::string parameters;  // empty: the default
    std::string server;      // empty: the placeholder
};

class Launcher : public ::testing::Test {
protected:
    void SetUp() override {
        dir.mkdir("game");
        ASSERT_TRUE(CopyFileA((exeDir() + "\\MOHAA.exe").c_str(), dir.file("game\\MOHAA.exe").c_str(), FALSE));
    }

    // Runs vorbix.exe with the launch flag `flag` and these launch settings,
    // clicks "Hide \ Launch", and closes it again once the window is hidden.
    void hideAndLaunch(const Launch& launch, int flag = 1) {
        std::string ini = "[game]\r\nlaunchmohaa = " + std::to_string(flag) + "\r\n";
        if (!launch.gamePath.empty()) ini += "gamepath = " + dir.file(launch.gamePath) + "\r\n";
        if (!launch.parameters.empty()) ini += "gameparameters = " + launch.parameters + "\r\n";
        if (!launch.server.empty()) ini += "ip = " + launch.server + "\r\n";
        prepareRunDir(dir, ini);

        VorbixProcess vorbix(dir);
        HWND window = vorbix.waitForMainWindow();
        ASSERT_NE(window, nullptr);
        if (launch.gamePath.empty()) {
            // Empty the game path box (the second edit box).
            HWND gamePathBox = nullptr;
            int edits = 0;
            for (const ChildWindow& child : vorbix.controls())
                if (child.className == "Edit" && edits++ == 1) gamePathBox = child.handle;
            setWindowText(gamePathBox, "");
        }
        vorbix.click(controlWithText(vorbix, "Button", "Hide \\ Launch"));
        ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(window); }, 5000));
        vorbix.closeWindow();
        ASSERT_TRUE(vorbix.waitForExit());
    }

    // The stand-in's record: command line and folder; empty when it never ran.
    bool waitForLaunch(DWORD timeoutMs = 10000) {
        return waitUntil([&] { return dir.read("game\\launched.txt").find("\r\n") != std::string::npos; }, timeoutMs);
    }
    std::string launchedLine(int index) {
        std::string text = dir.read("game\\launched.txt");
        size_t first = text.find("\r\n");
        if (first == std::string::npos) return {};
        if (index == 0) return text.substr(0, first);
        size_t second = text.find("\r\n", first + 2);
        return text.substr(first + 2, second == std::string::npos ? std::string::npos : second - first - 2);
    }
    static bool endsWith(const std::string& text, const std::string& tail) {
        return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    }
    // Windows paths compare without regard to case.
    static std::string lower(std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }

    TestDir dir;
};

}  // namespace

TEST_F(Launcher, FullPathStartsTheGameInItsFolderAndJoinsTheServer) {
    hideAndLaunch({"game\\MOHAA.exe", "+set ui_console 1", "10.1.2.3:12203"});
    ASSERT_TRUE(waitForLaunch());
    std::string commandLine = launchedLine(0);
    EXPECT_NE(lower(commandLine).find(lower(dir.file("game\\MOHAA.exe"))), std::string::npos) << commandLine;
    EXPECT_TRUE(endsWith(commandLine, "MOHAA.exe\" +set ui_console 1 +connect 10.1.2.3:12203") ||
                endsWith(commandLine, "MOHAA.exe +set ui_console 1 +connect 10.1.2.3:12203"))
        << commandLine;
    EXPECT_EQ(lower(launchedLine(1)), lower(dir.file("game")));
}

TEST_F(Launcher, FolderOnlyGetsTheExecutableNameAndThePlaceholderJoinsNothing) {
    hideAndLaunch({"game", "", ""});
    ASSERT_TRUE(waitForLaunch());
    std::string commandLine = launchedLine(0);
    EXPECT_NE(lower(commandLine).find(lower(dir.file("game\\MOHAA.exe"))), std::string::npos) << commandLine;
    EXPECT_TRUE(endsWith(commandLine, " +set ui_console 1 +set cl_playintro 0")) << commandLine;
    EXPECT_EQ(commandLine.find("+connect"), std::string::npos);
    EXPECT_EQ(lower(launchedLine(1)), lower(dir.file("game")));
}

TEST_F(Launcher, NothingStartsForALowerCaseNameAnEmptyPathOrWithTheFlagOff) {
    // "\mohaa.exe" is taken as a folder, so "...\mohaa.exe\MOHAA.exe" is not found.
    hideAndLaunch({"game\\mohaa.exe", "", ""});
    hideAndLaunch({"", "", ""});
    hideAndLaunch({"game\\MOHAA.exe", "", ""}, 0);
    EXPECT_FALSE(waitForLaunch(3000));
}
