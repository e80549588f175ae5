#include <cstring>

#include "engine_fixture.h"
#include "stats/announce.h"

namespace {

using PollTest = EngineTest;

std::vector<std::string> split(std::string text) {
    std::vector<std::string> out;
    for (char* line : splitConsoleLines(&text[0])) out.push_back(line);
    return out;
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

TEST(SplitConsoleLines, CutsAtLineFeedsDropsTheLastCharacterAndShortPieces) {
    EXPECT_EQ(split("first line\r\nsecond line\r\n"), (std::vector<std::string>{"first line", "second line"}));
    // Six characters are kept, five dropped once the CR is gone.
    EXPECT_EQ(split("123456\r\n12345\r\n"), std::vector<std::string>{"123456"});
    // Runs of line feeds give no pieces; text around them counts; the last
    // character is dropped even when it is no carriage return.
    EXPECT_EQ(split("\n\n\nabcdefgh\n\nlast piece"), (std::vector<std::string>{"abcdefg", "last piec"}));
    EXPECT_TRUE(split("").empty());
    EXPECT_TRUE(split("\r\n\r\n").empty());

    char text[] = "line one\r\nline two\r\n";
    std::vector<char*> lines = splitConsoleLines(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], text);  // positions inside the buffer itself
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
    EXPECT_EQ(fake.logOf("text"), std::vector<std::string>{"text statusLabel|Searching for Allied Assault."});
    EXPECT_EQ(lastSearchTime, fake.now);

    fake.now += 1;
    poll();
    EXPECT_EQ(fake.logOf("text").back(), "text statusLabel|Searching for Spearhead.");

    searchIndex = 7;  // out of range starts over
    poll();
    EXPECT_EQ(fake.log.back(), "find 0 none");
    searchIndex = -3;  // any other value tries the first edition
    poll();
    EXPECT_EQ(fake.log.back(), "find 0 none");
}

TEST_F(PollTest, FindingTheGamePublishesAndTheFirstPollDoesNotRead) {
    fake.editionPresent[1] = true;
    fake.consoleText = "alpha line\r\n";
    useRecordingTable();
    poll();
    poll();
    EXPECT_EQ(fake.logOf("text").back(), "text statusLabel|Found Game");
    EXPECT_EQ(fake.commands, commandsOfPublishAllStats());
    EXPECT_TRUE(handlerCalls.empty());
    EXPECT_EQ(searchIndex, 2);

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

    EXPECT_EQ(fake.log[0], "show");
    EXPECT_EQ(fake.log[1], "text playerNameLabel|");
    EXPECT_EQ(fake.log.back(), "text statusLabel|Searching for Spearhead.");
    EXPECT_EQ(fake.logOf("find"), std::vector<std::string>{"find 1 none"});
    EXPECT_TRUE(dir.exists("vorbix.vbx"));
    EXPECT_EQ(app.pendingStats.kills, 0u);
    EXPECT_EQ(app.killsInARow, 0u);

    poll();  // the loss is handled once
    EXPECT_EQ(fake.logOf("show").size(), 1u);
}

TEST_F(PollTest, BeforeTheNameIsKnownEachLineIsDispatchedOnce) {
    useRecordingTable();
    linkConsole();
    fake.consoleText = "alpha one\r\nbeta two";
    poll();
    poll();
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"a:alpha one|alpha one"});
    EXPECT_TRUE(fake.logOf("delete").empty());

    // The held line is dispatched when its line feed arrives, and only it.
    fake.consoleText += "\r\nalpha three\r\n";
    poll();
    poll();
    EXPECT_EQ(handlerCalls, (std::vector<std::string>{"a:alpha one|alpha one", "b:beta two|beta two",
                                                      "a:alpha three|alpha three"}));

    // The game cleared its box: the shorter text is read from its start.
    handlerCalls.clear();
    fake.consoleText = "beta again\r\n";
    poll();
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"b:beta again|beta again"});
}

TEST_F(PollTest, OnceNamedTheReadTextIsDeletedBeforeAnyLineIsHandled) {
    useRecordingTable();
    app.nameEntryIndex = appendKeyword(app.tableA, "Bob", recordCall<'n'>);
    linkConsole();
    fake.consoleText = "alpha one\r\nBob two\r\nunterminated beta";
    poll();
    EXPECT_EQ(fake.log.front(), "delete 20");
    EXPECT_EQ(fake.consoleText, "unterminated beta");
    EXPECT_EQ(handlerCalls, (std::vector<std::string>{"a:alpha one|alpha one", "n:Bob two|Bob two"}));
    EXPECT_EQ(app.consoleReadLength, 0u);

    // Nothing complete: nothing deleted, nothing dispatched.
    fake.log.clear();
    poll();
    EXPECT_TRUE(fake.log.empty());
    fake.consoleText.clear();
    poll();
    EXPECT_TRUE(fake.log.empty());
}

TEST_F(PollTest, ANameLearnedMidReadDeletesTheWholeReadTextNextTime) {
    useRecordingTable();
    linkConsole();
    fake.consoleText = "alpha one\r\n";
    poll();
    app.nameEntryIndex = appendKeyword(app.tableA, "Bob", recordCall<'n'>);
    fake.consoleText += "Bob two\r\n";
    poll();
    EXPECT_EQ(fake.logOf("delete"), std::vector<std::string>{"delete 20"});
    EXPECT_EQ(handlerCalls, (std::vector<std::string>{"a:alpha one|alpha one", "n:Bob two|Bob two"}));
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
    EXPECT_EQ(app.consoleReadLength, 0u);
    poll();
    EXPECT_EQ(handlerCalls.size(), 2u);
}

}  // namespace
