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
    // Sets `started` to the number of programs vorbix.exe started meanwhile.
    void hideAndLaunch(const Launch& launch, int flag = 1) {
        std::string ini = "[game]\r\nlaunchmohaa = " + std::to_string(flag) + "\r\n";
        if (!launch.gamePath.empty()) ini += "gamepath = " + dir.file(launch.gamePath) + "\r\n";
        if (!launch.parameters.empty()) ini += "gameparameters = " + launch.parameters + "\r\n";
        if (!launch.server.empty()) ini += "ip = " + launch.server + "\r\n";
        prepareRunDir(dir, ini);

        VorbixProcess vorbix(dir);
        HWND window = vorbix.waitForMainWindow();
        ASSERT_NE(window, nullptr);
        // The programs it starts join its job, and the job counts them.
        HANDLE job = CreateJobObjectA(nullptr, nullptr);
        HANDLE process = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, vorbix.pid());
        ASSERT_TRUE(AssignProcessToJobObject(job, process));
        CloseHandle(process);
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
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
        ASSERT_TRUE(QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                              sizeof accounting, nullptr));
        CloseHandle(job);
        started = static_cast<int>(accounting.TotalProcesses) - 1;
    }

    // The command line the stand-in recorded, once it did, after checking
    // that vorbix.exe started it alone, as the game's executable in its folder.
    std::string launchedCommandLine() {
        EXPECT_EQ(started, 1);
        std::string text;
        waitUntil([&] { return (text = dir.read("game\\launched.txt")).find("\r\n") != std::string::npos; }, 10000);
        const size_t end = text.find("\r\n");
        EXPECT_EQ(lower(text.substr(end == std::string::npos ? 0 : end + 2)), lower(dir.file("game") + "\r\n"));
        const std::string commandLine = text.substr(0, end);
        EXPECT_NE(lower(commandLine).find(lower(dir.file("game\\MOHAA.exe"))), std::string::npos) << commandLine;
        return commandLine;
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
    int started = -1;
};

}  // namespace

TEST_F(Launcher, FullPathStartsTheGameInItsFolderAndJoinsTheServer) {
    hideAndLaunch({"game\\MOHAA.exe", "+set ui_console 1", "10.1.2.3:12203"});
    std::string commandLine = launchedCommandLine();
    EXPECT_TRUE(endsWith(commandLine, "MOHAA.exe\" +set ui_console 1 +connect 10.1.2.3:12203") ||
                endsWith(commandLine, "MOHAA.exe +set ui_console 1 +connect 10.1.2.3:12203"))
        << commandLine;
}

TEST_F(Launcher, FolderOnlyGetsTheExecutableNameAndThePlaceholderJoinsNothing) {
    hideAndLaunch({"game", "", ""});
    std::string commandLine = launchedCommandLine();
    EXPECT_TRUE(endsWith(commandLine, " +set ui_console 1 +set cl_playintro 0")) << commandLine;
    EXPECT_EQ(commandLine.find("+connect"), std::string::npos);
}

TEST_F(Launcher, NothingStartsForALowerCaseNameAnEmptyPathOrWithTheFlagOff) {
    // "\mohaa.exe" is taken as a folder, so "...\mohaa.exe\MOHAA.exe" is not found.
    hideAndLaunch({"game\\mohaa.exe", "", ""});
    EXPECT_EQ(started, 0);
    hideAndLaunch({"", "", ""});
    EXPECT_EQ(started, 0);
    hideAndLaunch({"game\\MOHAA.exe", "", ""}, 0);
    EXPECT_EQ(started, 0);
    EXPECT_FALSE(dir.exists("game\\launched.txt"));
}
