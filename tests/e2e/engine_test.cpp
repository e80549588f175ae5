// The real vorbix.exe looking for the game, linking to it, learning the
// player's name, losing the game and finding it again, against simulated
// consoles of the three editions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/editions.h"
#include "support/app_ui.h"
#include "support/harness.h"

namespace {

// Creation indexes of the main window's controls.
constexpr int kHideLaunchButton = 1;
constexpr int kStatusLabel = 4;
constexpr int kPlayerNameLabel = 5;

struct Flags {
    bool announcements, displays, sounds;
};

std::string iniWith(Flags flags) {
    auto bit = [](bool on) { return on ? "1" : "0"; };
    return std::string("kill_time=10\r\n[vorbix]\r\nsounds=") + bit(flags.sounds) + "\r\ndisplays=" +
           bit(flags.displays) + "\r\nannouncements=" + bit(flags.announcements) + "\r\n[game]\r\nlaunchmohaa=0\r\n";
}

std::string nameDetected(const std::string& name) { return "set sfx_name_message \"Name Detected '" + name + "' \""; }

// What the game receives when the program links to it and the game answers
// the name query with `name`.
std::vector<std::string> linkCommands(Flags flags, const std::string& name) {
    return {"exec updatevbxstats.cfg",
            "exec vorbixon.cfg",
            flags.announcements ? "exec announceon.cfg" : "exec announceoff.cfg",
            flags.displays ? "exec displayson.cfg" : "exec displaysoff.cfg",
            flags.sounds ? "exec soundson.cfg" : "exec soundsoff.cfg",
            "name",
            "set sfx_current_language \"english.ini\"",
            "mapname",
            nameDetected(name)};
}

std::vector<std::string> firstKillCommands() { return {"set sfx_in_a_row_kills 1", "set sfx_kills 1"}; }

bool isSearchText(const std::string& text) {
    for (const GameEdition& edition : kGameEditions)
        if (text == edition.statusText) return true;
    return false;
}

SimConsole* openConsole(std::unique_ptr<SimConsole>& slot, int edition, const std::string& name) {
    SimOptions options;
    options.edition = edition;
    options.playerName = name;
    slot = std::make_unique<SimConsole>(options);
    return slot.get();
}

class EngineTest : public ::testing::Test {
protected:
    TestDir dir;
    std::unique_ptr<VorbixProcess> vorbix;

    void start(Flags flags) {
        prepareRunDir(dir, iniWith(flags));
        vorbix = std::make_unique<VorbixProcess>(dir);
        ASSERT_TRUE(vorbix->started());
        ASSERT_NE(vorbix->waitForMainWindow(), nullptr);
    }

    std::string label(int index) const { return windowTextOf(vorbix->control(index)); }

    bool labelBecomes(int index, const std::string& text) const {
        return waitUntil([&] { return label(index) == text; }, 30000);
    }

