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

std::string fileBytes(const StatsRecord& r) {
    unsigned char bytes[kStatsFileSize];
    encodeStats(r, bytes);
    return std::string(reinterpret_cast<char*>(bytes), sizeof bytes);
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
    StatsRecord zero{};
    dir.write("vorbix.vbx", fileBytes(zero));
    RunResult r = runViewer(dir);
    EXPECT_EQ(r.output, expectedViewerOutput(zero, "\n"));
    EXPECT_EQ(expectedViewerLines(zero).size(), 40u);
    EXPECT_EQ(r.exitCode, 0);

    StatsRecord varied = variedStatsRecord();
    dir.write("vorbix.vbx", fileBytes(varied));
    r = runViewer(dir);
    EXPECT_EQ(r.output, expectedViewerOutput(varied, "\n"));
    EXPECT_NE(r.output.find("Total kills: 4294967295 \n"), std::string::npos);

    // 40 bytes: the first ten fields, the rest zero.
    std::string forty = fileBytes(varied).substr(0, 40);
    dir.write("vorbix.vbx", forty);
    StatsRecord firstTen = decodeStats(reinterpret_cast<const unsigned char*>(forty.data()), forty.size());
    EXPECT_EQ(firstTen.killingspree, 0u);
    EXPECT_EQ(runViewer(dir).output, expectedViewerOutput(firstTen, "\n"));

    // 200 bytes: only the first 128 count; the file is left as it was.
    std::string twoHundred = fileBytes(varied) + std::string(72, '\x11');
    dir.write("vorbix.vbx", twoHundred);
    EXPECT_EQ(runViewer(dir).output, expectedViewerOutput(varied, "\n"));
    EXPECT_EQ(dir.read("vorbix.vbx"), twoHundred);
}
