// vorbixstats.exe under Wine: the same report as natively, with CR LF ends.
#include <gtest/gtest.h>

#include "common/viewer_report.h"
#include "support/process.h"

namespace {

std::string viewer() { return "\"" + exeDir() + "\\vorbixstats.exe\" ignored arguments"; }

}  // namespace

TEST(ViewerExe, MissingFile) {
    TestDir dir;
    CapturedRun run = runAndCapture(viewer(), dir.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.output, "Did not find stats file\r\n");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(dir.exists("vorbix.vbx"));
}

TEST(ViewerExe, ReportsEveryFileSize) {
    TestDir dir;
    for (const ViewerFile& file : viewerTestFiles()) {
        dir.write("vorbix.vbx", file.bytes);
        CapturedRun run = runAndCapture(viewer(), dir.path());
        ASSERT_TRUE(run.finished) << file.what;
        EXPECT_EQ(run.output, expectedViewerOutput(file.shown, "\r\n")) << file.what;
        EXPECT_EQ(run.exitCode, 0u) << file.what;
        EXPECT_EQ(dir.read("vorbix.vbx"), file.bytes) << file.what;
    }
}

// The history options on Windows: the page written in one step beside a
// history with a quoted, code-page name; the summary; the usage.
TEST(ViewerExe, HistoryReportAndSummary) {
    TestDir dir;
    dir.write("vorbix-history.csv",
              "start,end,map,edition,player,kills,deaths,in_a_row_kills\r\n"
              "2026-12-08T21:04:13,2026-12-08T21:24:50,\"dm/x,\"\"M\xfcller\"\"\",Spearhead,Kestrel,12,10,5\r\n"
              "2026-12-08T21:25:31,2026-12-08T21:41:02,obj/obj_team2,Spearhead,Kestrel,7,9,3\r\n");
    const std::string exe = "\"" + exeDir() + "\\vorbixstats.exe\" ";

    CapturedRun run = runAndCapture(exe + "--report report.html", dir.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, dir.file("report.html") + "\r\n");
    const std::string page = dir.read("report.html");
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("dm/x,&quot;M&#252;ller&quot;"), std::string::npos);
    EXPECT_NE(page.find("No stats file"), std::string::npos);
    EXPECT_FALSE(dir.exists("report.html.tmp"));

    run = runAndCapture(exe + "--history", dir.path());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.output.find("Vorbix match history: 2 maps, 2026-12-08 21:04 to 2026-12-08 21:41\r\n"),
              std::string::npos);
    EXPECT_NE(run.output.find("obj/obj_team2"), std::string::npos);

    run = runAndCapture(exe + "--bogus", dir.path());  // the usage goes to standard error, captured too
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.output.rfind("usage: vorbixstats", 0), 0u);
}
