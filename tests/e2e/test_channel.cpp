// The console channel against the simulated game console, in one process.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "console/channel_win32.h"
#include "platform/platform.h"
#include "support/harness.h"

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override { resetAppState(); }
    void TearDown() override {
        flushConsoleCommands(30000);
        resetAppState();
    }

    // Opens a simulated console of `edition` and links the channel to it.
    std::unique_ptr<SimConsole> openLinked(int edition = 0) {
        SimOptions options;
        options.edition = edition;
        auto console = std::make_unique<SimConsole>(options);
        EXPECT_TRUE(findConsole(kGameEditions[edition]));
        return console;
    }
};

TEST_F(ChannelTest, FindsTheConsoleOfEachEditionAndOnlyThatOne) {
    for (int edition = 0; edition < kEditionCount; ++edition) {
        SCOPED_TRACE(edition);
        SimOptions options;
        options.edition = edition;
        SimConsole console(options);
        for (int other = 0; other < kEditionCount; ++other) {
            if (other == edition) continue;
            EXPECT_FALSE(findConsole(kGameEditions[other]));
        }
        ASSERT_TRUE(findConsole(kGameEditions[edition]));
        EXPECT_EQ(app.console.consoleWindow, console.window());
        EXPECT_EQ(app.console.consoleInput, console.input());
        EXPECT_EQ(app.console.consoleOutput, console.output());
        EXPECT_TRUE(isConsoleLinked());

        console.close();
        ASSERT_TRUE(console.waitUntilClosed(10000));
        EXPECT_FALSE(isConsoleLinked());
        // The edit handles stay until the next successful search.
        EXPECT_FALSE(findConsole(kGameEditions[edition]));
        EXPECT_EQ(app.console.consoleWindow, nullptr);
        EXPECT_NE(app.console.consoleInput, nullptr);
    }
}

TEST_F(ChannelTest, ReadsTheOutputAndDeletesExactlyWhatWasRead) {
    auto console = openLinked();
    std::string text;
    EXPECT_FALSE(readConsoleText(text));  // empty box: no text

    ASSERT_TRUE(console->printAndWait("first"));
    ASSERT_TRUE(console->printAndWait("\x04" "Alice was shot by Bob"));
    ASSERT_TRUE(readConsoleText(text));
    EXPECT_EQ(text, "first\r\n\x04" "Alice was shot by Bob\r\n");

    // The game appends between the read and the delete: the new line stays,
    // and the read text goes together with it once that is read too, so the
    // game's caret never sits before text it printed.
    ASSERT_TRUE(console->printAndWait("later"));
    deleteConsoleText(text.size());
    ASSERT_TRUE(readConsoleText(text));
    EXPECT_EQ(text, "later\r\n");
    deleteConsoleText(text.size());
    EXPECT_EQ(console->outputText(), "");
    ASSERT_TRUE(console->printAndWait("next"));
    EXPECT_EQ(console->outputText(), "next\r\n");

    // Deleting again without a new read removes nothing.
    deleteConsoleText(text.size());
    EXPECT_EQ(console->outputText(), "next\r\n");
}

TEST_F(ChannelTest, ADeleteTheGameDidNotAnswerIsNeverReadAgain) {
    auto console = openLinked();
    ASSERT_TRUE(console->printAndWait("handled once"));
    std::string text;
    ASSERT_TRUE(readConsoleText(text));

    console->pause(1500);
    deleteConsoleText(text.size());  // the game does not answer in time
    console->print("printed after the pause");
    std::string later;
    ASSERT_TRUE(waitUntil([&] { return readConsoleText(later); }, 20000));
    EXPECT_EQ(later, "printed after the pause\r\n");

    deleteConsoleText(later.size());
    EXPECT_FALSE(readConsoleText(later));
    EXPECT_EQ(console->outputText(), "");
}

