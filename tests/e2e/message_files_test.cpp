// Start-up of the real vorbix.exe: the message-file list, the file it starts
// with, and the warnings when the settings or the message files are missing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/harness.h"

namespace {

constexpr int kMessageFileList = 8;  // creation index of the list

struct ListState {
    int count = -1;
    int selected = -1;
    std::string text;
};

// Starts vorbix.exe over a messages folder holding `files` (and a folder
// "sub"), reads its list, then closes it.
ListState startWith(const std::string& ini, const std::vector<std::string>& files) {
    TestDir dir;
    dir.write("vorbix.ini", ini);
    dir.mkdir("messages");
    dir.mkdir("messages\\sub");
    for (const std::string& name : files) dir.copyFromSource("tests/e2e/data/messages/english.ini", "messages\\" + name);

    ListState state;
    VorbixProcess vorbix(dir);
    if (!vorbix.waitForMainWindow()) return state;
    HWND list = vorbix.control(kMessageFileList);
    // The window shows before start-up fills the list; the selection is made last.
    waitUntil([&] { return SendMessageA(list, CB_GETCURSEL, 0, 0) != CB_ERR; }, 10000);
    state.count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    state.selected = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    state.text = windowTextOf(list);
    vorbix.closeWindow();
    EXPECT_TRUE(vorbix.waitForExit());
    return state;
}

TEST(MessageFilesExe, ListsEveryFileButNoFolderAndStartsWithEnglish) {
    ListState state = startWith("kill_time=10\r\n", {"a.cfg", "english.ini", "zulu.ini"});
    EXPECT_EQ(state.count, 3);
    EXPECT_EQ(state.text, "english.ini");
}

TEST(MessageFilesExe, SavedChoiceMatchesTheStartOfANameIgnoringCase) {
    ListState state = startWith("defaultmsgfile=ZU\r\n", {"english.ini", "zulu.ini"});
    EXPECT_EQ(state.text, "zulu.ini");
}

TEST(MessageFilesExe, WithoutSavedOrEnglishFileStartsWithTheFirst) {
    ListState state = startWith("defaultmsgfile=nothing.ini\r\n", {"german.ini", "french.ini"});
    EXPECT_EQ(state.count, 2);
    EXPECT_EQ(state.selected, 0);
    EXPECT_TRUE(state.text == "german.ini" || state.text == "french.ini") << state.text;
}

// Each warning is seen, one after the other, and the program then ends
// without its exit path: nothing is written.
TEST(MessageFilesExe, MissingSettingsOrAlsoMessagesWarnAndEnd) {
    for (bool messagesToo : {false, true}) {
        TestDir dir;
        if (!messagesToo) prepareRunDir(dir);
        DeleteFileA(dir.file("vorbix.ini").c_str());
        VorbixProcess vorbix(dir);
        ASSERT_TRUE(vorbix.started());
        std::vector<const char*> expected = {"Failed to load vorbix.ini"};
        if (messagesToo) expected.push_back("Failed to find any message files");
        for (const char* text : expected) {
            MessageBoxInfo box = vorbix.waitForMessageBox();
            ASSERT_NE(box.handle, nullptr) << text;
            EXPECT_EQ(box.caption, "Vorbix3");
            EXPECT_EQ(box.text, text);
            VorbixProcess::pressOk(box.handle);
            ASSERT_TRUE(waitUntil([&] { return !IsWindow(box.handle); }, 10000));
        }
        ASSERT_TRUE(vorbix.waitForExit());
        EXPECT_EQ(vorbix.exitCode(), 0u);
        EXPECT_FALSE(dir.exists("vorbix.ini"));
        EXPECT_FALSE(dir.exists("vorbix.vbx"));
    }
}

}  // namespace
