#include "engine_fixture.h"
#include "player/name_detection.h"

namespace {

class NameDetectionTest : public EngineTest {
protected:
    // "name" is:"<name>" ... as the game answers the query "name".
    static std::string nameLine(const std::string& name) { return "\"name\" is:\"" + name + "\" default:\"UnnamedSoldier\""; }

    // A message file whose table B entries after the fixed one record their calls.
    void loadWithRecordedPatterns(const std::string& patterns, const std::string& extra = "") {
        load("english.ini", "[detect name]\n1=name\" is:\"\n[gotkill messages]\n" + patterns + extra);
        KeywordHandler recorders[] = {recordCall<'1'>, recordCall<'2'>, recordCall<'3'>};
        for (int i = 2; i <= app.tableB.count && i < 5; ++i) app.tableB.entries[i].handler = recorders[i - 2];
    }

    std::string name() const { return app.nameEntryIndex ? app.tableA.entries[app.nameEntryIndex].phrase : "<none>"; }
};

TEST_F(NameDetectionTest, DetectsTheNameAndRoutesTheSameLineThroughTableB) {
    loadWithRecordedPatterns("1=is:\"%s\"\n");
    dispatch(nameLine("Bob"));

    EXPECT_EQ(fake.log, (std::vector<std::string>{"player Bob",
                                                  "cmd set sfx_name_message \"Name Detected 'Bob' \""}));
    EXPECT_EQ(app.nameEntryIndex, 3);
    EXPECT_EQ(name(), "Bob");
    EXPECT_EQ(app.tableA.entries[3].handler, &onNameSeen);
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"1:is:\"Bob\" default:\"UnnamedSoldier\"|" + nameLine("Bob")});
}

TEST_F(NameDetectionTest, NamesOf64CharactersOrMoreAreRefused) {
    loadWithRecordedPatterns("1=x\n");
    std::string name63(63, 'n');
    dispatch(nameLine(name63));
    EXPECT_EQ(app.playerName, name63);

    const std::vector<std::string> refusal = {"exec vorbixoff.cfg", "set sfx_message \"Vorbix Off-Name too long\"",
                                              "subtitle1 \"Vorbix Off-Name too long\""};
    for (size_t length : {64u, 300u}) {
        fake.log.clear();
        fake.commands.clear();
        dispatch(nameLine(std::string(length, 'm')));
        EXPECT_EQ(fake.commands, refusal) << length;
        EXPECT_TRUE(fake.logOf("status").empty());
        EXPECT_EQ(app.playerName, name63);
        EXPECT_EQ(app.tableA.entries[app.nameEntryIndex].handler, &onDisabled);
    }

    // Refused before any name is known: only the messages, no entry.
    load("english.ini", "[detect name]\n1=name\" is:\"\n");
    dispatch(nameLine(std::string(64, 'm')));
    EXPECT_EQ(fake.commands, refusal);
    EXPECT_EQ(app.nameEntryIndex, 0);
}

TEST_F(NameDetectionTest, OnlyACompleteAnswerAtTheLineStartNamesThePlayer) {
    load("english.ini", "[detect name]\n1=is:\n");
    dispatch("is:\"Bo");                 // fewer than 10 characters after the match
    dispatch("is:\"Bob default");        // no closing quote
    dispatch("is:1234567");              // exactly 10: the name would start at the end
    dispatch("x is:1234567Eve\" rest");   // more than the opening quote before the phrase
    dispatch("xis:1234567Eve\" rest");    // one character, but not the opening quote
    dispatch("\"\"is:1234567Eve\" rest");
    EXPECT_TRUE(fake.log.empty());
    EXPECT_EQ(app.nameEntryIndex, 0);

    // An empty name is a name: its phrase occurs in every line.
    dispatch("is:1234567\" rest");
    EXPECT_EQ(fake.commands, std::vector<std::string>{"set sfx_name_message \"Name Detected '' \""});
    EXPECT_EQ(name(), "");
}

TEST_F(NameDetectionTest, TheNameIsNeverAFormat) {
    load("english.ini", "[detect name]\n1=name\" is:\"\n");
    dispatch(nameLine("%s%n%d%%"));
    EXPECT_EQ(fake.commands, std::vector<std::string>{"set sfx_name_message \"Name Detected '%s%n%d%%' \""});
    EXPECT_EQ(name(), "%s%n%d%%");
}

