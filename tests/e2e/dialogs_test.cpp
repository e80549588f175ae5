// The Statistics, Announcements and About dialogs of the real vorbix.exe:
// their templates as the running program builds them, and what they show
// and store.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/app_ui.h"
#include "support/harness.h"

namespace {

constexpr DWORD kDialogStyle = 0x80C800C0;
constexpr DWORD kGroupBox = 0x50000007;
constexpr DWORD kText = 0x50020000;
constexpr DWORD kOkButton = 0x50010001;
constexpr DWORD kPushButton = 0x50010000;
constexpr int kReportButton = 1045;
constexpr int kNoId = 0xFFFF;  // -1 in a template's 16-bit id field
// Creation indexes of the main window's "Vorbix3 Statistics" and "Customize".
constexpr int kStatisticsButton = 0;
constexpr int kCustomizeButton = 20;

// One control as the template gives it, in dialog units. A width of 0 means
// "any width that ends at or before `maxRight`" (labels beside a value).
struct ExpectedControl {
    const char* className;
    std::string text;
    DWORD style;
    int x, y, width, height;
    int id;
    int maxRight = 0;
};

// Dialog units of a template in "MS Sans Serif" 8 point, computed here the
// way the dialog manager does: MapDialogRect works only inside the dialog's
// own process.
SIZE dialogBaseUnits() {
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    GetTextExtentPoint32A(screen, letters, 52, &extent);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return SIZE{(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

RECT dialogUnitsToPixels(HWND, int x, int y, int width, int height) {
    static const SIZE base = dialogBaseUnits();
    auto px = [](int units) { return MulDiv(units, base.cx, 4); };
    auto py = [](int units) { return MulDiv(units, base.cy, 8); };
    // Position and size are converted each on its own, as controls are made.
    return RECT{px(x), py(y), px(x) + px(width), py(y) + py(height)};
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// Edit controls trade their WS_BORDER for a client edge when created.
bool stylesMatch(const ChildWindow& actual, DWORD expected) {
    if (_stricmp(actual.className.c_str(), "Edit") != 0 || !(expected & WS_BORDER)) return actual.style == expected;
    bool bordered = (actual.style & WS_BORDER) ||
                    (GetWindowLongA(actual.handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    return bordered && (actual.style & ~WS_BORDER) == (expected & ~WS_BORDER);
}

// Frame and size of a dialog (in the template's font), then every child in template order.
void expectTemplate(HWND dialog, int width, int height, const std::vector<ExpectedControl>& expected) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_EQ(style & kDialogStyle, kDialogStyle);
    RECT client;
    GetClientRect(dialog, &client);
    RECT size = dialogUnitsToPixels(dialog, 0, 0, width, height);
    EXPECT_EQ(rectText(client), rectText(size));

    std::vector<ChildWindow> children = childWindows(dialog);
    ASSERT_EQ(children.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ExpectedControl& want = expected[i];
        const ChildWindow& got = children[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\" id " + std::to_string(want.id));
        EXPECT_EQ(_stricmp(got.className.c_str(), want.className), 0) << got.className;
        EXPECT_EQ(got.text, want.text);
        EXPECT_TRUE(stylesMatch(got, want.style)) << std::hex << got.style;
        EXPECT_EQ(got.id, want.id);
        if (want.width > 0) {
            EXPECT_EQ(rectText(got.rect), rectText(dialogUnitsToPixels(dialog, want.x, want.y, want.width, want.height)));
        } else {
            RECT left = dialogUnitsToPixels(dialog, want.x, want.y, 1, want.height);
            RECT limit = dialogUnitsToPixels(dialog, want.maxRight, 0, 0, 0);
            EXPECT_EQ(got.rect.left, left.left);
            EXPECT_EQ(got.rect.top, left.top);
            EXPECT_EQ(got.rect.bottom, left.bottom);
            EXPECT_LE(got.rect.right, limit.left);
            EXPECT_GT(got.rect.right, got.rect.left);
        }
    }
}

// --- Statistics ---

struct StatsRow {
    const char* label;
    int id;
    int field;  // index of the counter in the stats file
};

struct StatsGroup {
    const char* title;
    int x, y, width, height;
};

struct StatsColumn {
    std::vector<StatsRow> rows;
    int labelX, valueX, valueWidth, firstY;
};

// The counter each value control shows, and its value in the test file.
uint32_t testValue(int field) {
    if (field == 5) return 0;            // shows the template's "0"
    if (field == 9) return 0x80000000u;  // too large for the dialog: "0"
    return 1000u + static_cast<uint32_t>(field) * 7u;
}

std::string statsFileBytes() {
    std::string bytes(128, '\0');
    for (int field = 0; field < 32; ++field) {
        uint32_t value = testValue(field);
        for (int b = 0; b < 4; ++b) bytes[field * 4 + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
    }
    return bytes;
}

void addColumn(std::vector<ExpectedControl>& out, const StatsColumn& column, bool showValues) {
    int y = column.firstY;
    for (const StatsRow& row : column.rows) {
        uint32_t value = testValue(row.field);
        std::string shown = showValues && value > 0 && value < 0x80000000u ? std::to_string(value) : "0";
        out.push_back({"Static", row.label, kText, column.labelX, y, 0, 8, kNoId, column.valueX});
        out.push_back({"Static", shown, kText, column.valueX, y, column.valueWidth, 8, row.id});
        y += 10;
    }
}

std::vector<ExpectedControl> statisticsTemplate() {
    const StatsColumn beenShot{{{"Headshots", 1013, 19}, {"Torso", 1014, 21}, {"Left Arm", 1015, 27},
                                {"Right Arm", 1016, 25}, {"Pelvis", 1017, 23}, {"Left Leg", 1018, 31},
                                {"Right Leg", 1019, 29}, {"Bashed", 1020, 17}},
                               10, 55, 20, 15};
    const StatsColumn yourShot{{{"Headshots", 1021, 18}, {"Torso", 1022, 20}, {"Left Arm", 1023, 26},
                                {"Right Arm", 1024, 24}, {"Pelvis", 1025, 22}, {"Left Leg", 1026, 30},
                                {"Right Leg", 1027, 28}, {"Bashed", 1028, 16}},
                               90, 135, 20, 15};
    const StatsColumn spree{{{"Killing Spree", 1029, 10}, {"Rampage", 1030, 11}, {"Dominating", 1042, 12},
                             {"Unstoppable", 1031, 13}, {"God Like", 1032, 14}, {"Holy Shit", 1033, 15},
                             {"Kills ina  row", 1043, 4}, {"Deaths in a  row", 1044, 5}},
                            170, 220, 20, 15};
    const StatsColumn generalLeft{{{"Double Kill!", 1034, 6}, {"Multi Kill!", 1035, 7}, {"Ultra Kill!", 1036, 8},
                                   {"MONSTER KILL", 1037, 9}},
                                  10, 80, 30, 115};
    const StatsColumn generalRight{{{"Total Kills", 1038, 0}, {"Total Deaths", 1039, 1}, {"Loaded a Map", 1040, 3},
                                    {"Suicides", 1041, 2}},
                                   140, 210, 20, 115};

    std::vector<ExpectedControl> out;
    out.push_back({"Button", "OK", kOkButton, 195, 165, 50, 14, IDOK});
    out.push_back({"Button", "Report", kPushButton, 140, 165, 50, 14, kReportButton});
    out.push_back({"Button", "Been shot locations", kGroupBox, 5, 5, 75, 95, kNoId});
    addColumn(out, beenShot, true);
    out.push_back({"Button", "Your  shot locations", kGroupBox, 85, 5, 75, 95, kNoId});
    addColumn(out, yourShot, true);
    out.push_back({"Button", "Killing Spree stats", kGroupBox, 165, 5, 80, 95, kNoId});
    addColumn(out, spree, true);
    out.push_back({"Button", "General Stats", kGroupBox, 5, 105, 240, 55, kNoId});
    addColumn(out, generalLeft, true);
    addColumn(out, generalRight, true);
    return out;
}

TEST(DialogsExe, StatisticsShowsTheFileTotalsInItsTemplate) {
    TestDir dir;
    prepareRunDir(dir);
    dir.write("vorbix.vbx", statsFileBytes());
    VorbixProcess vorbix(dir);
    ASSERT_NE(vorbix.waitForMainWindow(), nullptr);

    vorbix.click(vorbix.control(kStatisticsButton));
    HWND dialog = waitForDialog(vorbix.pid(), "Statistics");
    ASSERT_NE(dialog, nullptr);
    expectTemplate(dialog, 249, 186, statisticsTemplate());
    // Escape, Cancel and the close box send command 2; it ends the dialog too.
    endDialog(dialog, IDCANCEL);

    // Opening it again saves nothing new: the totals stay as they were.
    vorbix.click(vorbix.control(kStatisticsButton));
    dialog = waitForDialog(vorbix.pid(), "Statistics");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowTextOf(GetDlgItem(dialog, 1038)), std::to_string(testValue(0)));

    // "Report" writes the history's page beside the program and opens it.
    openPagesWithTheStandIn();
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kReportButton, BN_CLICKED), 0);
    std::string launched;
    EXPECT_TRUE(waitUntil([&] { return (launched = dir.read("launched.txt")).find("\r\n") != std::string::npos; }, 10000));
    EXPECT_NE(launched.find("vorbix-report.html"), std::string::npos) << launched;
    EXPECT_NE(dir.read("vorbix-report.html").find("</html>"), std::string::npos);
    endDialog(dialog, IDOK);
    EXPECT_EQ(dir.read("vorbix.vbx"), statsFileBytes());

    vorbix.closeWindow();
    EXPECT_TRUE(vorbix.waitForExit());
}

// --- Announcements ---

constexpr DWORD kAnnouncementBox = 0x50810080;
const char* const kAnnouncementLabels[8] = {"Got Bash",       "Got Headshot",    "Got Killing Spree",
                                            "Got Rampage",    "Got Dominating",  "Got Unstoppable",
                                            "Got Godlike",    "Got Holyshit"};

std::vector<ExpectedControl> announcementsTemplate(const std::vector<std::string>& boxTexts) {
    std::vector<ExpectedControl> out;
    out.push_back({"Button", "OK", kOkButton, 140, 145, 50, 14, IDOK});
    out.push_back({"Button", "Cancel", 0x50010000, 85, 145, 50, 14, IDCANCEL});
    out.push_back({"Button", "Announcements", kGroupBox, 5, 5, 185, 135, kNoId});
    for (int i = 0; i < 8; ++i) {
        int y = 15 + 15 * i;
        out.push_back({"Static", kAnnouncementLabels[i], kText, 10, y, 55, 10, kNoId});
        out.push_back({"Edit", boxTexts[i], kAnnouncementBox, 70, y, 115, 12, 1010 + i});
    }
    return out;
}

HWND openAnnouncements(VorbixProcess& vorbix) {
    vorbix.click(vorbix.control(kCustomizeButton));
    return waitForDialog(vorbix.pid(), "Announcements");
}

TEST(DialogsExe, AnnouncementsEditsTheEightTextsOnlyOnOk) {
    TestDir dir;
    prepareRunDir(dir,
                  "[vorbix]\r\nannouncements=1\r\n[announcements]\r\nbash=say bashed %s\r\nholyshit=say 100%% holy\r\n");
    VorbixProcess vorbix(dir);
    ASSERT_NE(vorbix.waitForMainWindow(), nullptr);

    std::vector<std::string> texts = {"say bashed %s", "", "", "", "", "", "", "say 100%% holy"};
    HWND dialog = openAnnouncements(vorbix);
    ASSERT_NE(dialog, nullptr);
    expectTemplate(dialog, 194, 166, announcementsTemplate(texts));

    // Cancel forgets the edits.
    setWindowText(GetDlgItem(dialog, 1011), "edited then cancelled");
    endDialog(dialog, IDCANCEL);
    dialog = openAnnouncements(vorbix);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowTextOf(GetDlgItem(dialog, 1011)), "");

    // OK stores every box: a text longer than the box is kept whole, an
    // emptied box becomes an empty text.
    std::string longText = "say " + std::string(300, 'x') + " %d";
    setWindowText(GetDlgItem(dialog, 1011), longText);
    setWindowText(GetDlgItem(dialog, 1010), "");
    endDialog(dialog, IDOK);
    texts[0] = "";
    texts[1] = longText;
    dialog = openAnnouncements(vorbix);
    ASSERT_NE(dialog, nullptr);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(windowTextOf(GetDlgItem(dialog, 1010 + i)), texts[i]) << i;
    endDialog(dialog, IDCANCEL);

    vorbix.closeWindow();
    ASSERT_TRUE(vorbix.waitForExit());
    std::string ini = dir.read("vorbix.ini");
    EXPECT_NE(ini.find(longText), std::string::npos);
    EXPECT_NE(ini.find("say 100%% holy"), std::string::npos);
    EXPECT_EQ(ini.find("say bashed %s"), std::string::npos);
}

// --- About ---

TEST(DialogsExe, AboutOpensFromTheTrayMenu) {
    TestDir dir;
    prepareRunDir(dir);
    VorbixProcess vorbix(dir);
    HWND main = vorbix.waitForMainWindow();
    ASSERT_NE(main, nullptr);

    // Right click on the tray icon, then the menu's first entry.
    PostMessageA(main, WM_USER, 0, WM_RBUTTONUP);
    HWND menu = waitForPopupMenu(vorbix.pid());
    ASSERT_NE(menu, nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    HWND dialog = waitForDialog(vorbix.pid(), "About");
    ASSERT_NE(dialog, nullptr);

    std::vector<ChildWindow> children = childWindows(dialog);
    ASSERT_EQ(children.size(), 4u);
    std::string credit = children[1].text;
    std::string hint = children[2].text;
    EXPECT_NE(credit.find("The Vorbix team"), std::string::npos) << credit;
    EXPECT_FALSE(hint.empty());
    expectTemplate(dialog, 187, 91,
                   {{"Button", "OK", kOkButton, 130, 75, 50, 14, IDOK},
                    {"Static", credit, kText, 5, 5, 180, 15, kNoId},
                    {"Static", hint, kText, 5, 20, 175, 20, kNoId},
                    {"Static", "Version: 3.0", kText, 5, 50, 175, 10, kNoId}});
    endDialog(dialog, IDOK);

    // The About dialog saves nothing: no stats file appears.
    EXPECT_FALSE(dir.exists("vorbix.vbx"));
    vorbix.closeWindow();
    EXPECT_TRUE(vorbix.waitForExit());
}

}  // namespace