    void closeAndExpectCleanExit() {
        vorbix->closeWindow();
        ASSERT_TRUE(vorbix->waitForExit());
        EXPECT_EQ(vorbix->exitCode(), 0u);
    }
};

TEST_F(EngineTest, SearchShowsEachEditionThenFindsBreakthrough) {
    const Flags flags{true, false, true};
    start(flags);
    // The label names the edition being tried when the clock moves on by a
    // second; an extra message now and then shifts which one that is.
    std::vector<std::string> seen;
    bool onlySearchTexts = true;
    waitUntil(
        [&] {
            std::string text = label(kStatusLabel);
            if (!text.empty() && !isSearchText(text)) onlySearchTexts = false;
            if (isSearchText(text) && std::find(seen.begin(), seen.end(), text) == seen.end()) seen.push_back(text);
            if (GetTickCount() % 700 < 25) PostMessageA(vorbix->mainWindow(), WM_NULL, 0, 0);
            return seen.size() == 3;
        },
        60000);
    EXPECT_TRUE(onlySearchTexts);
    EXPECT_EQ(seen.size(), 3u);

    std::unique_ptr<SimConsole> slot;
    SimConsole* console = openConsole(slot, 2, "Bob");
    EXPECT_TRUE(labelBecomes(kStatusLabel, "Found Game")) << label(kStatusLabel);
    ASSERT_TRUE(console->waitForCommand(nameDetected("Bob"), 30000));
    EXPECT_TRUE(labelBecomes(kPlayerNameLabel, "Bob"));
    // Start-up loaded the message file before any game was there: its
    // messages went nowhere, the game's first command comes from the link.
    EXPECT_EQ(console->commandTexts(), linkCommands(flags, "Bob"));
    closeAndExpectCleanExit();
}

// One game played with the window hidden, the game gone, a new game found.
TEST_F(EngineTest, LossShowsTheWindowSavesTheGameAndRelinkStartsFromZero) {
    const Flags flags{false, true, false};
    std::unique_ptr<SimConsole> firstSlot, secondSlot;
    SimConsole* first = openConsole(firstSlot, 0, "Bob");
    start(flags);
    vorbix->click(vorbix->control(kHideLaunchButton));
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(vorbix->mainWindow()); }, 10000));

    ASSERT_TRUE(first->waitForCommand(nameDetected("Bob"), 30000));
    EXPECT_TRUE(labelBecomes(kPlayerNameLabel, "Bob"));
    // The name is installed: the player's kill counts, another's does not.
    first->print("\x04" "Zoe was shot by Yann");
    first->print("\x04" "Alice was shot by Bob");
    ASSERT_TRUE(first->waitForCommand("set sfx_kills 1", 30000));
    EXPECT_EQ(first->commandTexts(), linkCommands(flags, "Bob") + firstKillCommands());

    first->close();
    ASSERT_TRUE(first->waitUntilClosed(10000));
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(vorbix->mainWindow()) != FALSE; }, 30000));
    EXPECT_TRUE(labelBecomes(kPlayerNameLabel, ""));
    EXPECT_TRUE(waitUntil([&] { return isSearchText(label(kStatusLabel)); }, 30000)) << label(kStatusLabel);
    StatsRecord saved = statsFileIn(dir);
    EXPECT_EQ(saved.kills, 1u);
    EXPECT_EQ(saved.in_a_row_kills, 1u);
    EXPECT_EQ(saved.deaths, 0u);

    // A new game with another player: the name is replaced, the counts of
    // the new game start from zero and are added to the file at exit.
    SimConsole* second = openConsole(secondSlot, 1, "Carol");
    ASSERT_TRUE(second->waitForCommand(nameDetected("Carol"), 30000));
    EXPECT_TRUE(labelBecomes(kPlayerNameLabel, "Carol"));
    second->print("\x04" "Eve was shot by Bob");
    second->print("\x04" "Dan was shot by Carol");
    ASSERT_TRUE(second->waitForCommand("set sfx_kills 1", 30000));
    closeAndExpectCleanExit();
    second->waitForFrameEnd();
    EXPECT_EQ(second->commandTexts(),
              linkCommands(flags, "Carol") + firstKillCommands() + std::vector<std::string>{"exec vorbixoff.cfg"});
    StatsRecord total = statsFileIn(dir);
    EXPECT_EQ(total.kills, 2u);
    EXPECT_EQ(total.in_a_row_kills, 1u);
}

// A message file that is not there is reported in the game only while one
// is linked, and the tables in use stay.
TEST_F(EngineTest, InGameLanguageFailureKeepsTheTables) {
    std::unique_ptr<SimConsole> slot;
    SimConsole* console = openConsole(slot, 0, "Bob");
    start({false, false, false});
    ASSERT_TRUE(console->waitForCommand(nameDetected("Bob"), 30000));
    size_t before = console->commands().size();

    console->print("vorbixoption language german");
    console->print("\x04" "Alice was shot by Bob");
    ASSERT_TRUE(console->waitForCommand("set sfx_kills 1", 30000));
    std::vector<std::string> commands = console->commandTexts();
    commands.erase(commands.begin(), commands.begin() + static_cast<std::ptrdiff_t>(before));
    EXPECT_EQ(commands, std::vector<std::string>{"subtitle2 \"Error: Failed to load: german.ini\""} + firstKillCommands());
    // A message box opened for the failure would have held the kill's line
    // until it was closed.
    EXPECT_EQ(vorbix->waitForMessageBox(0).handle, nullptr);
    closeAndExpectCleanExit();
}

}  // namespace
