#include <gtest/gtest.h>

#include "text/command_text.h"
#include "text/format.h"

namespace {

TEST(FormatWithCount, FillsTheFirstIntegerConversionLikePrintf) {
    struct Case {
        const char* text;
        uint32_t count;
        const char* expected;
    } cases[] = {
        {"set sfx_kills %d", 5, "set sfx_kills 5"},
        {"[%05d]", 42, "[00042]"},
        {"[%-4d]", 7, "[7   ]"},
        {"[%+d]", 7, "[+7]"},
        {"[% d]", 7, "[ 7]"},
        {"[%.3i]", 7, "[007]"},
        {"%x %X %o", 255, "ff %X %o"},
        {"%#x", 255, "0xff"},
        {"%#o", 8, "010"},
        {"%#d", 8, "8"},
        {"%lld %hhu %zu %ju %td %lu", 300, "300 %hhu %zu %ju %td %lu"},
        {"%hhu", 300, "300"},
        {"%d", 0xFFFFFFFFu, "-1"},
        {"%i", 0x80000000u, "-2147483648"},
        {"%u", 0xFFFFFFFFu, "4294967295"},
        {"no conversion", 3, "no conversion"},
        {"", 3, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(formatWithCount(c.text, c.count), c.expected) << c.text;
}

TEST(FormatWithCount, KeepsEverythingElseLiterally) {
    EXPECT_EQ(formatWithCount("%s%n%p%x%08u%%", 7), "%s%n%p7%08u%");
    EXPECT_EQ(formatWithCount("100%% after %d kills%", 3), "100% after 3 kills%");
    EXPECT_EQ(formatWithCount("%", 3), "%");
    EXPECT_EQ(formatWithCount("%*d %d", 3), "%*d 3");
    EXPECT_EQ(formatWithCount("%5", 3), "%5");
    EXPECT_EQ(formatWithCount("%-", 3), "%-");
    EXPECT_EQ(formatWithCount("%.", 3), "%.");
    EXPECT_EQ(formatWithCount("%ll", 3), "%ll");
}

TEST(FormatWithCount, CapsHugeWidthsAndPrecisions) {
    EXPECT_EQ(formatWithCount("%99999999999999999999d", 1).size(), 100u);
    EXPECT_EQ(formatWithCount("%.2147483648u", 1).size(), 100u);
    EXPECT_EQ(formatWithCount("%-100000.100000x|", 1).size(), 101u);
}

TEST(FormatWithName, FillsTheFirstPercentSOnly) {
    EXPECT_EQ(formatWithName("%s was shot by", "Bob"), "Bob was shot by");
    EXPECT_EQ(formatWithName("%s killed %s", "Bob"), "Bob killed %s");
    EXPECT_EQ(formatWithName("100%% %s", "Bob"), "100% Bob");
    EXPECT_EQ(formatWithName("%%s %s", "Bob"), "%s Bob");
    EXPECT_EQ(formatWithName("no pattern", "Bob"), "no pattern");
    EXPECT_EQ(formatWithName("%d %n %5s %s %", "Bob"), "%d %n %5s Bob %");
    EXPECT_EQ(formatWithName("%s", ""), "");
    // The name itself is never a format.
    EXPECT_EQ(formatWithName("[%s]", "%s%n%d%%"), "[%s%n%d%%]");
}

// The engine splits commands at line breaks and at ';' outside quotes, runs
// a "/*" comment on over later commands, and has no escape inside quotes.
TEST(CommandText, TextFromOutsideNeverStartsASecondCommand) {
    struct Quoted {
        const char* text;
        const char* quoted;  // null: cannot be made safe
    } quoted[] = {
        {"english.ini", "\"english.ini\""},  {"x;quit.ini", "\"x;quit.ini\""}, {"a /* b", "\"a /* b\""},
        {"", "\"\""},                        {"a\"; quit", nullptr},             {"a\nquit", nullptr},
        {"a\rquit", nullptr},
    };
    for (const Quoted& c : quoted) {
        std::string out = "unset";
        EXPECT_EQ(quoteArgument(c.text, out), c.quoted != nullptr) << c.text;
        if (c.quoted) EXPECT_EQ(out, c.quoted) << c.text;
    }

    struct Single {
        const char* command;
        bool single;
    } commands[] = {
        {"say \"Headshot! #3\"", true},  {"say \"a; b\"", true},     {"say \"a /* b\"", true},
        {"say \"open quote; still", true}, {"say // a; comment", false}, {"say a; quit", false},
        {"say \"a\"; quit", false},       {"say a /* b", false},        {"say a\nquit", false},
    };
    for (const Single& c : commands) EXPECT_EQ(isSingleCommand(c.command), c.single) << c.command;
}

}  // namespace
