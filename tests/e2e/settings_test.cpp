// vorbix.ini through real runs of vorbix.exe: what the window shows from it,
// what the user changes, and the file written at exit.
#include <gtest/gtest.h>

#include <string>

#include "support/app_ui.h"
#include "support/harness.h"

namespace {

const char* const kLaunchCheck = " Launch MOHAA on \"Hide \\ Launch\"";

const std::string kUserIni =
    "; my own notes\r\n"
    "kill_time = 7\r\n"
    "mystery = 42\r\n"
    "\r\n"
    "[vorbix]\r\n"
    "sounds = 2\r\n"
    "displays = -1\r\n"
    "announcements = yes\r\n"
    "volume = loud\r\n"
    "\r\n"
    "[game]\r\n"
    "launchmohaa = 0\r\n"
    "ip =\r\n"
    "gamepath = D:\\Games\\MOHAA\r\n"
    "\r\n"
    "[announcements]\r\n"
    "bash = set sfx_bash %d\r\n"
    "\r\n"
    "[extra]\r\n"
    "colour = green\r\n";

// One run of vorbix.exe in `dir`, ended by the Close button.
class VorbixRun {
public:
    explicit VorbixRun(const TestDir& dir) : vorbix(dir) { window = vorbix.waitForMainWindow(); }

    HWND button(const char* text) const { return controlWithText(vorbix, "Button", text); }
    HWND edit(int index) const {
        int seen = 0;
        for (const ChildWindow& child : vorbix.controls())
            if (child.className == "Edit" && seen++ == index) return child.handle;
        return nullptr;
    }

    // Opens the Announcements dialog with "Customize".
    HWND customize() const {
        vorbix.click(button("Customize"));
        return waitForDialog(vorbix.pid(), "Announcements");
    }

    void close() const {
        vorbix.click(button("Close"));
        ASSERT_TRUE(vorbix.waitForExit());
        EXPECT_EQ(vorbix.exitCode(), 0u);
    }

    VorbixProcess vorbix;
    HWND window = nullptr;
};

class SettingsRun : public ::testing::Test {
protected:
    std::string saved(const char* section, const char* key) { return iniValue(dir.file("vorbix.ini"), section, key); }

    TestDir dir;
};

}  // namespace

