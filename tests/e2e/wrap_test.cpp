// The game's output box starts over after 32,767 characters: vorbix.exe must
// neither lose nor repeat a line across a start-over, before and after it
// knows the player's name.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <thread>

#include "support/harness.h"

namespace {

constexpr const char* kIni =
    "kill_time=0\r\n[vorbix]\r\nsounds=0\r\ndisplays=0\r\nannouncements=0\r\n[game]\r\nlaunchmohaa=0\r\n";
const std::string kMapLine = "CL_InitCGame:  1.23 seconds";
const std::string kKillLine = "\x04" "Carl was shot by Kestrel";
const std::string kPublished = "exec updatevbxstats.cfg";
// The last command on linking (no name answered) and on a map line.
const std::string kLinkDone = "set sfx_current_language \"english.ini\"";
const std::string kMapDone = "set sfx_in_a_row_kills 0";
const std::string kNameDetected = "set sfx_name_message \"Name Detected 'Kestrel' \"";
// A line the player's echo prints, and its answer: once that came, every
// line printed before it was handled.
const std::string kMarkLine = "vorbixoption sounds_on";
const std::string kMarkAnswer = "exec soundson.cfg";
// A line that matches nothing, about 100 characters.
const std::string kNoise = "\x03" "Sgt.Rock is preparing for deployment " + std::string(60, '.');

size_t countOf(const std::vector<std::string>& commands, const std::string& text) {
    return static_cast<size_t>(std::count(commands.begin(), commands.end(), text));
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// Kills counted so far: the highest "set sfx_kills N" received.
uint32_t killsCounted(const SimConsole& console) {
    uint32_t most = 0;
    for (const std::string& text : console.commandTexts())
        if (text.compare(0, 14, "set sfx_kills ") == 0) most = std::max(most, uint32_t(std::stoul(text.substr(14))));
    return most;
}

class WrapTest : public ::testing::Test {
protected:
    TestDir dir;
    std::unique_ptr<VorbixProcess> vorbix;

    void SetUp() override {
        prepareRunDir(dir, kIni);
        vorbix = std::make_unique<VorbixProcess>(dir);
        ASSERT_NE(vorbix->waitForMainWindow(), nullptr);
    }

    // Prints noise until the next few hundred characters start the box over.
    static void fillAlmostToStartOver(SimConsole& console) {
        while (console.appendedSinceStartOver() + 400 < consolesim::kResetAfterChars) console.printAndWait(kNoise);
    }

    StatsRecord totalsAfterExit() {
        vorbix->closeWindow();
        EXPECT_TRUE(vorbix->waitForExit());
        return statsFileIn(dir);
    }
};

// A start-over makes the box shorter, and what follows must still be read
// exactly once.
TEST_F(WrapTest, MapLinesAcrossStartOversBeforeTheNameIsKnown) {
    SimOptions options;
    options.answersName = false;
    SimConsole console(options);
    ASSERT_TRUE(console.waitForCommand(kLinkDone, 30000));

    // Each map line is printed once the game echoed every command before it:
    // what is printed after it comes from its handling, so the game cannot
    // start the box over before vorbix read it.
    size_t maps = 0;
    for (uint64_t startOvers = 1; startOvers <= 3; ++startOvers) {
        fillAlmostToStartOver(console);
        while (console.startOvers() < startOvers || console.appendedSinceStartOver() < 200) {
            console.print(kMapLine);
            ++maps;
            ASSERT_TRUE(waitUntil([&] { return countOf(console.commandTexts(), kMapDone) == maps; }, 10000))
                << "map line " << maps << " was not handled";
        }
    }
    console.print(kMarkLine);
    ASSERT_TRUE(console.waitForCommand(kMarkAnswer, 30000));
    EXPECT_EQ(countOf(console.commandTexts(), kPublished), maps + 1);
    EXPECT_EQ(totalsAfterExit().maps, maps);
}

// The game keeps printing while vorbix.exe reads; start-overs fall between
// reads. Only lines the game itself dropped unread at a start-over may be
// missing, none repeated.
TEST_F(WrapTest, KillLinesAcrossStartOversOnceTheNameIsKnown) {
    SimOptions options;
    options.playerName = "Kestrel";
    // Hidden: a visible box repaints at every line, far slower than the
    // thousand lines a second printed here.
    options.visible = false;
    SimConsole console(options);
    ASSERT_TRUE(console.waitForCommand(kNameDetected, 30000));

    std::atomic<bool> printing{true};
    std::thread noise([&] {
        while (printing) {
            console.print(kNoise);
            Sleep(1);
        }
    });
    std::mt19937 random(5);
    std::uniform_int_distribution<int> pause(0, 12);
    uint32_t printed = 0;
    while (console.startOvers() < 4) {
        console.print(kKillLine);
        ++printed;
        Sleep(static_cast<DWORD>(pause(random)));
    }
    printing = false;
    noise.join();

    console.print(kMarkLine);
    ASSERT_TRUE(console.waitForCommand(kMarkAnswer, 60000));
    // Each kill line the game did not drop unread counts once: none lost, none twice.
    const uint32_t dropped = static_cast<uint32_t>(occurrences(console.discardedText(), kKillLine));
    EXPECT_EQ(killsCounted(console), printed - dropped) << printed << " printed, " << dropped << " dropped by the game";
    EXPECT_EQ(totalsAfterExit().kills, printed - dropped);
}

}  // namespace
