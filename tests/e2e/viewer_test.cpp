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
