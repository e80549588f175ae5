#include <cstring>

#include "console/box_reader.h"
#include "engine_fixture.h"
#include "stats/announce.h"

namespace {

using PollTest = EngineTest;

std::vector<std::string> newLines(BoxReader& reader, const std::string& box) {
    std::string text;
    const size_t count = takeNewLines(reader, box, text);
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(lines.size(), count);
    return lines;
}

// Table A with recording handlers: a -> "alpha", b -> "beta".
void useRecordingTable() {
    app.tableA = KeywordTable{};
    app.tableA.count = -1;
    appendKeyword(app.tableA, "alpha", recordCall<'a'>);
    appendKeyword(app.tableA, "beta", recordCall<'b'>);
}

std::vector<std::string> commandsOfPublishAllStats() {
    std::vector<std::string> saved = fake.commands;
    fake.commands.clear();
    publishAllStats();
    std::vector<std::string> published = fake.commands;
    fake.commands = saved;
    return published;
}

TEST(BoxReader, CutsAtLineFeedsAndDropsTheLastCharacterOfEachPiece) {
    BoxReader reader;
    EXPECT_EQ(newLines(reader, "first line\r\nsecond line\r\n"), (std::vector<std::string>{"first line", "second line"}));
    // Runs of line feeds give no pieces; the last character is dropped even
    // when it is no carriage return; an unterminated piece waits.
    BoxReader other;
    EXPECT_EQ(newLines(other, "\n\n\nabcdefgh\n\nlast piece"), std::vector<std::string>{"abcdefg"});
    EXPECT_EQ(newLines(other, "\n\n\nabcdefgh\n\nlast piece\n"), std::vector<std::string>{"last piec"});
}

TEST(BoxReader, HandsOutEachLineOnceAndStartsOverWithTheBox) {
    BoxReader reader;
    EXPECT_TRUE(newLines(reader, "").empty());
    EXPECT_EQ(newLines(reader, "one\r\ntw"), std::vector<std::string>{"one"});
    EXPECT_TRUE(newLines(reader, "one\r\ntw").empty());
    EXPECT_EQ(newLines(reader, "one\r\ntwo\r\nthree\r\n"), (std::vector<std::string>{"two", "three"}));
    // The game started its box over, or the player cleared it: all is new,
    // also when the new text is longer than what was read before.
    EXPECT_EQ(newLines(reader, "four\r\n"), std::vector<std::string>{"four"});
    EXPECT_EQ(newLines(reader, "five, a line longer than before\r\nsix\r\n"),
              (std::vector<std::string>{"five, a line longer than before", "six"}));
    // A started-over box without a complete line yet forgets the old text.
    EXPECT_TRUE(newLines(reader, "seven").empty());
    EXPECT_EQ(newLines(reader, "seven\r\n"), std::vector<std::string>{"seven"});
}

TEST_F(PollTest, DispatchCallsEveryMatchingSlotOnceInSlotOrderAndNoneForChat) {
    useRecordingTable();
    dispatch("beta alpha alpha");
    EXPECT_EQ(handlerCalls, (std::vector<std::string>{"a:alpha alpha|beta alpha alpha", "b:beta alpha alpha|beta alpha alpha"}));
    // A chat print glued to the end of another print is chat all the same.
    handlerCalls.clear();
    dispatch("beta \x02" "(team) Bob: alpha");
    EXPECT_TRUE(handlerCalls.empty());
}

void appendGamma(const char*, char*) { appendKeyword(app.tableA, "gamma", recordCall<'g'>); }

TEST_F(PollTest, DispatchTriesSlotsAppendedDuringTheLine) {
    useRecordingTable();
    appendKeyword(app.tableA, "alpha", appendGamma);
    dispatch("alpha gamma");
    EXPECT_EQ(handlerCalls, (std::vector<std::string>{"a:alpha gamma|alpha gamma", "g:gamma|alpha gamma"}));
}

TEST_F(PollTest, SearchCyclesEditionsAndWritesTheStatusAtMostOncePerSecond) {
    for (int i = 0; i < 4; ++i) poll();
    EXPECT_EQ(fake.logOf("find"), (std::vector<std::string>{"find 0 none", "find 1 none", "find 2 none", "find 0 none"}));
    EXPECT_EQ(fake.logOf("status"), std::vector<std::string>{"status Searching for Allied Assault."});
    EXPECT_EQ(lastSearchTime, fake.now);

    fake.now += 1;
    poll();
    EXPECT_EQ(fake.logOf("status").back(), "status Searching for Spearhead.");

    fake.searchIndex = 7;  // out of range starts over
    poll();
    EXPECT_EQ(fake.log.back(), "find 0 none");
    fake.searchIndex = -3;  // any other value tries the first edition
    poll();
    EXPECT_EQ(fake.log.back(), "find 0 none");
}

TEST_F(PollTest, FindingTheGamePublishesAndTheFirstPollDoesNotRead) {
    fake.editionPresent[1] = true;
    fake.consoleText = "alpha line\r\n";
    useRecordingTable();
    poll();
    poll();
    EXPECT_EQ(fake.logOf("status").back(), "status Found Game");
    EXPECT_EQ(fake.commands, commandsOfPublishAllStats());
    EXPECT_TRUE(handlerCalls.empty());
    EXPECT_EQ(fake.searchIndex, 2);

    poll();
    EXPECT_EQ(handlerCalls.size(), 1u);
}

TEST_F(PollTest, LosingTheGameSavesResetsAndSearchesOnInTheSameCall) {
    ScopedChdir inTemp(dir.root());
    linkConsole();
    app.pendingStats.kills = 5;
    app.killsInARow = 3;
    fake.now += 10;
    fake.consoleAlive = false;
    fake.editionPresent[0] = false;
    poll();

    EXPECT_EQ(fake.log[1], "gone");
    EXPECT_EQ(fake.log[2], "player ");
    EXPECT_EQ(fake.log.back(), "status Searching for Spearhead.");
    EXPECT_EQ(fake.logOf("find"), std::vector<std::string>{"find 1 none"});
    EXPECT_TRUE(dir.exists("vorbix.vbx"));
    EXPECT_EQ(app.pendingStats.kills, 0u);
    EXPECT_EQ(app.killsInARow, 0u);
    EXPECT_FALSE(isLinked(app.link));

    poll();  // the loss is handled once
    EXPECT_EQ(fake.logOf("gone").size(), 1u);
}

TEST_F(PollTest, EachLineIsDispatchedOnceShortOnesNotAtAllAndTheBoxIsLeftAlone) {
    useRecordingTable();
    linkConsole();
    fake.consoleText = "alpha one\r\nbeta\r\nbeta two";
    poll();
    poll();
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"a:alpha one|alpha one"});

    // The held line is dispatched when its line feed arrives, and only it,
    // before and after the player's name is known.
    fake.consoleText += "\r\nalpha three\r\n";
    poll();
    app.nameEntryIndex = appendKeyword(app.tableA, "Bob", recordCall<'n'>);
    fake.consoleText += "Bob four\r\n";
    poll();
    poll();
    EXPECT_EQ(handlerCalls, (std::vector<std::string>{"a:alpha one|alpha one", "b:beta two|beta two",
                                                      "a:alpha three|alpha three", "n:Bob four|Bob four"}));
    EXPECT_EQ(fake.consoleText, "alpha one\r\nbeta\r\nbeta two\r\nalpha three\r\nBob four\r\n");

    // A NUL byte (the pipes of the open-source engine can carry one) ends its
    // own line early and costs none of the lines after it in the same read.
    handlerCalls.clear();
    fake.consoleText += std::string("beta five\0 alpha\r\nalpha six\r\n", 29);
    poll();
    EXPECT_EQ(handlerCalls, (std::vector<std::string>{"b:beta five|beta five", "a:alpha six|alpha six"}));
}

TEST_F(PollTest, ReadPositionStartsOverWhenAConsoleIsFound) {
    useRecordingTable();
    linkConsole();
    fake.consoleText = "alpha one\r\n";
    poll();
    fake.consoleAlive = false;
    fake.editionPresent[1] = true;  // the search goes on with the next edition
    ScopedChdir inTemp(dir.root());
    poll();  // lost and found again at once
    poll();
    EXPECT_EQ(handlerCalls.size(), 2u);
}

TEST_F(PollTest, AFloodOfReadsIsTakenInStepsThatWakeTheLoopAgain) {
    useRecordingTable();
    linkConsole();
    for (int i = 0; i < 300; ++i) {
        fake.consoleText += "alpha " + std::to_string(i) + "\r\n";
        fake.consoleStep();  // one read, one event
    }
    const int wakes = fake.wakes;
    pollConsole(lastSearchTime);
    EXPECT_EQ(handlerCalls.size(), 256u);
    EXPECT_EQ(fake.wakes, wakes + 1);
    pollConsole(lastSearchTime);
    EXPECT_EQ(handlerCalls.size(), 300u);
    EXPECT_EQ(handlerCalls.back(), "a:alpha 299|alpha 299");
}

}  // namespace
