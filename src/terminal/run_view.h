// How the terminal tells the run: the news between two counts, and the status.
#pragma once

#include <string>

#include "core/frontend.h"

// What happened between the two counts ("kill, headshot, killing spree"),
// or nothing.
std::string describeNews(const RunCounts& before, const RunCounts& after);
// "Kestrel | map 2 | 12 kills | 3 deaths | 4 in a row"
std::string describeRun(const RunCounts& run, const std::string& player);

// The run's counts as the terminal last showed them (frontend.cpp).
const RunCounts& shownRunCounts();
