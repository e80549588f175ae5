// The stats viewer program, run as a child process on prepared files: the
// lifetime totals, and the match history as text and as a web page.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/viewer_report.h"
#include "stats/history.h"
#include "temp_dir.h"

namespace {

struct RunResult {
    std::string output;
    int exitCode;
};

RunResult runViewer(const TempDir& dir, const std::string& args = "") {
    std::string cmd = "cd '" + dir.root() + "' && '" VORBIXSTATS_PATH "' " + args;
    RunResult result{"", -1};
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return result;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) result.output.append(buf, n);
    int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

TEST(Viewer, MissingFileSaysSoAndNothingElse) {
    TempDir dir;
    RunResult r = runViewer(dir, "some arguments --ignored");
    EXPECT_EQ(r.output, "Did not find stats file\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(dir.exists("vorbix.vbx"));
}

TEST(Viewer, ReportsFilesOfEverySizeByteForByte) {
    TempDir dir;
    for (const ViewerFile& file : viewerTestFiles()) {
        dir.write("vorbix.vbx", file.bytes);
        RunResult r = runViewer(dir);
        EXPECT_EQ(r.output, expectedViewerOutput(file.shown, "\n")) << file.what;
        EXPECT_EQ(r.exitCode, 0) << file.what;
        EXPECT_EQ(dir.read("vorbix.vbx"), file.bytes) << file.what;
    }
    EXPECT_EQ(expectedViewerLines(StatsRecord{}).size(), 40u);
    EXPECT_NE(expectedViewerOutput(viewerTestFiles()[1].shown, "\n").find("Total kills: 4294967295 \n"),
              std::string::npos);
}

TEST(Viewer, OptionsOtherThanItsOwnGiveTheUsage) {
    TempDir dir;
    for (const char* args : {"--bogus", "--report", "--report ''", "--history extra", "-x report.html"}) {
        RunResult r = runViewer(dir, std::string(args) + " 2>/dev/null");
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(r.output, "") << args;
    }
    EXPECT_EQ(runViewer(dir, "--help").output.rfind("usage: vorbixstats", 0), 0u);
}

// Names in the history are another program's bytes: the page and the
// terminal get them as text, never as markup or control sequences.
TEST(Viewer, HistoryNamesReachThePageAndTheTerminalAsText) {
    TempDir dir;
    const std::string evil = "\x1b[2J\x9b" "31m<script>alert(1)</script> & \"q\" '\xe9\x81";
    MapRecord row;
    row.start = "2026-12-08T21:04:13";
    row.end = "2026-12-08T21:24:50";
    row.map = evil;
    row.player = evil;
    row.edition = "Spearhead";
    row.counts.kills = 7;
    ASSERT_TRUE(appendHistoryRows(dir.path("vorbix-history.csv").c_str(), {row, row}));
    const std::string history = dir.read("vorbix-history.csv");

    RunResult r = runViewer(dir, "--report report.html");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output, dir.path("report.html") + "\n");
    const std::string page = dir.read("report.html");
    EXPECT_NE(page.find("&#65533;[2J&#8250;31m&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;q&quot; &#39;&#233;&#65533;"),
              std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find('\x1b'), std::string::npos);
    for (unsigned char c : page) ASSERT_LT(c, 0x80) << "the page is ASCII, names as references";
    EXPECT_NE(page.find("No stats file"), std::string::npos);
    EXPECT_EQ(dir.read("vorbix-history.csv"), history);
    EXPECT_FALSE(dir.exists("vorbix.vbx"));

    r = runViewer(dir, "--history");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("?[2J"), std::string::npos) << r.output;
    for (unsigned char c : r.output) ASSERT_TRUE(c >= 0x20 || c == '\n') << "no control bytes: " << int(c);
}

TEST(Viewer, AReportWithoutHistorySaysSoBesideTheTotals) {
    TempDir dir;
    dir.write("vorbix.vbx", viewerTestFiles()[1].bytes);
    RunResult r = runViewer(dir, "--report sub.html");
    EXPECT_EQ(r.exitCode, 0);
    const std::string page = dir.read("sub.html");
    EXPECT_NE(page.find("No maps in the history yet"), std::string::npos);
    EXPECT_NE(page.find("4,294,967,295"), std::string::npos);  // the lifetime kills
    EXPECT_EQ(runViewer(dir, "--history").output, "No maps in the history yet (vorbix-history.csv).\n");
    EXPECT_EQ(runViewer(dir, "--report no/such/folder/r.html 2>/dev/null").exitCode, 1);
}
