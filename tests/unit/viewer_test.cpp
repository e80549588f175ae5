// The stats viewer program, run as a child process on prepared files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/viewer_report.h"
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