TEST_F(ChannelTest, KeepsTextTheGameWroteAfterStartingItsBoxOver) {
    auto console = openLinked();
    ASSERT_TRUE(console->printAndWait("read before the box starts over, long enough to matter"));
    std::string text;
    ASSERT_TRUE(readConsoleText(text));

    // More than 32,767 characters since the last start-over: the next message
    // replaces the whole box.
    std::string filler(999, 'x');
    for (int i = 0; i < 33; ++i) console->print(filler);
    ASSERT_TRUE(console->printAndWait("new text after the start-over, longer than what was read before"));
    std::string expected = "new text after the start-over, longer than what was read before\r\n";
    ASSERT_EQ(console->outputText(), expected);

    deleteConsoleText(text.size());
    EXPECT_EQ(console->outputText(), expected);
}

TEST_F(ChannelTest, CommandsReachTheGameAndNameIsAnswered) {
    SimOptions options;
    options.playerName = "Bob";
    SimConsole console(options);
    ASSERT_TRUE(findConsole(kGameEditions[0]));

    sendConsoleCommand("name");
    sendConsoleCommand("");  // an empty command still presses Enter
    sendConsoleCommand("set sfx_message \"a; b\"");
    ASSERT_TRUE(console.waitForCommands(3, 10000));
    EXPECT_EQ(console.commandTexts(), (std::vector<std::string>{"name", "", "set sfx_message \"a; b\""}));
    ASSERT_TRUE(flushConsoleCommands(10000));
    EXPECT_EQ(console.outputText(),
              "]name\r\n\"name\" is:\"Bob\" default:\"UnnamedSoldier\"\r\n]\r\n]set sfx_message \"a; b\"\r\n");
}

TEST_F(ChannelTest, SimulatedConsoleAnswersTheDefaultNameInItsShortForm) {
    auto console = openLinked(2);
    sendConsoleCommand("name");
    ASSERT_TRUE(flushConsoleCommands(10000));
    EXPECT_EQ(console->outputText(), "]name\r\n\"name\" is:\"UnnamedSoldier\", the default\r\n");
}

TEST_F(ChannelTest, CommandsWithoutALinkedConsoleAreDropped) {
    sendConsoleCommand("exec vorbixoff.cfg");  // never linked
    EXPECT_TRUE(flushConsoleCommands(1000));

    auto first = openLinked();
    first->close();
    ASSERT_TRUE(first->waitUntilClosed(10000));
    SimConsole second;  // a new console, not yet linked
    sendConsoleCommand("exec vorbixoff.cfg");  // through the vanished input line
    EXPECT_TRUE(flushConsoleCommands(5000));
    EXPECT_TRUE(first->commands().empty());
    EXPECT_TRUE(second.commands().empty());
}

TEST_F(ChannelTest, TwoThreadsNeverSplitAPairAndKeepTheirOrder) {
    auto console = openLinked();
    constexpr int kEach = 1000;
    auto sendAll = [](char tag) {
        for (int i = 0; i < kEach; ++i) sendConsoleCommand(std::string(1, tag) + " " + std::to_string(i));
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
    EXPECT_EQ(next[0], kEach);
    EXPECT_EQ(next[1], kEach);
}

TEST_F(ChannelTest, AGameThatStopsPumpingLosesNothingAndBlocksNoCaller) {
    auto console = openLinked();
    sendConsoleCommand("before");
    ASSERT_TRUE(console->waitForCommands(1, 10000));

    console->pause(10000);
    auto start = Clock::now();
    for (int i = 0; i < 200; ++i) sendConsoleCommand("during " + std::to_string(i));
    EXPECT_LT(msSince(start), 1000) << "sending waited for the game";

    start = Clock::now();
    std::string text;
    EXPECT_FALSE(readConsoleText(text));  // no answer: no text, promptly
    EXPECT_LT(msSince(start), 1000) << "reading waited for the game";
    EXPECT_EQ(console->commands().size(), 1u) << "the console was not paused";

    // Bounded: the flush gives up while the game still sleeps.
    EXPECT_FALSE(flushConsoleCommands(200));

    ASSERT_TRUE(console->waitForCommands(201, 60000));
    ASSERT_TRUE(flushConsoleCommands(10000));
    std::vector<std::string> received = console->commandTexts();
    ASSERT_EQ(received.size(), 201u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(received[i + 1], "during " + std::to_string(i));
}

}  // namespace
