// The console channel (its console thread) against simulated game consoles
// that pump their messages once a frame, in one process: what it reports, and
// how it types commands into a game that takes its input buffer once a pump.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "console/console_events.h"
#include "console/editions.h"
#include "core/app_state.h"
#include "core/platform.h"
#include "support/harness.h"

namespace {
std::vector<std::string> notices;
}  // namespace

// The front-end's side, for the channel alone: the test takes the events as
// they come, so no loop needs waking.
void showWarning(const char* text, const char*) { notices.push_back(text); }
void showNotice(const char* text) { notices.push_back(text); }
void wakeMainLoop() {}

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Sends one command as a poll step would: it goes to the game when the step ends.
void send(const std::string& command) {
    sendConsoleCommand(command);
    releaseConsoleCommands();
}

// The front-end's side: takes events until one of `kind` comes, keeping the
// lines seen on the way; takes the link as the window thread would.
class ChannelTest : public ::testing::Test {
protected:
    std::vector<std::string> lines;

    static void SetUpTestSuite() { startConsoleChannel(); }

    bool waitFor(ConsoleEvent::Kind kind, ConsoleEvent* found = nullptr, DWORD timeoutMs = 10000) {
        ConsoleEvent event;
        return waitUntil(
            [&] {
                while (takeConsoleEvent(event)) {
                    for (size_t start = 0, end; event.kind == ConsoleEvent::kLines &&
                                                (end = event.lines.find('\n', start)) != std::string::npos;
                         start = end + 1)
                        lines.push_back(event.lines.substr(start, end - start));
                    if (event.kind == ConsoleEvent::kLinked) app.link = event.link;
                    if (event.kind == ConsoleEvent::kLost) app.link = GameLink{};
                    if (event.kind == kind) {
                        if (found) *found = event;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
    }

    // Takes every event waiting now.
    void drain() { waitFor(ConsoleEvent::kSearched, nullptr, 0); }

    std::unique_ptr<SimConsole> openLinked(SimOptions options = {}) {
        auto console = std::make_unique<SimConsole>(options);
        EXPECT_TRUE(waitFor(ConsoleEvent::kLinked));
        return console;
    }

    void closeAndWaitForLoss(SimConsole& console) {
        console.close();
        ASSERT_TRUE(console.waitUntilClosed(10000));
        ASSERT_TRUE(waitFor(ConsoleEvent::kLost));
    }
};

TEST_F(ChannelTest, FindsEachEditionReadsItsLinesOnceAndReportsItsLoss) {
    for (int edition = 0; edition < kEditionCount; ++edition) {
        SCOPED_TRACE(edition);
        SimOptions options;
        options.edition = edition;
        SimConsole console(options);
        ConsoleEvent linked;
        ASSERT_TRUE(waitFor(ConsoleEvent::kLinked, &linked));
        EXPECT_EQ(linked.edition, edition);
        EXPECT_EQ(linked.link.kind, LinkKind::kConsoleWindow);
        EXPECT_EQ(linked.link.edition, edition);

        lines.clear();
        console.print("first");
        console.print("\x04" "Alice was shot by Bob");
        ASSERT_TRUE(console.waitForReader(10000));  // read twice since: all handed on
        drain();
        EXPECT_EQ(lines, (std::vector<std::string>{"first", "\x04" "Alice was shot by Bob"}));
        EXPECT_EQ(console.outputText(), "first\r\n\x04" "Alice was shot by Bob\r\n") << "the box was changed";
        closeAndWaitForLoss(console);
    }
}

// Commands of every length up to the longest the game takes whole, faster
// than any frame rate from 20 to 250 fps takes them, into a console shown
// (each pump lasts while commands come) or hidden, while the player's mouse
// moves or not: none is cut, none overruns the game's input buffer, no pump
// takes more than 400 bytes, all arrive in order.
TEST_F(ChannelTest, BurstsReachTheGameWholeAtAnyFrameRate) {
    struct Game {
        int fps;
        bool visible;
        int mouseMovesPerSecond;
    };
    for (const Game& game : {Game{20, true, 0}, Game{60, true, 0}, Game{250, true, 0}, Game{60, false, 0},
                             Game{60, false, 1000}, Game{60, true, 1000}}) {
        SCOPED_TRACE(std::to_string(game.fps) + " fps, " + (game.visible ? "shown" : "hidden") + ", mouse " +
                     std::to_string(game.mouseMovesPerSecond));
        SimOptions options;
        options.framesPerSecond = game.fps;
        options.visible = game.visible;
        options.mouseMovesPerSecond = game.mouseMovesPerSecond;
        auto console = openLinked(options);
        std::vector<std::string> sent;
        for (int i = 0; i < 120; ++i) sent.push_back("set sfx_kills " + std::to_string(i) + std::string(i % 60, 'x'));
        sent.push_back("say \"" + std::string(480, 'a') + "\"");  // 487 bytes: alone in a pump
        sent.push_back("say \"" + std::string(495, 'c') + "\"");  // 502: the longest sent
        sent.push_back("set sfx_after_the_long_one 1");
        notices.clear();
        send("say \"" + std::string(520, 'b') + "\"");  // the game would cut it: never sent
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].rfind("Not sent to the game: longer than its 502-character console line", 0), 0u);
        for (const std::string& command : sent) send(command);
        ASSERT_TRUE(console->waitForCommands(sent.size(), 60000));
        ASSERT_TRUE(flushConsoleCommands(10000));
        EXPECT_EQ(console->commandTexts(), sent);
        EXPECT_FALSE(console->faults().overrun);
        EXPECT_TRUE(console->faults().cut.empty()) << console->faults().cut.front();
        closeAndWaitForLoss(*console);
    }
}

TEST_F(ChannelTest, TwoThreadsNeverSplitAPairAndKeepTheirOrder) {
    auto console = openLinked();
    constexpr int kEach = 500;
    auto sendAll = [](char tag) {
        for (int i = 0; i < kEach; ++i) send(std::string(1, tag) + " " + std::to_string(i));
    };
    std::thread a(sendAll, 'A');
    std::thread b(sendAll, 'B');
    a.join();
    b.join();
    ASSERT_TRUE(console->waitForCommands(2 * kEach, 120000));
    ASSERT_TRUE(flushConsoleCommands(10000));

    std::vector<std::string> received = console->commandTexts();
    ASSERT_EQ(received.size(), 2u * kEach);
    int next[2] = {0, 0};
    for (const std::string& text : received) {
        ASSERT_GE(text.size(), 3u) << "split pair: \"" << text << "\"";
        ASSERT_TRUE(text[0] == 'A' || text[0] == 'B') << text;
        int thread = text[0] - 'A';
        ASSERT_EQ(text.substr(2), std::to_string(next[thread])) << "out of order or split: " << text;
        ++next[thread];
    }
    EXPECT_TRUE(console->faults().cut.empty());
    closeAndWaitForLoss(*console);
}

TEST_F(ChannelTest, AGameThatStopsPumpingLosesNothingAndBlocksNoCaller) {
    auto console = openLinked();
    send("before");
    ASSERT_TRUE(console->waitForCommands(1, 10000));

    console->pause(10000);
    console->print("printed during the pause");
    auto start = Clock::now();
    for (int i = 0; i < 200; ++i) send("during " + std::to_string(i));
    EXPECT_LT(msSince(start), 1000) << "sending waited for the game";
    EXPECT_FALSE(flushConsoleCommands(200));  // bounded while the game sleeps
    EXPECT_EQ(console->commands().size(), 1u) << "the console was not paused";

    ASSERT_TRUE(console->waitForCommands(201, 60000));
    ASSERT_TRUE(flushConsoleCommands(10000));
    std::vector<std::string> received = console->commandTexts();
    ASSERT_EQ(received.size(), 201u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(received[i + 1], "during " + std::to_string(i));
    EXPECT_TRUE(console->faults().cut.empty());
    EXPECT_FALSE(console->faults().overrun);
    const auto printed = [&] { return std::find(lines.begin(), lines.end(), "printed during the pause") != lines.end(); };
    EXPECT_TRUE(waitUntil([&] { return drain(), printed(); }, 10000));
    closeAndWaitForLoss(*console);
}

TEST_F(ChannelTest, CommandsWithoutALinkedConsoleAreDropped) {
    auto first = openLinked();
    SimConsole second;  // not linked: the channel keeps the first
    first->close();
    ASSERT_TRUE(first->waitUntilClosed(10000));
    send("exec vorbixoff.cfg");  // to the console that is gone
    ASSERT_TRUE(waitFor(ConsoleEvent::kLost));
    ASSERT_TRUE(waitFor(ConsoleEvent::kLinked));  // now the second
    EXPECT_TRUE(flushConsoleCommands(5000));
    EXPECT_TRUE(first->commands().empty());
    EXPECT_TRUE(second.commands().empty());
    closeAndWaitForLoss(second);
}

TEST_F(ChannelTest, CommandsReachTheGameAndNameIsAnswered) {
    SimOptions options;
    options.playerName = "Bob";
    auto console = openLinked(options);
    send("name");
    send("");  // an empty command still presses Enter
    send("set sfx_message \"a; b\"");
    ASSERT_TRUE(console->waitForCommands(3, 10000));
    EXPECT_EQ(console->commandTexts(), (std::vector<std::string>{"name", "", "set sfx_message \"a; b\""}));
    ASSERT_TRUE(flushConsoleCommands(10000));
    // The echoes come as the game takes each Enter, the answer when it runs
    // the command, after the pump: where it stands depends on the frames.
    const std::string text = console->outputText();
    for (const char* line : {"]name\r\n", "]\r\n", "]set sfx_message \"a; b\"\r\n",
                             "\"name\" is:\"Bob\" default:\"UnnamedSoldier\"\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    closeAndWaitForLoss(*console);
}

}  // namespace
