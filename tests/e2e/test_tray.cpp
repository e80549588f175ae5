// The tray icon's callback and popup menu, driven as the shell would: the
// callback message 1024 with the mouse message in lParam.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_ui.h"
#include "support/harness.h"

namespace {

constexpr UINT kTrayCallback = WM_USER;

class Tray : public ::testing::Test {
protected:
    void SetUp() override {
        prepareRunDir(dir);
        ASSERT_TRUE(vorbix.started());
        ASSERT_NE(vorbix.waitForMainWindow(), nullptr);
    }

    void trayMouse(UINT mouseMessage) { PostMessageA(vorbix.mainWindow(), kTrayCallback, 0, mouseMessage); }

    // Right-clicks the icon and returns the menu window that opens.
    HWND openMenu() {
        trayMouse(WM_RBUTTONUP);
        return waitForPopupMenu(vorbix.pid());
    }

    // Chooses the `downs`-th entry with the arrow keys (separators are skipped).
    void choose(HWND menu, int downs) {
        for (int i = 0; i < downs; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        ASSERT_TRUE(waitUntil([&] { return findPopupMenu(vorbix.pid()) == nullptr; }, 10000));
    }

    bool mainVisible() const { return IsWindowVisible(vorbix.mainWindow()) != FALSE; }

    TestDir dir;
    VorbixProcess vorbix{dir};
};

const std::vector<std::string> kShownMenu = {"About", "", "Hide", "", "Exit"};
const std::vector<std::string> kHiddenMenu = {"About", "", "Restore", "", "Exit"};

}  // namespace

TEST_F(Tray, MenuHidesAndRestoresTheWindow) {
    HWND menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(popupMenuEntries(menu, dir), kShownMenu);
    choose(menu, 2);
    EXPECT_TRUE(waitUntil([&] { return !mainVisible(); }, 5000));

    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(popupMenuEntries(menu, dir), kHiddenMenu);
    choose(menu, 2);
    EXPECT_TRUE(waitUntil([&] { return mainVisible(); }, 5000));

    // Escape closes the menu without a choice.
    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(waitUntil([&] { return findPopupMenu(vorbix.pid()) == nullptr; }, 10000));
    Sleep(300);
    EXPECT_TRUE(mainVisible());
    EXPECT_FALSE(vorbix.waitForExit(0));
}

TEST_F(Tray, LeftClickShowsTheHiddenWindowAndOtherMessagesDoNothing) {
    PostMessageA(controlWithText(vorbix, "Button", "Hide \\ Launch"), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !mainVisible(); }, 5000));
    trayMouse(0);
    trayMouse(WM_MOUSEMOVE);
    trayMouse(WM_LBUTTONDOWN);
    Sleep(500);
    EXPECT_FALSE(mainVisible());
    trayMouse(WM_LBUTTONUP);
    EXPECT_TRUE(waitUntil([&] { return mainVisible(); }, 5000));
    // Also when already shown.
    trayMouse(WM_LBUTTONUP);
    Sleep(300);
    EXPECT_TRUE(mainVisible());
}

TEST_F(Tray, AboutShowsTheVersionAndExitEndsTheProgram) {
    HWND menu = openMenu();
    ASSERT_NE(menu, nullptr);
    choose(menu, 1);
    HWND about = waitForDialog(vorbix.pid(), "About");
    ASSERT_NE(about, nullptr);
    bool versionShown = false;
    for (const ChildWindow& child : childWindows(about)) versionShown |= child.text == "Version: 3.0";
    EXPECT_TRUE(versionShown);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(about); }, 5000));

    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    choose(menu, 3);
    ASSERT_TRUE(vorbix.waitForExit());
    EXPECT_EQ(vorbix.exitCode(), 0u);
    // The exit path ran: the settings were written back.
    EXPECT_EQ(iniValue(dir.file("vorbix.ini"), "", "defaultmsgfile"), "english.ini");
}
