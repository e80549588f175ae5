// The report file: the page of the match history and the lifetime totals.
#pragma once

#include <string>

// The file name the program writes its report to, in its folder.
constexpr const char* kReportFileName = "vorbix-report.html";

// Writes the page of the match history ("vorbix-history.csv") and the
// lifetime totals ("vorbix.vbx") of the current directory to `path` in one
// step. False when it cannot be written. The running program flushes its
// history writer first, so every map ended so far is on the page.
bool writeReportFile(const std::string& path);