TEST_F(SettingsRun, RoundTripKeepsWhatTheUserWroteAndStoresTheChanges) {
    prepareRunDir(dir, kUserIni);
    {
        VorbixRun run(dir);
        ASSERT_NE(run.window, nullptr);
        // Flags as read: 2 and -1 are on, "yes" is off.
        EXPECT_TRUE(isChecked(run.button("Sounds")));
        EXPECT_TRUE(isChecked(run.button("Displays")));
        EXPECT_FALSE(isChecked(run.button("Announcements")));
        EXPECT_FALSE(isChecked(run.button(kLaunchCheck)));
        // An empty "ip" and an absent "gameparameters" show their defaults.
        EXPECT_EQ(windowTextOf(run.edit(0)), "000.000.000.00:0000");
        EXPECT_EQ(windowTextOf(run.edit(1)), "D:\\Games\\MOHAA");
        EXPECT_EQ(windowTextOf(run.edit(2)), "+set ui_console 1 +set cl_playintro 0");

        // Cancel after editing keeps the texts.
        HWND dialog = run.customize();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(windowTextOf(GetDlgItem(dialog, 1010)), "set sfx_bash %d");
        EXPECT_EQ(windowTextOf(GetDlgItem(dialog, 1011)), "");
        setWindowText(GetDlgItem(dialog, 1010), "changed");
        setWindowText(GetDlgItem(dialog, 1012), "changed too");
        endDialog(dialog, IDCANCEL);

        setWindowText(run.edit(0), "10.0.0.7:12203");
        setWindowText(run.edit(2), " +set fs_game mymod ");
        run.close();
    }
    // Odd flag values untouched by any box go back as their unsigned value.
    EXPECT_EQ(saved("vorbix", "sounds"), "2");
    EXPECT_EQ(saved("vorbix", "displays"), "4294967295");
    EXPECT_EQ(saved("vorbix", "announcements"), "0");
    EXPECT_EQ(saved("game", "launchmohaa"), "0");
    EXPECT_EQ(saved("game", "ip"), "10.0.0.7:12203");
    EXPECT_EQ(saved("game", "gamepath"), "D:\\Games\\MOHAA");
    EXPECT_EQ(saved("game", "gameparameters"), "+set fs_game mymod");  // the library trims on reading
    EXPECT_NE(dir.read("vorbix.ini").find("gameparameters =  +set fs_game mymod "), std::string::npos);
    EXPECT_EQ(saved("announcements", "bash"), "set sfx_bash %d");
    EXPECT_EQ(saved("announcements", "killingspree"), "<absent>");
    EXPECT_EQ(saved("", "kill_time"), "7");
    EXPECT_EQ(saved("", "mystery"), "42");
    EXPECT_EQ(saved("", "defaultmsgfile"), "english.ini");
    EXPECT_EQ(saved("vorbix", "volume"), "loud");
    EXPECT_EQ(saved("extra", "colour"), "green");
    EXPECT_NE(dir.read("vorbix.ini").find("; my own notes"), std::string::npos);

    {
        VorbixRun run(dir);
        ASSERT_NE(run.window, nullptr);
        EXPECT_EQ(windowTextOf(run.edit(0)), "10.0.0.7:12203");
        // One click sets all four flags from the four boxes.
        run.vorbix.click(run.button("Announcements"));
        ASSERT_TRUE(waitUntil([&] { return isChecked(run.button("Announcements")); }, 5000));

        // OK stores all eight texts, the untouched empty ones as empty values.
        HWND dialog = run.customize();
        ASSERT_NE(dialog, nullptr);
        setWindowText(GetDlgItem(dialog, 1011), "set sfx_headshot %d");
        setWindowText(GetDlgItem(dialog, 1017), std::string(600, 'h'));
        endDialog(dialog, IDOK);
        run.close();
    }
    EXPECT_EQ(saved("vorbix", "sounds"), "1");
    EXPECT_EQ(saved("vorbix", "displays"), "1");
    EXPECT_EQ(saved("vorbix", "announcements"), "1");
    EXPECT_EQ(saved("game", "launchmohaa"), "0");
    EXPECT_EQ(saved("announcements", "bash"), "set sfx_bash %d");
    EXPECT_EQ(saved("announcements", "headshot"), "set sfx_headshot %d");
    EXPECT_EQ(saved("announcements", "rampage"), "");
    EXPECT_EQ(saved("announcements", "holyshit"), std::string(600, 'h'));
    EXPECT_EQ(saved("", "kill_time"), "7");
}

TEST_F(SettingsRun, ChoiceOfMessageFileIsFoundAgainWithoutUnnamedKeys) {
    prepareRunDir(dir, "[vorbix]\r\nsounds=1\r\n");
    {
        VorbixRun run(dir);
        ASSERT_NE(run.window, nullptr);
        run.close();
    }
    std::string text = dir.read("vorbix.ini");
    EXPECT_LT(text.find("defaultmsgfile"), text.find('[')) << text;
    EXPECT_EQ(saved("", "defaultmsgfile"), "english.ini");
    EXPECT_EQ(saved("game", "gamepath"), "C:\\Program Files\\EA GAMES\\MOHAA\\MOHAA.exe");
}

TEST_F(SettingsRun, UnwritableFileIsReportedAndKeptAsItWas) {
    // A folder stands where the atomic write puts its temporary file. (A
    // read-only vorbix.ini is refused by Windows' replace, but not by Wine's.)
    const std::string ini = "[vorbix]\r\nsounds = 0\r\n";
    prepareRunDir(dir, ini);
    dir.mkdir("vorbix.ini.tmp");

    VorbixRun run(dir);
    ASSERT_NE(run.window, nullptr);
    run.vorbix.click(run.button("Sounds"));
    ASSERT_TRUE(waitUntil([&] { return isChecked(run.button("Sounds")); }, 5000));
    run.vorbix.click(run.button("Close"));
    MessageBoxInfo box = run.vorbix.waitForMessageBox();
    ASSERT_NE(box.handle, nullptr);
    EXPECT_EQ(box.caption, "Failed");
    EXPECT_EQ(box.text, "Failed to write vorbix.ini");
    VorbixProcess::pressOk(box.handle);
    ASSERT_TRUE(run.vorbix.waitForExit());
    EXPECT_EQ(run.vorbix.exitCode(), 0u);
    EXPECT_EQ(dir.read("vorbix.ini"), ini);
}
