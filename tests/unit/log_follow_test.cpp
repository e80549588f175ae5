// The log follower's decisions against a file that changes between looks as
// the engine changes qconsole.log: appended in any pieces, emptied and
// written again by the next run, replaced, deleted. Each case runs with
// reads of 1, 7 and 65536 bytes, so every line also arrives cut at every place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/log_follow.h"

namespace {

const std::string kStamp = "[2026-04-09 00:37:09 UTC+2.000] ";

struct Change {
    enum Kind { kAppend, kRewrite, kReplace, kDelete } kind;
    std::string bytes;
};

struct Case {
    const char* what;
    std::string before;  // the file when following starts ("" and no file: missing)
    bool existsBefore;
    std::vector<Change> changes;
    std::vector<std::string> lines;
};

// A file that changes, looked at and read as the channel does.
struct FakeLog {
    bool exists = false;
    uint64_t identity = 1;
    std::string bytes;

    LogLook look() const {
        LogLook look;
        look.exists = exists;
        if (!exists) return look;
        look.identity = identity;
        look.size = bytes.size();
        look.head = bytes.substr(0, kLogHeadSize);
        return look;
    }
};

std::vector<std::string> splitLines(const std::string& lines) {
    std::vector<std::string> out;
    for (size_t start = 0, end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(lines.substr(start, end - start));
    return out;
}

std::vector<std::string> follow(const Case& test, size_t readSize) {
    FakeLog file;
    file.exists = test.existsBefore;
    file.bytes = test.before;
    LogFollower follower;
    followFromEnd(follower, file.look());
    std::string lines;
    auto step = [&] {
        const LogChange change = noteLogLook(follower, file.look(), lines);
        if (change != LogChange::kGrew && change != LogChange::kStarted) return;
        while (follower.offset < file.bytes.size()) {
            const std::string piece = file.bytes.substr(follower.offset, readSize);
            takeLogBytes(follower, piece.data(), piece.size(), lines);
        }
    };
    for (const Change& change : test.changes) {
        // Each append arrives in two looks: half of it, then the rest.
        if (change.kind == Change::kAppend) {
            file.exists = true;
            file.bytes += change.bytes.substr(0, change.bytes.size() / 2);
            step();
            file.bytes += change.bytes.substr(change.bytes.size() / 2);
        } else if (change.kind == Change::kRewrite) {
            file.bytes = change.bytes;
        } else if (change.kind == Change::kReplace) {
            file.exists = true;
            ++file.identity;
            file.bytes = change.bytes;
        } else {
            file.exists = false;
            file.bytes.clear();
        }
        step();
    }
    return splitLines(lines);
}

TEST(LogFollow, HandsOutEachLineOnceWhateverTheFileDoes) {
    using C = Change;
    const std::string opened = kStamp + "logfile opened on Thu Apr  9 00:37:09 2026\n\n";
    const Case cases[] = {
        {"stamped prints", "", false,
         {{C::kAppend, opened + kStamp + "\x04" "Carl was shot by Kestrel\n" + kStamp + "CL_InitCGame:  2.41 seconds\n"}},
         {"logfile opened on Thu Apr  9 00:37:09 2026", "\x04" "Carl was shot by Kestrel", "CL_InitCGame:  2.41 seconds"}},
        {"every stamp form", "", false,
         {{C::kAppend, "[2026-12-31 23:59:59 UTC-3.500] west\n[2026-01-01 00:00:00 UTC+10.000] far east\n"
                       "[2026-06-01 12:00:00 UTC+0.000] greenwich\n"}},
         {"west", "far east", "greenwich"}},
        {"logfile_timestamps 0", "", false, {{C::kAppend, "plain line\n^1colour^7 codes kept\n"}},
         {"plain line", "^1colour^7 codes kept"}},
        {"text that only looks like a stamp stays", "", false,
         {{C::kAppend, kStamp + "[GR]Kestrel was shot\n[2026-04-09 00:37:09 UTC+2.000]x\n"
                       "[2026-04-09 00:37:09 UTC+2000] y\n[2026-04-09 00:37:09 UTC*2.000] z\n"}},
         {"[GR]Kestrel was shot", "[2026-04-09 00:37:09 UTC+2.000]x", "[2026-04-09 00:37:09 UTC+2000] y",
          "[2026-04-09 00:37:09 UTC*2.000] z"}},
        {"one print of several lines has one stamp", "", false, {{C::kAppend, kStamp + "first\nsecond\n"}},
         {"first", "second"}},
        {"a line printed in two pieces", "", false,
         {{C::kAppend, kStamp + "Carl was shot "}, {C::kAppend, "by Kestrel\n" + kStamp + "next\n"}},
         {"Carl was shot by Kestrel", "next"}},
        {"CR LF and empty lines", "", false, {{C::kAppend, kStamp + "one\r\n\r\n" + kStamp + "\n" + "two\r\n"}},
         {"one", "two"}},
        {"what the file held is skipped, a line being written to its end", "old line\nhalf a li", true,
         {{C::kAppend, "ne\nnew line\n"}}, {"new line"}},
        {"a file ending in a line feed loses nothing", "old line\n", true, {{C::kAppend, "new line\n"}},
         {"new line"}},
        {"the next run empties the file", "", false,
         {{C::kAppend, "run one\n"}, {C::kRewrite, "run two\n"}, {C::kAppend, "more\n"}},
         {"run one", "run two", "more"}},
        {"the next run writes more than the last before a look", "", false,
         {{C::kAppend, kStamp + "logfile opened on Thu Apr  9 00:37:09 2026\nshort\n"},
          {C::kRewrite, "[2026-04-09 00:41:00 UTC+2.000] logfile opened on Thu Apr  9 00:41:00 2026\n"
                        "a much longer second run\n"}},
         {"logfile opened on Thu Apr  9 00:37:09 2026", "short", "logfile opened on Thu Apr  9 00:41:00 2026",
          "a much longer second run"}},
        {"a replaced file is read from its start", "", false,
         {{C::kAppend, "first file\n"}, {C::kReplace, "other file\n"}}, {"first file", "other file"}},
        {"an unfinished last line is handed out when the run ends", "", false,
         {{C::kAppend, "crashed in the mid"}, {C::kRewrite, "next run\n"}}, {"crashed in the mid", "next run"}},
        {"a deleted file and a new one", "", false,
         {{C::kAppend, "before\nhalf"}, {C::kDelete, ""}, {C::kAppend, "after\n"}}, {"before", "half", "after"}},
        {"a file made after following began", "", false, {{C::kAppend, "made later\n"}}, {"made later"}},
    };
    for (const Case& test : cases) {
        for (size_t readSize : {size_t(1), size_t(7), size_t(65536)}) {
            SCOPED_TRACE(std::string(test.what) + ", reads of " + std::to_string(readSize));
            EXPECT_EQ(follow(test, readSize), test.lines);
        }
    }
}

TEST(LogFollow, CutsEndlessLinesAndKnowsTheGamesEnd) {
    LogFollower follower;
    followFromEnd(follower, LogLook{});
    std::string lines;
    const std::string endless(kLongestLogLine * 2 + 5, 'x');
    takeLogBytes(follower, endless.data(), endless.size(), lines);
    EXPECT_EQ(lines, std::string(kLongestLogLine, 'x') + "\n" + std::string(kLongestLogLine, 'x') + "\n");
    EXPECT_EQ(follower.partial, "xxxxx");

    const struct {
        const char* line;
        bool end;
    } lineKinds[] = {
        {"----- Client Shutdown (Client quit) -----", true},
        {"----- Client Shutdown (Closed window) -----", true},
        {"----- Client Shutdown (Client fatal crashed: out of memory) -----", true},
        {"----- Client Shutdown (Game directory changed) -----", false},
        {"----- Server Shutdown (Server quit) -----", false},
        {"\x02" "Bob: ----- Client Shutdown (Client quit) -----", false},
        {"----- Client Shutdown (x) ----- disconnected", false},
        {"----- Client Shutdown () -----", true},
    };
    for (const auto& kind : lineKinds) EXPECT_EQ(isGameEndLine(kind.line), kind.end) << kind.line;

    const std::string shutdown = "\n" + kStamp + "----- Client Shutdown (Client quit) -----\n";
    takeLogBytes(follower, shutdown.data(), shutdown.size(), lines);
    EXPECT_TRUE(follower.endSeen);
}

}  // namespace