TEST_F(NameDetectionTest, PatternsTakeTheNameAsTheGamePrintsIt) {
    loadWithRecordedPatterns("1=was shot by %s\n2=%s was shot by\n");
    app.privateMode = true;
    dispatch(nameLine("Kestrel "));
    EXPECT_EQ(fake.playerName, "Kestrel ");
    EXPECT_EQ(fake.commands, std::vector<std::string>{"set sfx_name_message \"Name Detected 'Kestrel ' \""});

    // Notices print the name as it is; the name entry fires on both forms.
    fake.commands.clear();
    dispatch("\x03" "Kestrel  has entered the battle");
    EXPECT_EQ(fake.commands, std::vector<std::string>{"cinematic"});

    // Obituaries print at most 31 characters, the last one as '?' when it is
    // a blank or below as a signed char compares.
    const std::string k30(30, 'k'), k31(31, 'k');
    const struct {
        std::string name, line, call;
    } cases[] = {
        {"Kestrel ", "\x04" "Carl was shot by Kestrel? in the head", "1:was shot by Kestrel? in the head"},
        {"Kestrel ", "\x04" "Kestrel? was shot by Carl", "2:Kestrel? was shot by Carl"},
        {"Kestrel\x01", "\x04" "Carl was shot by Kestrel?", "1:was shot by Kestrel?"},
        {"Kestrel\xE9", "\x04" "Carl was shot by Kestrel?", "1:was shot by Kestrel?"},
        {"Kestrel!", "\x04" "Carl was shot by Kestrel!", "1:was shot by Kestrel!"},
        {"Kestrel\x7F", "\x04" "Carl was shot by Kestrel\x7F", "1:was shot by Kestrel\x7F"},
        {std::string(40, 'k'), "\x04" + k31 + " was shot by Carl", "2:" + k31 + " was shot by Carl"},
        {k30 + " tail", "\x04" + k30 + "? was shot by Carl", "2:" + k30 + "? was shot by Carl"},
    };
    for (const auto& c : cases) {
        dispatch(nameLine(c.name));
        handlerCalls.clear();
        dispatch(c.line);
        EXPECT_EQ(handlerCalls, std::vector<std::string>{c.call + "|" + c.line}) << c.name;
    }
}

TEST_F(NameDetectionTest, ChatLinesOfThePlayerFireNoTableBHandler) {
    loadWithRecordedPatterns("1=was shot by %s\n");
    dispatch(nameLine("Bob"));
    handlerCalls.clear();

    dispatch("Bob: Alice was shot by Bob");
    EXPECT_TRUE(handlerCalls.empty());
    // Only the first occurrence counts: "Bob" in "Bobby:" is followed by a letter.
    dispatch("Bobby: Alice was shot by Bob");
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"1:was shot by Bob|Bobby: Alice was shot by Bob"});
    handlerCalls.clear();
    dispatch("Alice was shot by Bob");  // the end of the line is no colon
    EXPECT_EQ(handlerCalls.size(), 1u);
}

TEST_F(NameDetectionTest, OnlyTheFirstMatchingPatternFires) {
    loadWithRecordedPatterns("1=shot %s\n2=%s killed %s\n3=Bob\n");
    dispatch(nameLine("Bob"));
    handlerCalls.clear();

    dispatch("Alice shot Bob, Bob killed Carl");
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"1:shot Bob, Bob killed Carl|Alice shot Bob, Bob killed Carl"});
    handlerCalls.clear();
    // Only the first "%s" takes the name; the second stays as it is.
    dispatch("Bob killed %s");
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"2:Bob killed %s|Bob killed %s"});
    handlerCalls.clear();
    dispatch("Bob killed Carl");
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"3:Bob killed Carl|Bob killed Carl"});
}

TEST_F(NameDetectionTest, EveryDetectLineOfOneReadRenamesTheEntry) {
    loadWithRecordedPatterns("1=x\n");
    linkConsole();
    fake.consoleText = nameLine("Bob") + "\r\n" + nameLine("Alice") + "\r\n";
    poll();
    EXPECT_EQ(fake.commands, (std::vector<std::string>{"set sfx_name_message \"Name Detected 'Bob' \"",
                                                       "set sfx_name_message \"Name Detected 'Alice' \""}));
    EXPECT_EQ(app.nameEntryIndex, 3);
    EXPECT_EQ(app.tableA.count, 3);
    EXPECT_EQ(name(), "Alice");
    EXPECT_EQ(fake.playerName, "Alice");
}

TEST_F(NameDetectionTest, AFullTableAGetsNoNameEntry) {
    std::string changeMap = "[change map]\n";
    for (int i = 0; i < 27; ++i) changeMap += "k" + std::to_string(100 + i) + "=map" + std::to_string(i) + "\n";
    load("english.ini", "[detect name]\n1=name\" is:\"\n" + changeMap);
    ASSERT_EQ(app.tableA.count, 29);

    dispatch(nameLine("Bob"));
    EXPECT_EQ(fake.commands, std::vector<std::string>{"set sfx_name_message \"Name Detected 'Bob' \""});
    EXPECT_EQ(app.nameEntryIndex, 0);
    EXPECT_EQ(app.tableA.count, 29);
}

TEST_F(NameDetectionTest, ProbesUseTheNameEvenWithTimedOutEntriesAfterIt) {
    loadWithRecordedPatterns("1=shot %s\n");
    dispatch(nameLine("Bob"));
    addTimedOutEntry();
    handlerCalls.clear();
    dispatch("Alice shot Bob");
    EXPECT_EQ(handlerCalls, std::vector<std::string>{"1:shot Bob|Alice shot Bob"});
}

}  // namespace
