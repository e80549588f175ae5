// vorbixstats.exe under Wine: the same report as natively, with CR LF ends.
#include <gtest/gtest.h>

#include "common/viewer_report.h"
#include "support/process.h"

namespace {

std::string viewer() { return "\"" + exeDir() + "\\vorbixstats.exe\" ignored arguments"; }

std::string fileBytes(const StatsRecord& r) {
    unsigned char bytes[kStatsFileSize];
    encodeStats(r, bytes);
    return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
}

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
    StatsRecord zero{};
    dir.write("vorbix.vbx", fileBytes(zero));
    CapturedRun run = runAndCapture(viewer(), dir.path());
    EXPECT_EQ(run.output, expectedViewerOutput(zero, "\r\n"));
    EXPECT_EQ(run.exitCode, 0u);

    StatsRecord varied = variedStatsRecord();
    dir.write("vorbix.vbx", fileBytes(varied));
    EXPECT_EQ(runAndCapture(viewer(), dir.path()).output, expectedViewerOutput(varied, "\r\n"));

    std::string forty = fileBytes(varied).substr(0, 40);
    dir.write("vorbix.vbx", forty);
    StatsRecord firstTen = decodeStats(reinterpret_cast<const unsigned char*>(forty.data()), forty.size());
    EXPECT_EQ(runAndCapture(viewer(), dir.path()).output, expectedViewerOutput(firstTen, "\r\n"));

    std::string twoHundred = fileBytes(varied) + std::string(72, '\x11');
    dir.write("vorbix.vbx", twoHundred);
    EXPECT_EQ(runAndCapture(viewer(), dir.path()).output, expectedViewerOutput(varied, "\r\n"));
    EXPECT_EQ(dir.read("vorbix.vbx"), twoHundred);
}
