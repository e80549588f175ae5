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

    // Presses Down `downs` times, then `last`: Enter chooses, Escape closes.
    void choose(HWND menu, int downs, WPARAM last = VK_RETURN) {
        for (int i = 0; i < downs; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, last, 0);
        ASSERT_TRUE(waitUntil([&] { return findPopupMenu(vorbix.pid()) == nullptr; }, 10000));
    }

    bool mainVisible() const { return IsWindowVisible(vorbix.mainWindow()) != FALSE; }

    // Waits for the main window to hide, then gives vorbix.exe the moment a
    // player's next click would: Wine hands it the X server's focus change of
    // the hide only once it next waits for input, and a menu opened before
    // that is cancelled by it, a race no player can win.
    bool hidden() const {
        if (!waitUntil([&] { return !mainVisible(); }, 5000)) return false;
        Sleep(300);
        return true;
    }

    TestDir dir;
    VorbixProcess vorbix{dir};
};

const std::vector<std::string> kShownMenu = {"About", "Report", "", "Hide", "", "Exit"};
const std::vector<std::string> kHiddenMenu = {"About", "Report", "", "Restore", "", "Exit"};
// How many Down keys select an entry: separators are passed over.
constexpr int kReport = 2;
constexpr int kShowHide = 3;
constexpr int kExit = 4;

}  // namespace

// Posted input is handled in order: a menu that opens proves every click
// posted before it handled.
TEST_F(Tray, MenuHidesRestoresClosesAndExits) {
    HWND menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(popupMenuEntries(menu, dir), kShownMenu);
    choose(menu, kShowHide);
    EXPECT_TRUE(hidden());

    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(popupMenuEntries(menu, dir), kHiddenMenu);
    choose(menu, kShowHide);
    EXPECT_TRUE(waitUntil([&] { return mainVisible(); }, 5000));

    // Escape closes the menu without a choice: the next one finds the window shown.
    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    choose(menu, 0, VK_ESCAPE);
    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(mainVisible());
    EXPECT_EQ(popupMenuEntries(menu, dir), kShownMenu);

    // "Report" writes the history's page beside the program and opens it.
    openPagesWithTheStandIn();
    choose(menu, kReport);
    std::string launched;
    EXPECT_TRUE(waitUntil([&] { return (launched = dir.read("launched.txt")).find("\r\n") != std::string::npos; }, 10000));
    EXPECT_NE(launched.find("vorbix-report.html"), std::string::npos) << launched;
    EXPECT_NE(dir.read("vorbix-report.html").find("</html>"), std::string::npos);

    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    choose(menu, kExit);
    ASSERT_TRUE(vorbix.waitForExit());
    EXPECT_EQ(vorbix.exitCode(), 0u);
    // The exit path ran: the settings were written back.
    EXPECT_EQ(iniValue(dir.file("vorbix.ini"), "", "defaultmsgfile"), "english.ini");
}

TEST_F(Tray, OnlyALeftButtonUpShowsTheHiddenWindow) {
    vorbix.click(controlWithText(vorbix, "Button", "Hide \\ Launch"));
    ASSERT_TRUE(hidden());
    trayMouse(0);
    trayMouse(WM_MOUSEMOVE);
    trayMouse(WM_LBUTTONDOWN);
    HWND menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(mainVisible());
    choose(menu, 0, VK_ESCAPE);

    trayMouse(WM_LBUTTONUP);
    EXPECT_TRUE(waitUntil([&] { return mainVisible(); }, 5000));
    // Also when already shown: it stays shown.
    trayMouse(WM_LBUTTONUP);
    menu = openMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(mainVisible());
    choose(menu, 0, VK_ESCAPE);
}
